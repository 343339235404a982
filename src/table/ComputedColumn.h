#pragma once
// What the kinds that compute their numbers from other columns share: the
// numbers they computed last, and every read bringing them up to date first
// (makeSureThingsAreUpToDate), the serial number included, so a reader never
// sees numbers older than what they are computed from.

#include "table/NumberRows.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

class ComputedColumn : public OrrelinColumn {
 public:
  bool isNumberColumn() const override { return true; }
  std::int32_t serialNumber() override {
    makeSureThingsAreUpToDate();
    return OrrelinColumn::serialNumber();
  }
  std::shared_ptr<const KRDoubleArrayContainer> numberVersion() override {
    makeSureThingsAreUpToDate();
    return rows_.values();
  }
  std::shared_ptr<const KRUCharArrayContainer> whichAreIncluded() override {
    makeSureThingsAreUpToDate();
    return rows_.mask();
  }
  long howManyEntries() override {
    makeSureThingsAreUpToDate();
    return rows_.length();
  }

 protected:
  NumberRows rows_;
};

}  // namespace orrelin
