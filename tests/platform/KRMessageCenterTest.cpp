#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "platform/FileWriting.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

// Each test uses its own centre, set as the calling thread's, and drains the
// main-thread queue itself.
class MessageCenter : public testing::Test {
 protected:
  void SetUp() override {
    MainThreadQueue::shared().drain();
    center = std::make_shared<KRMessageCenter>();
    center->setRefresh([this](const std::vector<KRMessage>& shown) {
      ++refreshes;
      refreshed += shown.size();
    });
    KRMessageCenter::setCenterForCurrentThread(center);
  }
  void TearDown() override {
    KRMessageCenter::setCenterForCurrentThread(nullptr);
    MainThreadQueue::shared().drain();
  }

  std::shared_ptr<KRMessageCenter> center;
  int refreshes = 0;
  std::size_t refreshed = 0;
};

TEST_F(MessageCenter, PostsWaitUntilTheMainThreadMovesThemInOneRefresh) {
  KRMessageCenter::addMessage("first");
  KRMessageCenter::addMessage("second", "the long version");
  EXPECT_EQ(center->waitingCount(), 2u);
  EXPECT_TRUE(center->shownMessages().empty());
  MainThreadQueue::shared().drain();
  auto shown = center->shownMessages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].shortText, "first");
  EXPECT_EQ(shown[1].longText, "the long version");
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(center->waitingCount(), 0u);
}

TEST_F(MessageCenter, TheMessageThatReachesTheLimitSaysFurtherOnesAreBlocked) {
  // Shown and waiting count together for the notice: 3000 shown, 2000 waiting.
  for (int i = 0; i < 3000; ++i) KRMessageCenter::addMessage("shown");
  MainThreadQueue::shared().drain();
  for (int i = 0; i < 2001; ++i) KRMessageCenter::addMessage("waiting");
  MainThreadQueue::shared().drain();
  auto shown = center->shownMessages();
  ASSERT_EQ(shown.size(), 5001u);
  EXPECT_EQ(shown[4999].shortText, "waiting");
  EXPECT_EQ(shown[5000].shortText, "Too many error messages (5,000).  Blocking any further messages.");
  EXPECT_EQ(shown[5000].longText, "");
  // The shown list is now past the limit: nothing more gets in.
  KRMessageCenter::addMessage("late");
  EXPECT_EQ(center->waitingCount(), 0u);
  MainThreadQueue::shared().drain();
  EXPECT_EQ(center->shownMessages().size(), 5001u);
}

TEST_F(MessageCenter, OnlyAShownListPastTheLimitDropsMessages) {
  // Nothing has been shown yet, so the messages after the notice still wait
  // to be shown; the first one after the update is dropped.
  for (int i = 0; i < 6000; ++i) KRMessageCenter::addMessage("message " + std::to_string(i));
  EXPECT_EQ(center->waitingCount(), 6000u);
  MainThreadQueue::shared().drain();
  auto shown = center->shownMessages();
  ASSERT_EQ(shown.size(), 6000u);
  EXPECT_EQ(shown[4999].shortText, "message 4999");
  EXPECT_EQ(shown[5000].shortText, KRMessageCenter::kTooManyMessages);
  EXPECT_EQ(shown[5999].shortText, "message 5999");
  KRMessageCenter::addMessage("late");
  EXPECT_EQ(center->waitingCount(), 0u);

  // Exactly at the limit the shown list is not past it: the next message
  // becomes the notice, the one after it is dropped.
  center->removeAllMessages();
  for (int i = 0; i < 5000; ++i) KRMessageCenter::addMessage("message");
  MainThreadQueue::shared().drain();
  KRMessageCenter::addMessage("at the limit");
  MainThreadQueue::shared().drain();
  KRMessageCenter::addMessage("past the limit");
  MainThreadQueue::shared().drain();
  shown = center->shownMessages();
  ASSERT_EQ(shown.size(), 5001u);
  EXPECT_EQ(shown.back().shortText, KRMessageCenter::kTooManyMessages);
}

TEST_F(MessageCenter, PostsFromOtherThreadsReachTheShownListOnTheMainThread) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([this] {
      // Worker threads have no centre of their own; post to this one.
      for (int i = 0; i < 100; ++i) center->post("from a worker", "");
    });
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(center->shownMessages().empty());
  MainThreadQueue::shared().drain();
  EXPECT_EQ(center->shownMessages().size(), 400u);
  EXPECT_EQ(refreshed, 400u);
}

TEST_F(MessageCenter, AThreadWithoutItsOwnCentrePostsToTheSharedOne) {
  std::size_t before = KRMessageCenter::sharedCenter()->waitingCount();
  std::thread([] { KRMessageCenter::addMessage("to the shared centre"); }).join();
  EXPECT_EQ(KRMessageCenter::sharedCenter()->waitingCount(), before + 1);
  EXPECT_EQ(center->waitingCount(), 0u);
  KRMessageCenter::sharedCenter()->setRefresh(nullptr);
  MainThreadQueue::shared().drain();
  KRMessageCenter::sharedCenter()->removeAllMessages();
  KRMessageCenter::sharedCenter()->setRefresh(&KRMessageCenter::writeToStandardError);
}

TEST_F(MessageCenter, SeriousMessagesCarryTheCallStack) {
  KRMessageCenter::seriousErrorMessage("Unexpected");
  MainThreadQueue::shared().drain();
  auto shown = center->shownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].serious);
  EXPECT_FALSE(shown[0].longText.empty());
}

TEST_F(MessageCenter, TheLogFileGetsTimeShortAndLongText) {
  TemporaryFolder folder;
  center->setLogFile(folder.path("messages.log"));
  KRMessageCenter::addMessage("Could not get property", "Failed inside class X");
  std::string log;
  ASSERT_TRUE(readFile(folder.path("messages.log"), log));
  EXPECT_TRUE(std::regex_match(
      log, std::regex(R"(\d\d/[ \d]\d at \d\d:\d\d:\d\d Could not get property\nFailed inside class X\n)")))
      << log;
}

TEST_F(MessageCenter, ACentreThatIsGoneBeforeTheUpdateIsSkipped) {
  center->post("orphan", "");
  std::weak_ptr<KRMessageCenter> gone = center;
  KRMessageCenter::setCenterForCurrentThread(nullptr);
  center.reset();
  // The scheduled update does not keep the centre alive, and finds nothing
  // to refresh when it runs.
  EXPECT_TRUE(gone.expired());
  MainThreadQueue::shared().drain();
  EXPECT_EQ(refreshes, 0);
}

}  // namespace
