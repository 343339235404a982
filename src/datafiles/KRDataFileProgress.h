#pragma once
// What a long file operation tells the user about itself: how far it has got,
// and whether the user has asked it to stop.

namespace orrelin {

class KRDataFileProgress {
 public:
  virtual ~KRDataFileProgress() = default;
  // fraction runs from 0 to 1.
  virtual void setProgress(double fraction) = 0;
  virtual bool userAborted() = 0;
};

}  // namespace orrelin
