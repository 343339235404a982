#pragma once
// How the numeric library reports misuse: each message is one line, kept in
// a process-wide list and written to standard error; the operation then
// gives back an empty result.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace orrelin {

// Records text and writes it with a newline to standard error.
void MVErrorMessage(const std::string& text);
// The same for the line function + ": " + text.
void MVErrorMessage(const std::string& function, const std::string& text);
// Composed and recorded exactly like MVErrorMessage(function, text).
void MVWarningMessage(const std::string& function, const std::string& text);
// Every line recorded so far, oldest first.
std::vector<std::string> MVErrorList();
// Forgets the recorded lines (tests start from a clean list).
void MVClearErrorList();

// Out-of-range reports of the plain array family, e.g.
// "MVDoubleArray(5) is not valid, needs to be lie in [0,3]."
void MVErrorOutOfRange(const std::string& typeName, long i, long length);
void MVErrorOutOfRange(const std::string& typeName, long i, long j, long m, long n);
void MVErrorOutOfRange(const std::string& typeName, long i, long j, long k, long m, long n, long o);
// The locked family's line for the same, e.g. "DoubleArray(5,0) out of
// range [0,3]x[0,2]." for the index (5, 0) of a 4 x 3 array.
std::string lockedOutOfRangeText(const std::string& typeName, std::initializer_list<long> index,
                                 std::initializer_list<long> bounds);

// Hands text to the application's message centre as a serious error; the
// locked array family reports this way.
void KRPutErrorMessage(const std::string& text = "");

}  // namespace orrelin
