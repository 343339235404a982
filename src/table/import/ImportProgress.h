#pragma once
// What an interactive import shows while it runs: a titled progress bar the
// user may stop. The batch tool imports without one.

#include <string>

#include "datafiles/KRDataFileProgress.h"

namespace orrelin {

class ImportProgress : public KRDataFileProgress {
 public:
  virtual void setTitle(const std::string& title) = 0;
};

}  // namespace orrelin
