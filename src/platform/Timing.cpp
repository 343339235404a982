#include "Timing.h"

#include <atomic>

namespace orrelin {

namespace {
std::atomic<bool> printTiming{false};
}

void setIfIShouldPrintTiming(bool on) { printTiming = on; }
bool shouldPrintTiming() { return printTiming; }

}  // namespace orrelin
