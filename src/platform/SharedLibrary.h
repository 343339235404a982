#pragma once
// Libraries loaded when their service is first asked for instead of when the
// program starts: FFmpeg for movies, poppler for PDF pages. Linking them
// would map well over a hundred shared objects into every run of the tool,
// also into "orrel -help" and into jobs that never write a movie.
//
// A library is opened once per process and stays loaded until it ends.

#include <string>

namespace orrelin {

class SharedLibrary {
 public:
  // Opens the library by its file name as the dynamic loader looks it up
  // ("libavcodec.so.59"). Failure is kept, not thrown: see loaded() and
  // error().
  explicit SharedLibrary(std::string fileName);
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& fileName() const { return fileName_; }
  // The first failure: the library could not be opened or a function is not
  // in it. Empty while everything was found.
  const std::string& error() const { return error_; }

  // Points function at the library's symbol name; false (and the reason in
  // error()) when the library is not loaded or does not have it.
  template <class Function>
  bool bind(Function*& function, const char* name) {
    function = reinterpret_cast<Function*>(symbol(name));
    return function != nullptr;
  }

 private:
  void* symbol(const char* name);

  std::string fileName_;
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace orrelin
