#pragma once
// Numbers computed by a formula over other columns, their properties
// (x.max) and the document's parameters. The formula's names are resolved
// through the table as this column sees them; the column reads each column
// and parameter it uses as their consumer, so a change reaches it through
// the dependency graph. It computes when its values are asked for and only
// when something it reads has changed: every computation keeps a key (the
// serial numbers of the columns used, the values of the parameters, the
// formula, the lengths and the seed), and a computation whose key equals the
// last one is skipped.
//
// Problems never reach the table: each becomes the column's error message
// and an empty or partly invalid column.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/ComputedColumn.h"

namespace orrelin {

class KRExpression;

class VKDataColumnExpression final : public ComputedColumn {
 public:
  // A length no column limits starts here.
  static constexpr long kNoColumnLimit = 100000000;
  // "At Least" is clamped to 0 ... this.
  static constexpr long kLongestAtLeast = 10000000;

  // A new column gets a seed of its own, so two columns of random numbers
  // differ.
  static std::shared_ptr<VKDataColumnExpression> createEmptyFor(const std::shared_ptr<DependencyDocument>& document = nullptr);

  std::string type() const override;
  std::string whyNoValues() override { return errorMessage(); }

  std::string expressionString() const;
  void setExpressionString(const std::string& text);
  // Parses the formula and resolves its names; connects to the columns and
  // parameters it uses.
  void updateColumnExpression();
  // Computes unless the key equals that of the last computation.
  void recomputeNumbers();
  // Computes on the next read whatever the key says.
  void recomputeAll();
  void makeSureThingsAreUpToDate() override;
  // The message of the last update or computation; "" when all went well.
  std::string errorMessage();
  // The message a formula would give in this column, without taking it.
  std::string errorMessageForString(const std::string& text);

  bool containsSubscript() const;
  bool containsRand() const;
  // The rows where a subscript went out of range in the last computation.
  std::vector<long> whichRowsHaveBadIndex();
  // The key of the last computation ("Columns", "Variables", "Expression",
  // "Minimum Length", "Length to Compute", "Seed").
  const PropertyList& cachingInfo() const { return cachingInfo_; }
  // How many times the formula was evaluated.
  long numberOfComputations() const { return numberOfComputations_; }

  void establishDependencyConnections() override { updateColumnExpression(); }
  void connectMissingSuppliers() override;
  void disconnectUnwantedSuppliers() override;
  DependencyList suppliersPending() const override;
  bool parameterValueChangeAffectsColumn(const std::string& name) override;
  void columnNamesOrVariableNamesChanged() override { updateColumnExpression(); }

  // What a formula's names were resolved to.
  struct Resolution;

 protected:
  void supplierChanged(VKDependencyBase* sender) override;
  void settingChanged(const std::string& name) override;

 private:
  std::shared_ptr<Resolution> resolve(const std::string& text);
  DependencyList wantedSuppliers() const;
  // The formula's values, or a message.
  void compute();
  void storeEmpty(const std::string& message, const PropertyList& key);
  long atLeast() const;
  std::uint32_t seed() const;

  std::shared_ptr<Resolution> resolution_;
  std::string errorMessage_;
  std::vector<long> badIndexRows_;
  PropertyList cachingInfo_;
  bool pending_ = true;
  bool computing_ = false;
  bool resolved_ = false;
  long numberOfComputations_ = 0;
};

}  // namespace orrelin
