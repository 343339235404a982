#include "table/import/ColumnWriting.h"

#include "table/CellText.h"
#include "table/NumberColumn.h"
#include "table/TextColumn.h"

namespace orrelin {

void writeTexts(OrrelinColumn& column, std::vector<std::string> texts) {
  if (auto* textColumn = dynamic_cast<TextColumn*>(&column))
    textColumn->takeStringList(std::move(texts));
  else
    column.setStringList(texts);
}

void writeTexts(OrrelinColumn& column, CellTextStore texts) {
  if (auto* textColumn = dynamic_cast<TextColumn*>(&column))
    textColumn->takeTexts(std::move(texts));
  else
    column.setStringList(texts.toVector());
}

void writeNumbers(OrrelinColumn& column, std::shared_ptr<KRDoubleArrayContainer> values,
                  std::shared_ptr<KRUCharArrayContainer> mask) {
  if (auto* numberColumn = dynamic_cast<NumberColumn*>(&column)) {
    numberColumn->adoptNumbers(std::move(values), std::move(mask));
    return;
  }
  const long length = values ? values->length() : 0;
  std::vector<std::string> texts(static_cast<std::size_t>(length));
  for (long r = 0; r < length; ++r) {
    const bool included = !mask || r >= mask->length() || mask->constPointer()[r];
    if (included) texts[std::size_t(r)] = textForNumber(values->constDoublePointer()[r]);
  }
  writeTexts(column, std::move(texts));
}

}  // namespace orrelin
