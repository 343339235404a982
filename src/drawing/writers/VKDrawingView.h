#pragma once
// The drawing view without a window: it holds a graph (or the source that
// builds one) and writes it in every output form. Each writer builds its own
// drawing for its destination and drops it afterwards; files are written
// under a temporary name and renamed, so a failure leaves an earlier file
// as it was.

#include <memory>
#include <optional>
#include <string>

#include "drawing/KRDrawingGroup.h"
#include "drawing/writers/KRDrawingSource.h"

namespace orrelin {

class VKDrawingView {
 public:
  VKDrawingView() = default;

  // A fixed drawing of the size, written as it is for every destination.
  void setGraphic(std::shared_ptr<KRDrawingGroup> graphic, KRSize size);
  // A source asked for a fresh drawing by every writer, at the view's frame
  // size when one is given and otherwise at the source's own size.
  void setDrawingSource(std::shared_ptr<KRDrawingSource> source, std::optional<KRSize> frame = std::nullopt);
  KRSize drawingSize() const;
  bool hasGraphic() const { return graphic_ || source_; }

  // The writers. Each returns false when nothing was written; the reason is
  // posted to the message centre and kept in lastError().
  bool saveSVGInto(const std::string& path);
  bool savePDFInto(const std::string& path, bool allowTransparency);
  bool saveEPSInto(const std::string& path);
  // EPS with a grey-scale TIFF preview in the DOS EPS layout; plain EPS
  // when no preview can be made.
  bool saveEPSWithPreviewInto(const std::string& path);
  // scale: pixels per point (the resolution recorded is 72 x scale dpi);
  // alias: antialiasing on.
  bool savePNGInto(const std::string& path, double scale, bool alias);
  bool savePNGWithAlphaInto(const std::string& path, double scale, bool alias);
  bool saveTIFFOpaqueInto(const std::string& path, double scale, bool alias);
  bool saveTIFFAlphaInto(const std::string& path, double scale, bool alias);
  // quality from 0 to 1.
  bool saveJPGInto(const std::string& path, double quality, double scale, bool alias);
  bool saveJPG2000Into(const std::string& path, double quality, double scale, bool alias);
  // A property list with "Size" and "Graphic" (the drawing's description).
  bool saveMVGInto(const std::string& path);

  // The forms as bytes, for callers that do not write files (the clipboard,
  // tests): empty, with lastError() set, when the drawing cannot be made.
  std::string svgForm();
  std::vector<std::uint8_t> pdfData(bool allowTransparency);
  std::vector<std::uint8_t> epsData();
  // The drawing rendered as the bitmap writers render it: white behind it
  // unless transparent is set.
  std::shared_ptr<KRImage> imageWithScale(double scale, bool alias, bool transparent = false);

  const std::string& lastError() const { return lastError_; }

 private:
  enum class Bitmap { PNG, PNGAlpha, TIFF, TIFFAlpha, JPEG, JPEG2000 };
  bool saveBitmap(const std::string& path, Bitmap form, double quality, double scale, bool alias);
  std::shared_ptr<KRDrawingGroup> graphicFor(const char* destination);
  bool write(const std::string& path, const std::vector<std::uint8_t>& bytes, const char* form);
  bool fail(const std::string& message);

  std::shared_ptr<KRDrawingGroup> graphic_;
  KRSize size_;
  std::shared_ptr<KRDrawingSource> source_;
  std::optional<KRSize> frame_;
  std::string lastError_;
};

// Reads a drawing description file as saveMVGInto writes it: the drawing
// and its size; none, with the reason in error, when it cannot be read.
struct KRDrawingDescriptionFile {
  std::shared_ptr<KRDrawingGroup> graphic;
  KRSize size;
};
std::optional<KRDrawingDescriptionFile> readMVGFile(const std::string& path, std::string* error = nullptr);
// The same from the bytes of a property list.
std::optional<KRDrawingDescriptionFile> drawingFromMVGData(std::string_view bytes, std::string* error = nullptr);

}  // namespace orrelin
