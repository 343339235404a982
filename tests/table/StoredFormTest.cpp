#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "TableTestSupport.h"
#include "support/MessageCapture.h"
#include "datafiles/KRDataFile.h"
#include "platform/FileWriting.h"
#include "platform/PropertyListSerialization.h"
#include "support/TemporaryFolder.h"
#include "table/ColumnFiles.h"
#include "table/DeferredColumns.h"
#include "table/StructuralColumns.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDataObject.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumber.h"
#include "table/VKDataColumnNumberFromString.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

// One column of every kind, each with settings of its own.
void fillEveryKind(DataDocumentTable& table) {
  const auto add = [&](ColumnPtr column, const std::string& name) {
    column->setName(name);
    column->width = 55.5;
    table.insertColumn(column, table.numberOfColumns());
    return column;
  };
  table.rowNumberColumn()->width = 40;
  auto typed = add(VKDataColumnSpecified::createEmptyFor(), "v");
  typed->setStringList({"1", "2*k", "", "x y"});
  typed->setSetting("Format", PlistDictionary{{"Digits", 3}, {"Currency", true}});
  typed->columnSettingOpen = true;
  add(VKDataColumnBinary::createEmptyFor(), "b")->setNumbers({1.5, -2, 1e300}, {1, 0, 1});
  auto text = std::static_pointer_cast<VKDataColumnString>(add(VKDataColumnString::createEmptyFor(), "s"));
  text->setStringList({"low", "high", "low", "?"});
  text->setTableValueMap({{"low", 1}, {"high", 10}});
  text->setValueType(VKDataColumnString::kNumberFromMap);
  auto dates = std::static_pointer_cast<VKDataColumnDate>(add(VKDataColumnDate::createEmptyFor(), "d"));
  dates->setStringList({"März 4 2005", "4.3.05", "", "Mai 1 2010"});
  dates->setFormat(PlistDictionary{{"Date and Year", 5}, {"Time", 1}, {"Localization", 2}});
  auto formula = std::static_pointer_cast<VKDataColumnExpression>(add(VKDataColumnExpression::createEmptyFor(), "e"));
  formula->setExpressionString("b*2 + rand(0,1)");
  for (const auto& [key, value] : PlistDictionary{{"At Least", "5"}, {"Seed", 4242}, {"Number Type", 1},
                                                   {"Digits", 6}, {"Date Format", "yyyy/M/d"}})
    formula->setSetting(key, value);
  add(VKDataColumnStringExpression::createEmptyFor(), "se")
      ->setSetting("Tokens", PlistArray{"total ", PlistDictionary{{"Parameter", "k"}, {"Digits", 4}}});
  add(VKDataColumnNumberFromString::createEmptyFor(), "n")->setSetting("Column", "s");
  add(VKDataColumnFromCommand::createEmptyFor(), "fc")->setSetting("Command", PlistDictionary{{"Index", 2}});
  add(VKDataColumnPlotAction::createEmptyFor(), "pa")->setSetting("Action", "Integrate");
  auto storedTexts = std::static_pointer_cast<VKDataColumnDataObjectString>(
      add(VKDataColumnDataObjectString::createEmptyFor(), "dos"));
  storedTexts->setSetting("UUID", "6F1C0F0E-0000-4000-8000-000000000001");
  storedTexts->setSetting("Column Used", "label");
  storedTexts->setTexts({"a", "b"});
  auto storedNumbers = std::static_pointer_cast<VKDataColumnDataObjectBinary>(
      add(VKDataColumnDataObjectBinary::createEmptyFor(), "dob"));
  storedNumbers->setSetting("UUID", "6F1C0F0E-0000-4000-8000-000000000002");
  storedNumbers->setValues({7, 8}, {1, 1});
  add(VKDataColumnCollapserOpen::createEmptyFor(), "group")->setSetting("Connection Type", 3);
  add(VKDataColumnDivider::createEmptyFor(), "");
  auto block = add(VKDataColumnTextBlock::createEmptyFor(), "note");
  block->setSetting("Text String", "Measured on\nday 2");
  block->setSetting("Height", 48.0);
  add(VKDataColumnCollapserClose::createEmptyFor(), "");
}

PlistArray throughSerialization(const PlistArray& list) {
  auto parsed = parsePropertyList(serializePropertyList(PropertyList(list), PlistFormat::Binary));
  EXPECT_TRUE(parsed && parsed->isArray());
  return parsed && parsed->isArray() ? parsed->array() : PlistArray{};
}

// The stored form goes through the binary property list form that packages
// use; the property list writers are tested with the platform.
TEST(StoredForm, EveryKindComesBackAsItWas) {
  auto original = TestDocument::create();
  original->setParameter("k", 3);
  fillEveryKind(*original->table);
  PlistDictionary info;
  const auto [descriptions, data] = original->table->columnDescription(info);
  ASSERT_EQ(descriptions.size(), 16u);
  ASSERT_EQ(data.size(), 6u) << "typed-in, binary, text, date and the two data-store kinds";
  EXPECT_EQ(descriptions[0], PropertyList(PlistDictionary{{"Type", "Line Number"}, {"Name", "#"}, {"Width", 40.0}}));

  auto copy = TestDocument::create();
  copy->setParameter("k", 3);
  const PlistArray readDescriptions = throughSerialization(descriptions);
  EXPECT_EQ(copy->table->setFromColumnDescriptions(readDescriptions, throughSerialization(data)), 16);
  ASSERT_EQ(copy->table->numberOfColumns(), 16);
  for (long k = 0; k < 16; ++k) {
    auto before = original->table->columnAtIndex(k);
    auto after = copy->table->columnAtIndex(k);
    ASSERT_EQ(after->type(), before->type()) << k;
    EXPECT_EQ(after->propertyByName(), before->propertyByName()) << before->type();
    EXPECT_EQ(after->width, before->width) << before->type();
    EXPECT_EQ(after->columnSettingOpen, before->columnSettingOpen) << before->type();
    EXPECT_EQ(after->stringList(), before->stringList()) << before->type();
    if (before->isNumberColumn()) {
      EXPECT_EQ(maskOf(*after), maskOf(*before)) << before->type();
      EXPECT_TRUE(sameValues(validValues(*after), validValues(*before))) << before->type();
    }
  }
  // Written again, the copy gives the same property lists.
  PlistDictionary again;
  const auto [descriptions2, data2] = copy->table->columnDescription(again);
  EXPECT_EQ(descriptions2, descriptions);
  EXPECT_EQ(data2, data);
  // The formula's random numbers follow its stored seed.
  EXPECT_TRUE(sameValues(validValues(*copy->table->columnAtIndex(5)), validValues(*original->table->columnAtIndex(5))));
  EXPECT_EQ(copy->table->columnAtIndex(5)->howManyEntries(), 3);
  // The date column reads its entries again with its format and language.
  EXPECT_EQ(maskOf(*copy->table->columnAtIndex(4)), (std::vector<int>{1, 0, 0, 1}));
  // The typed-in cell that names a parameter reads it again.
  EXPECT_EQ(copy->table->columnAtIndex(1)->valueAtRow(1), 6);
}

TEST(StoredFormFiles, LargeColumnsGoIntoThePackage) {
  TemporaryFolder package;
  auto original = TestDocument::create();
  auto& table = *original->table;
  std::vector<std::string> many;
  for (int k = 0; k <= 100000; ++k) many.push_back(std::to_string(k % 977));
  auto typed = VKDataColumnSpecified::createEmptyFor();
  typed->setStringList(many);
  table.insertColumn(typed, 1);
  auto small = VKDataColumnSpecified::createEmptyFor();
  small->setStringList(std::vector<std::string>(100000, "1"));
  table.insertColumn(small, 2);
  auto text = VKDataColumnString::createEmptyFor();
  text->setStringList(many);
  text->setValueType(VKDataColumnString::kNumberFromText);
  table.insertColumn(text, 3);
  auto binary = VKDataColumnBinary::createEmptyFor();
  binary->setNumbers({1, 2, 3}, {1, 0, 1});
  table.insertColumn(binary, 4);
  auto dates = VKDataColumnDate::createEmptyFor();
  dates->setFormat({{"Starting Date", 0}, {"Time Scale", 86400}});
  std::vector<std::string> days;
  for (int k = 0; k < 1000; ++k) days.push_back(std::to_string(k));
  dates->setStringList(days);
  table.insertColumn(dates, 5);
  auto fewDates = VKDataColumnDate::createEmptyFor();
  fewDates->setStringList(std::vector<std::string>(999, "x"));
  table.insertColumn(fewDates, 6);

  PlistDictionary info{{"Wrapper", package.root()}};
  const auto [descriptions, data] = table.columnDescription(info);
  ASSERT_EQ(data.size(), 6u);
  EXPECT_EQ(data[0], PropertyList(PlistDictionary{{"File", "Column 1.plist"}}));
  EXPECT_TRUE(data[1].isArray()) << "100000 entries stay inline";
  EXPECT_EQ(data[2], PropertyList(PlistDictionary{{"File", "Column 2.plist"}, {"Cache File", "String Column 1.mvbin"}}));
  EXPECT_EQ(data[3], PropertyList(PlistDictionary{{"File", "Column 1.mvbin"}}));
  EXPECT_EQ(*descriptions[5].stringForKey("File Name"), "Column 2.mvbin");
  EXPECT_FALSE(descriptions[6].find("File Name"));
  for (const char* file : {"Ascii/Column 1.plist", "Ascii/Column 2.plist", "Cache/String Column 1.mvbin",
                           "Binary/Column 1.mvbin", "Binary/Column 2.mvbin"})
    EXPECT_TRUE(std::filesystem::exists(package.path(file))) << file;
  EXPECT_EQ(info.at("Next Binary Number").integer(), 3);
  EXPECT_TRUE(info.at("BinaryDataCreated").boolean());
  EXPECT_EQ(info.at("Created Dictionaries").array().size(), 3u);

  // The list files are binary property lists; the cache holds the numbers.
  std::string bytes;
  ASSERT_TRUE(readFile(package.path("Ascii/Column 2.plist"), bytes));
  EXPECT_EQ(bytes.substr(0, 6), "bplist");
  auto cache = KRDataFile::openFileName(package.path("Cache/String Column 1.mvbin"));
  ASSERT_TRUE(cache);
  auto cached = cache->readDoubleArray("Numbers");
  ASSERT_TRUE(cached);
  EXPECT_EQ(cached->length(), 100001);
  EXPECT_EQ(cached->valueAtIndex(978), 1);

  auto copy = TestDocument::create();
  copy->table->setFromColumnDescriptions(descriptions, data, package.root());
  EXPECT_EQ(copy->table->columnAtIndex(1)->stringList(), many);
  EXPECT_EQ(copy->table->columnAtIndex(1)->valueAtRow(1000), 23);
  EXPECT_EQ(copy->table->columnAtIndex(3)->valueAtRow(978), 1);
  EXPECT_EQ(maskOf(*copy->table->columnAtIndex(4)), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(copy->table->columnAtIndex(5)->valueAtRow(999), 86400.0 * 999);
  EXPECT_EQ(copy->table->columnAtIndex(5)->stringList()[999], "999");
  EXPECT_EQ(copy->table->numberOfRows(), 100001);
}

TEST(StoredFormFiles, ListFilesAreReadBack) {
  TemporaryFolder package;
  std::filesystem::create_directory(package.path("Ascii"));
  ASSERT_TRUE(writePropertyListFile(PropertyList(PlistArray{"3", "4", "x"}), package.path("Ascii/Column 4.plist"),
                                    PlistFormat::Binary, WriteMode::Atomic));
  PlistDictionary info{{"Wrapper", package.root()}, {"Next Cache Number", 7}};
  // Numbers that differ from the texts show that the cache is what is read.
  ColumnFile written;
  const auto cacheName = saveNumbersFile(NumberRows({30, 40, 0}, {1, 1, 0}), NumbersFolder::Cache, info, written);
  ASSERT_EQ(cacheName, "String Column 7.mvbin");
  const PlistArray descriptions{
      PlistDictionary{{"Type", "Line Number"}, {"Name", "#"}},
      PlistDictionary{{"Type", "Ascii"}, {"Name", "typed"}},
      PlistDictionary{{"Type", "String"}, {"Name", "text"}, {"Value Type", 3}},
  };
  const PlistArray data{PlistDictionary{{"File", "Column 4.plist"}},
                        PlistDictionary{{"File", "Column 4.plist"}, {"Cache File", *cacheName}}};
  auto document = TestDocument::create();
  document->table->setFromColumnDescriptions(descriptions, data, package.root());
  auto typed = document->table->columnAtIndex(1);
  auto text = document->table->columnAtIndex(2);
  EXPECT_EQ(typed->stringList(), (std::vector<std::string>{"3", "4", "x"}));
  EXPECT_EQ(validValues(*typed)[1], 4);
  EXPECT_EQ(text->stringList(), typed->stringList());
  EXPECT_EQ(validValues(*text)[1], 40);
  // Once the texts change, the numbers are read from them.
  text->modifyCell("5", 1);
  EXPECT_EQ(validValues(*text)[1], 5);
}

TEST(StoredFormFiles, UnchangedFilesAreLinkedWhenSavingOverAPackage) {
  TemporaryFolder first, second, third;
  auto document = TestDocument::create();
  auto binary = VKDataColumnBinary::createEmptyFor();
  binary->setNumbers({1, 2, 3}, {1, 1, 0});
  document->table->insertColumn(binary, 1);
  auto other = VKDataColumnBinary::createEmptyFor();
  other->setNumbers({4}, {1});
  document->table->insertColumn(other, 2);
  const auto fileNumber = [](const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
  };

  PlistDictionary info{{"Wrapper", first.root()}};
  document->table->columnDescription(info);
  EXPECT_TRUE(binary->binaryFileSameAsData());
  // Saved over the first package: the same files, linked.
  PlistDictionary over{{"Wrapper", second.root()}, {"OriginalURL", first.root()}};
  document->table->columnDescription(over);
  EXPECT_EQ(fileNumber(second.path("Binary/Column 1.mvbin")), fileNumber(first.path("Binary/Column 1.mvbin")));
  EXPECT_EQ(fileNumber(second.path("Binary/Column 2.mvbin")), fileNumber(first.path("Binary/Column 2.mvbin")));
  // A changed column is written anew; the other is still linked.
  binary->setData({9}, {0});
  EXPECT_FALSE(binary->binaryFileSameAsData());
  PlistDictionary again{{"Wrapper", third.root()}, {"OriginalURL", second.root()}};
  document->table->columnDescription(again);
  EXPECT_NE(fileNumber(third.path("Binary/Column 1.mvbin")), fileNumber(second.path("Binary/Column 1.mvbin")));
  EXPECT_EQ(fileNumber(third.path("Binary/Column 2.mvbin")), fileNumber(second.path("Binary/Column 2.mvbin")));
  auto reread = TestDocument::create();
  reread->table->setFromColumnDescriptions(
      {PlistDictionary{{"Type", "Line Number"}}, PlistDictionary{{"Type", "Binary"}}},
      {PlistDictionary{{"File", "Column 1.mvbin"}}}, third.root());
  EXPECT_EQ(reread->table->columnAtIndex(1)->valueAtRow(0), 9);
}

TEST(StoredFormFiles, WhatCannotBeReadIsReportedAndTheRestKept) {
  MessageCapture capture;
  TemporaryFolder package;
  PlistArray descriptions{
      PlistDictionary{{"Type", "Line Number"}, {"Name", "row"}},
      PlistDictionary{{"Type", "Binary"}, {"Name", "lost"}},
      PlistDictionary{{"Type", "Some Future Kind"}, {"Name", "skipped"}},
      PlistDictionary{{"Type", "Ascii"}, {"Name", "kept"}, {"Width", "not a number"}},
      PlistDictionary{{"Name", "no type"}},
      PlistDictionary{{"Type", "String"}, {"Name", "outside"}},
  };
  PlistArray data{PlistDictionary{{"File", "Column 9.mvbin"}}, PlistArray{"4", 5, "6"},
                  PlistDictionary{{"File", "../Content.plist"}}};
  auto document = TestDocument::create();
  std::filesystem::create_directory(package.path("Ascii"));
  ASSERT_TRUE(writePropertyListFile(PropertyList(PlistArray{"secret"}), package.path("Content.plist"),
                                    PlistFormat::XML, WriteMode::Atomic));
  EXPECT_EQ(document->table->setFromColumnDescriptions(descriptions, data, package.root()), 4);
  auto& table = *document->table;
  ASSERT_EQ(table.numberOfColumns(), 4);
  EXPECT_EQ(table.columnAtIndex(3)->howManyEntries(), 0) << "a file name reads only inside its folder";
  EXPECT_EQ(table.columnAtIndex(0)->name(), "row");
  EXPECT_EQ(table.columnAtIndex(1)->name(), "lost");
  EXPECT_EQ(table.columnAtIndex(1)->howManyEntries(), 0);
  EXPECT_EQ(table.columnAtIndex(2)->stringList(), (std::vector<std::string>{"4", "", "6"}));
  EXPECT_EQ(table.columnAtIndex(2)->width, 100) << "a width that is not a number is ignored";
  EXPECT_FALSE(capture.take().empty()) << "the missing file is reported";
}

TEST(StoredFormCopy, ACopyCarriesSettingsAndData) {
  auto column = VKDataColumnString::createEmptyFor();
  column->setName("labels");
  column->setStringList({"x", "y"});
  column->setTableValueMap({{"x", 2}});
  auto copy = OrrelinColumn::setFromCopyInfo(column->versionForCopy());
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->type(), "String");
  EXPECT_EQ(copy->name(), "labels");
  EXPECT_EQ(copy->stringList(), column->stringList());
  EXPECT_EQ(std::static_pointer_cast<VKDataColumnString>(copy)->tableValueMap(), column->tableValueMap());
  EXPECT_FALSE(OrrelinColumn::setFromCopyInfo(PlistDictionary{}));
}

}  // namespace
