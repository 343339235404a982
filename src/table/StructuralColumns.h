#pragma once
// Columns without values that give the table its structure: the open and
// close collapsers that delimit a group of columns (a group may be
// connected to a data source, "Connection Type"), dividers, and text blocks
// ("Text String", "Height").

#include "table/OrrelinColumn.h"

namespace orrelin {

class VKDataColumnCollapserOpen final : public OrrelinColumn {
 public:
  static std::shared_ptr<VKDataColumnCollapserOpen> createEmptyFor(
      const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  int collapserType() const override { return 1; }
  std::int64_t connectionType() const;
  void setConnectionType(std::int64_t type);
};

class VKDataColumnCollapserClose final : public OrrelinColumn {
 public:
  static std::shared_ptr<VKDataColumnCollapserClose> createEmptyFor(
      const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  int collapserType() const override { return 2; }
};

class VKDataColumnDivider final : public OrrelinColumn {
 public:
  static std::shared_ptr<VKDataColumnDivider> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
};

class VKDataColumnTextBlock final : public OrrelinColumn {
 public:
  static std::shared_ptr<VKDataColumnTextBlock> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  std::string textString() const;
  void setTextString(const std::string& text);
  double height() const;
  void setHeight(double height);
};

}  // namespace orrelin
