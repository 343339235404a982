#pragma once
// The export settings: the output form (a tag from the format menu), the
// JPEG quality, the resolution as a formula and whether a PDF may keep its
// transparency. They are kept in the user defaults, so an export starts
// from the last one's settings.

#include <optional>
#include <string>

namespace orrelin {

class VKDrawingView;

class VKExportAccessory {
 public:
  // The format menu's tags.
  enum Format : int {
    PDF = 1,
    EPS = 2,
    MVG = 3,
    PNG = 4,
    TIFFOpaque = 5,
    TIFFAlpha = 6,
    JPEG = 7,
    SVG = 8,
    PNGAlpha = 9,
    EPSWithPreview = 10,
  };

  // The user-default keys.
  static constexpr const char* kFormatKey = "Export Format";
  static constexpr const char* kQualityKey = "Export Quality";
  static constexpr const char* kDPIKey = "Export DPI";
  static constexpr const char* kTransparencyKey = "Allow PDF Transparency";

  // The file ending the format's files get ("pdf", "tiff", ...); none for
  // a tag that is not in the menu.
  static std::optional<std::string> fileEnding(int tag);
  // Pixels per point for a resolution text: the formula's value divided by
  // 72; 1 when it is not a finite positive number or gives a scale above 500.
  static double scaleForDPI(const std::string& dpiText);

  // The settings as the user defaults hold them (PDF, quality 0.8, 72 dpi
  // and no transparency when nothing is stored).
  static VKExportAccessory fromUserDefaults();
  void saveToUserDefaults() const;

  int format = PDF;
  double quality = 0.8;
  std::string dpi = "72";
  bool allowPDFTransparency = false;
  bool antialias = true;

  // Runs the writer of the format; false (with the view's reason) when
  // nothing was written.
  bool exportDrawing(VKDrawingView& view, const std::string& path) const;
};

}  // namespace orrelin
