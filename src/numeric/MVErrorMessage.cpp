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

namespace {

// "Name(i,j,k)" and "[0,m-1]x[0,n-1]x[0,o-1]".
std::string indexText(const std::string& typeName, std::initializer_list<long> index) {
  std::string text = typeName + "(";
  for (long part : index) text += (text.back() == '(' ? "" : ",") + std::to_string(part);
  return text + ")";
}

std::string rangesText(std::initializer_list<long> bounds) {
  std::string text;
  for (long bound : bounds) text += (text.empty() ? "[0," : "x[0,") + std::to_string(bound - 1) + "]";
  return text;
}

}  // namespace

void MVErrorOutOfRange(const std::string& typeName, long i, long length) {
  MVErrorMessage(indexText(typeName, {i}) + " is not valid, needs to be lie in " + rangesText({length}) + ".");
}

void MVErrorOutOfRange(const std::string& typeName, long i, long j, long m, long n) {
  MVErrorMessage(indexText(typeName, {i, j}) + " is not valid, needs to lie in " + rangesText({m, n}) + ".");
}

void MVErrorOutOfRange(const std::string& typeName, long i, long j, long k, long m, long n, long o) {
  MVErrorMessage(indexText(typeName, {i, j, k}) + " is not valid, needs to lie in " + rangesText({m, n, o}) + ".");
}

std::string lockedOutOfRangeText(const std::string& typeName, std::initializer_list<long> index,
                                 std::initializer_list<long> bounds) {
  return indexText(typeName, index) + " out of range " + rangesText(bounds) + ".";
}

void KRPutErrorMessage(const std::string& text) { KRMessageCenter::seriousErrorMessage(text); }

}  // namespace orrelin
