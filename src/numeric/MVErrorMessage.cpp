#include "MVErrorMessage.h"

#include <cstdio>
#include <mutex>

#include "platform/KRMessageCenter.h"

namespace orrelin {

namespace {

struct ErrorList {
  std::mutex lock;
  std::vector<std::string> lines;
};

ErrorList& errorList() {
  static auto* list = new ErrorList;
  return *list;
}

}  // namespace

void MVErrorMessage(const std::string& text) {
  auto& list = errorList();
  {
    std::lock_guard guard(list.lock);
    list.lines.push_back(text);
  }
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

void MVErrorMessage(const std::string& function, const std::string& text) {
  MVErrorMessage(function + ": " + text);
}

void MVWarningMessage(const std::string& function, const std::string& text) {
  MVErrorMessage(function, text);
}

std::vector<std::string> MVErrorList() {
  auto& list = errorList();
  std::lock_guard guard(list.lock);
  return list.lines;
}

void MVClearErrorList() {
  auto& list = errorList();
  std::lock_guard guard(list.lock);
  list.lines.clear();
}

void MVErrorOutOfRange(const std::string& typeName, long i, long length) {
  MVErrorMessage(typeName + "(" + std::to_string(i) + ") is not valid, needs to be lie in [0," +
                 std::to_string(length - 1) + "].");
}

void MVErrorOutOfRange(const std::string& typeName, long i, long j, long m, long n) {
  MVErrorMessage(typeName + "(" + std::to_string(i) + "," + std::to_string(j) +
                 ") is not valid, needs to lie in [0," + std::to_string(m - 1) + "]x[0," +
                 std::to_string(n - 1) + "].");
}

void MVErrorOutOfRange(const std::string& typeName, long i, long j, long k, long m, long n, long o) {
  MVErrorMessage(typeName + "(" + std::to_string(i) + "," + std::to_string(j) + "," + std::to_string(k) +
                 ") is not valid, needs to lie in [0," + std::to_string(m - 1) + "]x[0," +
                 std::to_string(n - 1) + "]x[0," + std::to_string(o - 1) + "].");
}

void KRPutErrorMessage(const std::string& text) { KRMessageCenter::seriousErrorMessage(text); }

}  // namespace orrelin
