#include <gtest/gtest.h>

#include "numeric/MVErrorMessage.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

using namespace orrelin;

TEST(MVErrorMessage, LinesAreRecordedInOrderAndWrittenToStandardError) {
  MVClearErrorList();
  testing::internal::CaptureStderr();
  MVErrorMessage("plain text");
  MVErrorMessage("A+=B", "Incompatible sizes.");
  MVWarningMessage("SortDoubleAndInt", "Incompatible sizes.");
  std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(MVErrorList(), (std::vector<std::string>{"plain text", "A+=B: Incompatible sizes.",
                                                     "SortDoubleAndInt: Incompatible sizes."}));
  EXPECT_EQ(written, "plain text\nA+=B: Incompatible sizes.\nSortDoubleAndInt: Incompatible sizes.\n");
}

TEST(MVErrorMessage, OutOfRangeLinesNameTheValidRange) {
  MVClearErrorList();
  testing::internal::CaptureStderr();
  MVErrorOutOfRange("MVDoubleArray", 5, 4);
  MVErrorOutOfRange("MVIntArray", -1, 2, 3, 4);
  MVErrorOutOfRange("MVCharArray", 1, 2, 3, 2, 2, 2);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(MVErrorList(), (std::vector<std::string>{
                               "MVDoubleArray(5) is not valid, needs to be lie in [0,3].",
                               "MVIntArray(-1,2) is not valid, needs to lie in [0,2]x[0,3].",
                               "MVCharArray(1,2,3) is not valid, needs to lie in [0,1]x[0,1]x[0,1].",
                           }));
}

TEST(KRPutErrorMessage, GoesToTheMessageCentreAsASeriousError) {
  auto center = std::make_shared<KRMessageCenter>();
  center->setRefresh(nullptr);
  KRMessageCenter::setCenterForCurrentThread(center);
  KRPutErrorMessage("DoubleArray(7) out of range [0,2].");
  KRPutErrorMessage();
  MainThreadQueue::shared().drain();
  KRMessageCenter::setCenterForCurrentThread(nullptr);
  auto shown = center->shownMessages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].shortText, "DoubleArray(7) out of range [0,2].");
  EXPECT_TRUE(shown[0].serious);
  EXPECT_EQ(shown[1].shortText, "");
}
