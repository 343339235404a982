#pragma once
// PDF documents whose pages are drawn into the display list.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/KRImage.h"
#include "platform/PageGeometry.h"

struct _cairo;

namespace orrelin {

// A PDF document whose pages can be drawn as vector graphics.
class KRPDFDocument {
 public:
  ~KRPDFDocument();
  KRPDFDocument(const KRPDFDocument&) = delete;
  KRPDFDocument& operator=(const KRPDFDocument&) = delete;

  // nullptr with a reason in error when the bytes are not a readable PDF.
  static std::shared_ptr<KRPDFDocument> createWithData(std::vector<std::uint8_t> bytes,
                                                       std::string* error = nullptr);
  int pageCount() const;
  // The media box of a page in points; zero size for a page that does not exist.
  KRSize pageSize(int page) const;
  const std::vector<std::uint8_t>& data() const { return bytes_; }
  // The page rendered into an image of the pixel size, for targets that
  // cannot draw a page as vectors; nullptr for a page that does not exist.
  std::shared_ptr<KRImage> imageOfPage(int page, int pixelsWide, int pixelsHigh) const;
  // Draws the page as vectors into a cairo context's user space, its media
  // box from (0, 0) to its size with y pointing down; false for a page that
  // does not exist.
  bool renderPage(int page, _cairo* cr) const;

 private:
  struct Document;
  KRPDFDocument(std::vector<std::uint8_t> bytes, Document* document);
  std::vector<std::uint8_t> bytes_;
  Document* document_;
};

}  // namespace orrelin
