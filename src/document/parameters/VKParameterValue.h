#pragma once
// A number given by a formula ("Value"). The formula may use other
// parameters: it becomes their client, so it is recomputed when they change,
// and a formula that would depend on itself is refused.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "document/parameters/VKVariable.h"

namespace orrelin {

class KRExpression;

class VKParameterValue final : public VKParameterController {
 public:
  VKParameterValue();

  std::string type() const override;

  // The formula text, its parsed form (none when it did not parse) and the
  // parser's message.
  const std::string& contentOfValue() const { return contentOfValue_; }
  std::shared_ptr<const KRExpression> valueExpression() const { return valueExpression_; }
  const std::string& errorWhenParsingExpression() const { return errorWhenParsingExpression_; }
  // Whether the formula uses a parameter that already depends on this one.
  bool isCyclic() const { return !cyclicThrough_.empty(); }

  // The text is the new formula, evaluated at once.
  void setValue(const std::string& text) override;
  double valueOfVariable() const override;
  bool isNumber() const override { return true; }
  const NameSet& unknowns() const override;

  PropertyList propertyList() const override;
  void fillFromPropertyList(const PropertyList& list) override;

  bool parameterNamesChanged() override;
  // A parameter the formula uses changed: recompute, then pass the notice on.
  void entryChanged(VKDependencyBase* sender, DependencyVisitSet& alreadySentFor) override;
  using VKDependencyBase::entryChanged;

 protected:
  void bringUpToDate() const override;

 private:
  void parseContent();
  // Makes the parameters the formula names (and only those) its suppliers.
  void connectToParameters();
  // Evaluates when a supplier's value differs from the last evaluation;
  // answers whether the value or its validity changed.
  bool evaluateIfNeeded() const;

  std::string contentOfValue_ = "0";
  std::shared_ptr<const KRExpression> valueExpression_;
  std::string errorWhenParsingExpression_;
  NameSet unknowns_;
  // The parameters the formula reads, by name.
  std::map<std::string, std::weak_ptr<VKParameterController>, std::less<>> connected_;
  std::string cyclicThrough_;

  mutable double valueOfVariable_ = 0;
  // The supplier values of the last evaluation; none forces one.
  mutable std::optional<std::map<std::string, double, std::less<>>> evaluatedWith_;
  mutable bool updating_ = false;
  // The input generation of the last check; 0 forces one.
  mutable std::uint64_t checkedGeneration_ = 0;
};

}  // namespace orrelin
