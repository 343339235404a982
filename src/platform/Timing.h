#pragma once
// Whether redraw and set-up times are logged ("-timing" on the command line).

namespace orrelin {

void setIfIShouldPrintTiming(bool on);
bool shouldPrintTiming();

}  // namespace orrelin
