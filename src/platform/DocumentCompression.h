#pragma once
// The zlib level of the streams cairo compresses in PDF and PostScript
// documents (see DocumentCompression.cpp for how it is set).

namespace orrelin {

inline constexpr int kDocumentCompressionLevel = 3;

// Whether zlib's own deflateInit_ was found to hand the calls on to. The
// document targets call this, which also keeps the replacement linked into
// every program that writes documents.
bool documentCompressionReady();

}  // namespace orrelin
