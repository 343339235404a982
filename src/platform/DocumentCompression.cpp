// The compression of the streams in PDF and PostScript documents.
//
// cairo compresses a document's streams with zlib at its default level (6)
// and offers no setting. On the dense paths of large plots (hundreds of
// thousands of numbers in a page's content) that level costs a quarter of
// the whole job for about a tenth fewer bytes than level 3, the level the
// PNG encoder uses too. So the program gives its own deflateInit_, the
// function zlib's deflateInit macro calls: the dynamic loader binds cairo's
// calls to it because the executable comes first in the lookup order, and it
// hands every call on to zlib's own, with the default level replaced by 3.
// A caller that asks for a level of its own keeps it; callers of
// deflateInit2_ (libpng) are not touched.

#include <dlfcn.h>
#include <zlib.h>

#include "platform/DocumentCompression.h"

namespace orrelin {

namespace {

using DeflateInit = int (*)(z_streamp, int, const char*, int);

DeflateInit zlibDeflateInit() {
  static const DeflateInit found = reinterpret_cast<DeflateInit>(dlsym(RTLD_NEXT, "deflateInit_"));
  return found;
}

}  // namespace

bool documentCompressionReady() { return zlibDeflateInit() != nullptr; }

}  // namespace orrelin

extern "C" int deflateInit_(z_streamp stream, int level, const char* version, int streamSize) {
  const orrelin::DeflateInit zlib = orrelin::zlibDeflateInit();
  if (!zlib) return Z_STREAM_ERROR;
  return zlib(stream, level == Z_DEFAULT_COMPRESSION ? orrelin::kDocumentCompressionLevel : level, version,
              streamSize);
}
