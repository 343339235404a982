#include "drawing/writers/VKExportAccessory.h"

#include <cmath>

#include "drawing/writers/VKDrawingView.h"
#include "drawing/writers/WriterMessages.h"
#include "expression/KRExpression.h"
#include "platform/KRMessageCenter.h"
#include "platform/UserDefaults.h"

namespace orrelin {

namespace {

constexpr double kMaximumScale = 500;

}  // namespace

std::optional<std::string> VKExportAccessory::fileEnding(int tag) {
  switch (tag) {
    case PDF: return "pdf";
    case EPS:
    case EPSWithPreview: return "eps";
    case MVG: return "mvg";
    case PNG:
    case PNGAlpha: return "png";
    case TIFFOpaque:
    case TIFFAlpha: return "tiff";
    case JPEG: return "jpg";
    case SVG: return "svg";
    default: return std::nullopt;
  }
}

double VKExportAccessory::scaleForDPI(const std::string& dpiText) {
  auto dpi = KRExpression::evaluateNumberFromString(dpiText);
  if (!dpi || !std::isfinite(*dpi) || *dpi <= 0) return 1;
  double scale = *dpi / 72;
  return scale > kMaximumScale ? 1 : scale;
}

VKExportAccessory VKExportAccessory::fromUserDefaults() {
  const UserDefaults& defaults = UserDefaults::standard();
  VKExportAccessory settings;
  if (auto tag = defaults.objectForKey(kFormatKey); tag && tag->isInteger() && fileEnding(static_cast<int>(tag->integer())))
    settings.format = static_cast<int>(tag->integer());
  if (auto quality = defaults.objectForKey(kQualityKey); quality && quality->isNumber())
    settings.quality = quality->real();
  if (auto dpi = defaults.objectForKey(kDPIKey); dpi && dpi->isString()) settings.dpi = dpi->string();
  if (auto allow = defaults.objectForKey(kTransparencyKey); allow && allow->isBoolean())
    settings.allowPDFTransparency = allow->boolean();
  return settings;
}

void VKExportAccessory::saveToUserDefaults() const {
  UserDefaults& defaults = UserDefaults::standard();
  defaults.setInteger(kFormatKey, format);
  defaults.setObject(kQualityKey, PropertyList(quality));
  defaults.setObject(kDPIKey, PropertyList(dpi));
  defaults.setObject(kTransparencyKey, PropertyList(allowPDFTransparency));
}

bool VKExportAccessory::exportDrawing(VKDrawingView& view, const std::string& path) const {
  double scale = scaleForDPI(dpi);
  switch (format) {
    case PDF: return view.savePDFInto(path, allowPDFTransparency);
    case EPS: return view.saveEPSInto(path);
    case MVG: return view.saveMVGInto(path);
    case PNG: return view.savePNGInto(path, scale, antialias);
    case TIFFOpaque: return view.saveTIFFOpaqueInto(path, scale, antialias);
    case TIFFAlpha: return view.saveTIFFAlphaInto(path, scale, antialias);
    case JPEG: return view.saveJPGInto(path, quality, scale, antialias);
    case SVG: return view.saveSVGInto(path);
    case PNGAlpha: return view.savePNGWithAlphaInto(path, scale, antialias);
    case EPSWithPreview: return view.saveEPSWithPreviewInto(path);
    default: break;
  }
  char message[96];
  std::snprintf(message, sizeof message, writer_messages::kUnknownExportFormat, format);
  KRMessageCenter::addMessage(message);
  return false;
}

}  // namespace orrelin
