#pragma once
// Collects what the numeric library reports: the message-centre lines of the
// locked family and containers, and the error-list lines of the plain family.

#include <string>
#include <type_traits>
#include <vector>

#include "numeric/LockedArrays.h"
#include "numeric/MVErrorMessage.h"
#include "platform/KRMessageCenter.h"
#include "platform/MainThreadQueue.h"

namespace orrelin::testing_support {

// Gives the calling thread its own message centre for the lifetime of the
// object and clears the error list.
class ReportedMessages {
 public:
  ReportedMessages() : center_(std::make_shared<KRMessageCenter>()) {
    center_->setRefresh(nullptr);
    KRMessageCenter::setCenterForCurrentThread(center_);
    MVClearErrorList();
  }
  ~ReportedMessages() {
    MainThreadQueue::shared().drain();
    KRMessageCenter::setCenterForCurrentThread(nullptr);
  }
  ReportedMessages(const ReportedMessages&) = delete;
  ReportedMessages& operator=(const ReportedMessages&) = delete;

  // The centre's lines posted since the last call.
  std::vector<std::string> centre() {
    MainThreadQueue::shared().drain();
    std::vector<std::string> lines;
    for (const auto& message : center_->shownMessages()) lines.push_back(message.shortText);
    center_->removeAllMessages();
    return lines;
  }
  // The lines of the channel the array type A reports through.
  template <class A>
  std::vector<std::string> of() {
    return std::is_same_v<typename A::Family, LockedFamily> ? centre() : errorList();
  }
  // The error-list lines recorded since the last call.
  std::vector<std::string> errorList() {
    auto lines = MVErrorList();
    MVClearErrorList();
    return lines;
  }

 private:
  std::shared_ptr<KRMessageCenter> center_;
};

using Lines = std::vector<std::string>;

}  // namespace orrelin::testing_support
