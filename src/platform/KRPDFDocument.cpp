#include "platform/KRPDFDocument.h"

#include <cairo.h>
#include <poppler.h>

#include <mutex>

#include "platform/CairoSupport.h"
#include "platform/SharedLibrary.h"

namespace orrelin {

namespace {

// poppler's library, opened when the first PDF document is made; error is
// empty when every function was found.
struct PopplerLibrary {
  decltype(&::poppler_document_new_from_bytes) poppler_document_new_from_bytes = nullptr;
  decltype(&::poppler_document_get_n_pages) poppler_document_get_n_pages = nullptr;
  decltype(&::poppler_document_get_page) poppler_document_get_page = nullptr;
  decltype(&::poppler_page_get_size) poppler_page_get_size = nullptr;
  decltype(&::poppler_page_render) poppler_page_render = nullptr;
  // glib's and GObject's, which come with poppler's library; nothing else
  // in the program links them.
  decltype(&::g_bytes_new_static) g_bytes_new_static = nullptr;
  decltype(&::g_bytes_unref) g_bytes_unref = nullptr;
  decltype(&::g_error_free) g_error_free = nullptr;
  decltype(&::g_object_unref) g_object_unref = nullptr;
  std::string error;
};

PopplerLibrary loadPoppler() {
  static SharedLibrary library(ORREL_POPPLER_GLIB_FILE);
  PopplerLibrary functions;
  bool found = library.bind(functions.poppler_document_new_from_bytes, "poppler_document_new_from_bytes");
  found = library.bind(functions.poppler_document_get_n_pages, "poppler_document_get_n_pages") && found;
  found = library.bind(functions.poppler_document_get_page, "poppler_document_get_page") && found;
  found = library.bind(functions.poppler_page_get_size, "poppler_page_get_size") && found;
  found = library.bind(functions.poppler_page_render, "poppler_page_render") && found;
  found = library.bind(functions.g_bytes_new_static, "g_bytes_new_static") && found;
  found = library.bind(functions.g_bytes_unref, "g_bytes_unref") && found;
  found = library.bind(functions.g_error_free, "g_error_free") && found;
  found = library.bind(functions.g_object_unref, "g_object_unref") && found;
  if (!found) functions.error = "PDF documents are read with poppler, but " + library.error();
  return functions;
}

const PopplerLibrary& poppler() {
  static const PopplerLibrary functions = loadPoppler();
  return functions;
}

}  // namespace

struct KRPDFDocument::Document {
  PopplerDocument* poppler = nullptr;
  GBytes* bytes = nullptr;
  // A poppler document is not safe to use from two threads at once.
  std::mutex lock;
};

KRPDFDocument::KRPDFDocument(std::vector<std::uint8_t> bytes, Document* document)
    : bytes_(std::move(bytes)), document_(document) {}

KRPDFDocument::~KRPDFDocument() {
  if (document_->poppler) poppler().g_object_unref(document_->poppler);
  if (document_->bytes) poppler().g_bytes_unref(document_->bytes);
  delete document_;
}

std::shared_ptr<KRPDFDocument> KRPDFDocument::createWithData(std::vector<std::uint8_t> bytes, std::string* error) {
  if (bytes.empty()) {
    if (error) *error = "The PDF data is empty.";
    return nullptr;
  }
  if (!poppler().error.empty()) {
    if (error) *error = "The PDF data can not be read: " + poppler().error + ".";
    return nullptr;
  }
  auto* document = new Document;
  std::shared_ptr<KRPDFDocument> pdf(new KRPDFDocument(std::move(bytes), document));
  // The bytes live in pdf, which outlives the poppler document.
  document->bytes = poppler().g_bytes_new_static(pdf->bytes_.data(), pdf->bytes_.size());
  GError* gerror = nullptr;
  document->poppler = poppler().poppler_document_new_from_bytes(document->bytes, nullptr, &gerror);
  if (!document->poppler) {
    if (error) *error = std::string("The PDF data can not be read: ") + (gerror ? gerror->message : "unknown error");
    if (gerror) poppler().g_error_free(gerror);
    return nullptr;
  }
  return pdf;
}

int KRPDFDocument::pageCount() const {
  std::lock_guard guard(document_->lock);
  return poppler().poppler_document_get_n_pages(document_->poppler);
}

KRSize KRPDFDocument::pageSize(int page) const {
  std::lock_guard guard(document_->lock);
  if (page < 0 || page >= poppler().poppler_document_get_n_pages(document_->poppler)) return {};
  PopplerPage* p = poppler().poppler_document_get_page(document_->poppler, page);
  if (!p) return {};
  double w = 0, h = 0;
  poppler().poppler_page_get_size(p, &w, &h);
  poppler().g_object_unref(p);
  return {w, h};
}


bool KRPDFDocument::renderPage(int page, cairo_t* cr) const {
  std::lock_guard guard(document_->lock);
  if (page < 0 || page >= poppler().poppler_document_get_n_pages(document_->poppler)) return false;
  PopplerPage* p = poppler().poppler_document_get_page(document_->poppler, page);
  if (!p) return false;
  poppler().poppler_page_render(p, cr);
  poppler().g_object_unref(p);
  return true;
}

std::shared_ptr<KRImage> KRPDFDocument::imageOfPage(int page, int pixelsWide, int pixelsHigh) const {
  KRSize size = pageSize(page);
  if (!(size.width > 0) || !(size.height > 0)) return nullptr;
  cairo_surface_t* surface = cairo_support::newImageSurface(pixelsWide, pixelsHigh);
  if (!surface) return nullptr;
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, pixelsWide / size.width, pixelsHigh / size.height);
  renderPage(page, cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return std::shared_ptr<KRImage>(new KRImage(surface));
}

}  // namespace orrelin
