#include <gtest/gtest.h>

#include "graph/commandbase/VKCommandFactory.h"
#include "support/MessageCapture.h"

namespace orrelin {
namespace {

const char* const kStoredKinds[] = {"Anchored Image", "Color Legend", "Connection", "Open", "Close", "Label",
                                    "Legend", "Lines", "Multiple Lines", "ND Fit", "Plots", "Range",
                                    "Scalar Field", "Stock", "Text Block", "Zoom"};

class StoredKinds : public ::testing::TestWithParam<const char*> {};

TEST_P(StoredKinds, KeepTheirPropertyListUnchanged) {
  MessageCapture messages;
  auto command = VKCommandFactory::shared().createCommand(GetParam());
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->type(), GetParam());
  // What the command writes for itself, plus settings it does not know yet.
  PropertyList list = command->propertyList();
  list.dictionary()["Legend"] = "<Label>y</Label>";
  list.dictionary()["Anchor"] = PlistDictionary{{"X", 1.5}, {"Y", PlistArray{1, 2}}};
  list.dictionary()["Size"] = PlistData{1, 2, 3};

  auto read = VKCommandFactory::shared().createFromPropertyList(list);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->propertyList(), list);
  EXPECT_TRUE(messages.texts().empty());

  if (auto drawing = std::dynamic_pointer_cast<VKDrawingCommand>(read)) {
    KRDrawingInformation information;
    auto record = std::make_shared<KR1DPlotDrawingInfo>();
    EXPECT_EQ(drawing->drawingObjectForScale(record, 1, information), nullptr);
    EXPECT_TRUE(drawing->domainRangeXLinear(true, true).isInvalid());
    EXPECT_TRUE(drawing->valueRangeXLinear(true, true).isInvalid());
  }
}

INSTANTIATE_TEST_SUITE_P(NotYetDrawn, StoredKinds, ::testing::ValuesIn(kStoredKinds),
                         [](const auto& info) {
                           std::string name = info.param;
                           std::erase(name, ' ');
                           return name;
                         });

TEST(CommandFactory, CollapsersAndUnknownKinds) {
  MessageCapture messages;
  auto& factory = VKCommandFactory::shared();
  EXPECT_EQ(factory.createCommand("Open")->collapserType(), 1);
  EXPECT_EQ(factory.createCommand("Close")->collapserType(), 2);
  EXPECT_EQ(factory.createCommand("Label")->collapserType(), 0);
  EXPECT_EQ(factory.createFromPropertyList(PlistDictionary{{"Type", "Teapot"}}), nullptr);
  EXPECT_EQ(factory.createFromPropertyList(PlistDictionary{{"Legend", "x"}}), nullptr);
  EXPECT_EQ(messages.texts().size(), 2u);
}

}  // namespace
}  // namespace orrelin
