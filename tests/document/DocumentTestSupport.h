#pragma once
// Documents for the package tests: one with a column of every kind,
// parameters and a graph, and helpers that look into saved packages.

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "document/OrrelinDocument.h"
#include "platform/FileWriting.h"
#include "platform/PropertyListSerialization.h"
#include "table/StructuralColumns.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumberFromString.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

namespace orrelin::testing_support {

inline ColumnPtr addColumn(OrrelinDocument& document, ColumnPtr column, const std::string& name) {
  column->setName(name);
  document.table().insertColumn(column, document.table().numberOfColumns());
  return column;
}

inline std::vector<std::string> numberTexts(long count, double scale = 1) {
  std::vector<std::string> texts;
  texts.reserve(std::size_t(count));
  for (long i = 0; i < count; ++i) texts.push_back(std::to_string(double(i) * scale));
  return texts;
}

// Typed-in values, binary numbers, text, dates, formulas over them, a
// number-from-text column, a group with a divider, parameters of three
// kinds and a graph with axes and a plot.
inline void fillEveryKind(OrrelinDocument& document) {
  auto& definitions = document.definitions();
  definitions.addParameterValue("k")->setValue("2.5");
  definitions.addParameterString("label")->setValue("run 7");
  auto slider = definitions.addParameterSlider("t");
  slider->setRangeString("0,10");
  slider->setValue("3");

  addColumn(document, VKDataColumnSpecified::createEmptyFor(), "x")->setStringList({"1", "2", "3*k", "", "5"});
  std::vector<double> values;
  std::vector<std::uint8_t> mask;
  for (int i = 0; i < 2000; ++i) {
    values.push_back(i * 0.5);
    mask.push_back(i % 7 ? 1 : 0);
  }
  addColumn(document, VKDataColumnBinary::createEmptyFor(), "y")->setNumbers(values, mask);
  addColumn(document, VKDataColumnString::createEmptyFor(), "s")->setStringList({"a", "12", "c"});
  addColumn(document, VKDataColumnDate::createEmptyFor(), "when")->setStringList({"2005-03-04", "2010-05-01"});
  std::static_pointer_cast<VKDataColumnExpression>(
      addColumn(document, VKDataColumnExpression::createEmptyFor(), "z"))
      ->setExpressionString("x*k + 1");
  addColumn(document, VKDataColumnNumberFromString::createEmptyFor(), "sn")->setSetting("Column", "s");
  addColumn(document, VKDataColumnCollapserOpen::createEmptyFor(), "group");
  addColumn(document, VKDataColumnSpecified::createEmptyFor(), "inside")->setStringList({"7", "8"});
  addColumn(document, VKDataColumnDivider::createEmptyFor(), "");
  addColumn(document, VKDataColumnCollapserClose::createEmptyFor(), "");
  document.table().recomputeNumberOfRows();

  PlistArray graph{PlistDictionary{{"Type", "Style Settings"}, {"Box Style", 1}},
                   PlistDictionary{{"Type", "Canvas Settings"}, {"Drawing Size", "400x300"}},
                   PlistDictionary{{"Type", "Main Axis"}, {"X Label Height", 20}},
                   PlistDictionary{{"Type", "Plot"}, {"X", "x"}, {"Y", "z"}}};
  document.setStoredGraphs({graph}, 0);
  document.setDrawingSize({400, 300});
  document.setWindowSize({640.5, 480});
  document.setQuickTimeSettings({{"Frames Per Second", 24}, {"Compression Number", 3}, {"Transparency", false}});
}

inline std::string fileBytes(const std::string& path) {
  std::string bytes;
  readFile(path, bytes);
  return bytes;
}

inline PropertyList plistAt(const std::string& path) {
  auto read = readPropertyListFile(path);
  return read ? *read : PropertyList();
}

inline ino_t inodeOf(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

}  // namespace orrelin::testing_support
