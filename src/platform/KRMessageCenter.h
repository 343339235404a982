#pragma once
// The application-wide list of messages shown to the user. Any thread may
// post; the shown list is brought up to date on the main thread.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orrelin {

struct KRMessage {
  std::string shortText;
  std::string longText;
  std::chrono::system_clock::time_point time;
  bool serious = false;
};

class KRMessageCenter : public std::enable_shared_from_this<KRMessageCenter> {
 public:
  static constexpr std::size_t kMessageLimit = 5000;
  static constexpr const char* kTooManyMessages =
      "Too many error messages (5,000).  Blocking any further messages.";
  // The key under which a thread keeps its own centre in its thread dictionary.
  static constexpr const char* kThreadDictionaryKey = "KRMessageCenter";

  // Called on the main thread with the messages just moved into the shown
  // list; the message window in the application, standard error in the tool.
  using Refresh = std::function<void(const std::vector<KRMessage>& newlyShown)>;

  KRMessageCenter();

  // Post to the calling thread's centre, else to the shared one.
  static void addMessage(const std::string& text);
  static void addMessage(const std::string& text, const std::string& longVersion);
  // A message with the call stack as its long text.
  static void seriousErrorMessage(const std::string& text);

  static std::shared_ptr<KRMessageCenter> sharedCenter();
  // The centre a post from this thread goes to.
  static std::shared_ptr<KRMessageCenter> currentCenter();
  // Gives the calling thread its own centre (none: back to the shared one).
  static void setCenterForCurrentThread(std::shared_ptr<KRMessageCenter> center);

  void post(const std::string& shortText, const std::string& longText, bool serious = false);

  // Moves the waiting messages into the shown list and refreshes. The main
  // thread runs it after a post; the tool also runs it before it ends.
  void updateShownMessages();

  std::vector<KRMessage> shownMessages() const;
  std::size_t waitingCount() const;
  void removeAllMessages();

  void setRefresh(Refresh refresh);
  // Every message is also appended to this file; "" switches the log off.
  void setLogFile(const std::string& path);

  // Writes the short text of each message to standard error, and the long
  // text below it unless it is a call stack.
  static void writeToStandardError(const std::vector<KRMessage>& messages);

 private:
  void appendToLogFile(const KRMessage& message);

  mutable std::mutex lock_;
  std::vector<KRMessage> shown_;
  std::vector<KRMessage> waiting_;
  bool updatePending_ = false;
  Refresh refresh_;
  std::mutex logLock_;
  std::string logFile_;
};

// The call stack of the calling thread, one frame a line; "" when the
// platform cannot give it.
std::string currentCallStack();

}  // namespace orrelin
