#pragma once
// Gives the test's thread a message centre of its own, so the messages a test
// causes on that thread can be read back and nothing reaches standard error.

#include <memory>
#include <string>
#include <vector>

#include "platform/KRMessageCenter.h"

namespace orrelin {

class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();

  // The messages posted since the last call, oldest first.
  std::vector<KRMessage> take();
  std::vector<std::string> takeShortTexts();

 private:
  std::shared_ptr<KRMessageCenter> center_;
};

}  // namespace orrelin
