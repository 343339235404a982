#pragma once
// Puts imported values into a column of any kind that can be modified:
// texts into the kinds that keep texts (a typed-in column reads each as a
// number), numbers straight into number columns.

#include <memory>
#include <string>
#include <vector>

#include "numeric/KRDoubleArrayContainer.h"
#include "numeric/KRUCharArrayContainer.h"
#include "table/CellTextStore.h"
#include "table/OrrelinColumn.h"

namespace orrelin {

void writeTexts(OrrelinColumn& column, std::vector<std::string> texts);
void writeTexts(OrrelinColumn& column, CellTextStore texts);
// Rows whose mask byte is 0 are empty.
void writeNumbers(OrrelinColumn& column, std::shared_ptr<KRDoubleArrayContainer> values,
                  std::shared_ptr<KRUCharArrayContainer> mask);

}  // namespace orrelin
