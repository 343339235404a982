#pragma once
// Column kinds whose values come from parts of the document above the
// table: a token text computed per row, a property of a graph command, and
// a plot action over an x and a y column. Each keeps and stores its settings
// as given, has no rows, and says why.

#include "table/OrrelinColumn.h"

namespace orrelin {

class DeferredColumn : public OrrelinColumn {
 public:
  std::string whyNoValues() override { return reason_; }

 protected:
  explicit DeferredColumn(const char* reason) : reason_(reason) {}

 private:
  const char* reason_;
};

// Text computed from the token text in "Tokens".
class VKDataColumnStringExpression final : public DeferredColumn {
 public:
  VKDataColumnStringExpression();
  static std::shared_ptr<VKDataColumnStringExpression> createEmptyFor(
      const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  bool isStringColumn() const override { return true; }
};

// Numbers taken from a property of a graph command.
class VKDataColumnFromCommand final : public DeferredColumn {
 public:
  VKDataColumnFromCommand();
  static std::shared_ptr<VKDataColumnFromCommand> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  bool isNumberColumn() const override { return true; }
};

// Numbers computed from an x and a y column by a method such as integration.
class VKDataColumnPlotAction final : public DeferredColumn {
 public:
  VKDataColumnPlotAction();
  static std::shared_ptr<VKDataColumnPlotAction> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);
  std::string type() const override;
  bool isNumberColumn() const override { return true; }
};

}  // namespace orrelin
