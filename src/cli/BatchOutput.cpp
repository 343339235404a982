#include "cli/BatchOutput.h"

#include <cxxabi.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <typeinfo>
#include <utility>

#include "cli/OutputEndings.h"
#include "drawing/writers/KRDrawingSource.h"
#include "drawing/writers/VKDrawingView.h"
#include "drawing/writers/VKQuickTimeController.h"
#include "expression/KRExpression.h"
#include "platform/KRMessageCenter.h"
#include "platform/Paths.h"
#include "platform/TextEncoding.h"

namespace orrelin {

namespace {

constexpr double kMaximumScale = 500;
constexpr double kDefaultJPEGQuality = 0.8;
// The page a graph without a size of its own is drawn on.
constexpr double kFallbackWidth = 400;
constexpr double kFallbackHeight = 200;

// The start of text after blanks and an optional sign, and whether the
// sign was a minus.
std::string_view numberPart(std::string_view text, bool& negative) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  return text.substr(at);
}

// An exception that escaped a drawing pass, reported as the drawing passes
// report theirs: its class and its reason.
void reportDrawingException(const std::exception& exception) {
  int status = 0;
  char* readable = abi::__cxa_demangle(typeid(exception).name(), nullptr, nullptr, &status);
  std::string name = status == 0 && readable ? readable : typeid(exception).name();
  std::free(readable);
  KRMessageCenter::addMessage("Error when computing drawing content\n" + name + " : " + exception.what());
}

std::string unreadableTemplateMessage(const CommandLineRequest& request) {
  return "orrel: The Orrelin file \"" + request.scriptPath.value_or("") + "\" could not be read";
}

// A document that is closed when the step ends, however it ends.
class Closing {
 public:
  explicit Closing(BatchDocument& document) : document_(document) {}
  ~Closing() { document_.disconnectBeforeClosing(); }
  Closing(const Closing&) = delete;
  Closing& operator=(const Closing&) = delete;

 private:
  BatchDocument& document_;
};

void writeMovie(const CommandLineRequest& request, const std::string& outputPath, BatchDocument& document,
                bool alpha) {
  KRAnimationTarget& animation = document.animation();
  animation.setAnimationRange(request.switchValue("range"));
  animation.setAnimationDurationText(request.switchValue("duration"));
  VKQuickTimeController& movie = document.quickTimeController();
  if (auto fps = request.switchValue("fps")) {
    int rate = batchIntegerValue(*fps);
    if (rate >= VKQuickTimeController::kMinimumFPS && rate <= VKQuickTimeController::kMaximumFPS) movie.setFPS(rate);
  }
  if (auto codec = VKQuickTimeController::codecFromSwitches(request.switchValue("qt"), request.switchValue("qtquality")))
    movie.setCodec(*codec);
  movie.setTransparency(alpha);
  // The controller reports its own failures.
  movie.createMovie(outputPath, document.currentGraph(), animation);
}

void writeDocument(const std::string& outputPath, BatchDocument& document) {
  std::string error;
  if (!document.writeToURL(outputPath, &error))
    KRMessageCenter::addMessage("Could not save the document \"" + outputPath + "\": " + error);
}

// The graph as the writer sees it. The drawing the run made to learn that
// there is one was made for the writer's destination and page, and is
// handed to the writer when it asks for exactly that, so a graph of a
// million points is laid out once and not twice; any other request (an
// EPS preview, say) builds afresh.
class DrawingMadeAhead : public KRDrawingSource {
 public:
  DrawingMadeAhead(KRDrawingSource& graph, std::string destination, KRSize size,
                   std::shared_ptr<KRDrawingGroup> drawing)
      : graph_(graph), destination_(std::move(destination)), size_(size), drawing_(std::move(drawing)) {}

  KRSize drawingSize() const override { return graph_.drawingSize(); }
  std::shared_ptr<KRDrawingGroup> createGraphic(const std::string& destination, KRSize size) override {
    if (drawing_ && destination == destination_ && size == size_) return std::exchange(drawing_, nullptr);
    return graph_.createGraphic(destination, size);
  }

 private:
  KRDrawingSource& graph_;
  std::string destination_;
  KRSize size_;
  std::shared_ptr<KRDrawingGroup> drawing_;
};

// The drawing in a form other than a movie or a document. The view's
// writers report their own failures.
void writeDrawing(OutputKind kind, const std::string& outputPath, KRDrawingSource& graph, KRSize size,
                  const BatchOutputOptions& options) {
  VKDrawingView view;
  view.setDrawingSource(std::shared_ptr<KRDrawingSource>(&graph, [](KRDrawingSource*) {}), size);
  switch (kind) {
    case OutputKind::PDF: view.savePDFInto(outputPath, true); break;
    case OutputKind::EPS: view.saveEPSInto(outputPath); break;
    case OutputKind::SVG: view.saveSVGInto(outputPath); break;
    case OutputKind::DrawingDescription: view.saveMVGInto(outputPath); break;
    case OutputKind::PNG:
      if (options.alpha)
        view.savePNGWithAlphaInto(outputPath, options.scale, options.antialias);
      else
        view.savePNGInto(outputPath, options.scale, options.antialias);
      break;
    case OutputKind::JPEG: view.saveJPGInto(outputPath, options.jpegQuality, options.scale, options.antialias); break;
    case OutputKind::TIFF:
      if (options.alpha)
        view.saveTIFFAlphaInto(outputPath, options.scale, options.antialias);
      else
        view.saveTIFFOpaqueInto(outputPath, options.scale, options.antialias);
      break;
    case OutputKind::Document:
    case OutputKind::Movie: break;
  }
}

}  // namespace

int batchIntegerValue(const std::string& text) {
  bool negative;
  std::string_view digits = numberPart(text, negative);
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

double batchDoubleValue(const std::string& text) {
  bool negative;
  std::string_view number = numberPart(text, negative);
  double value = 0;
  auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc()) value = 0;
  return negative ? -value : value;
}

double batchBitmapScale(const std::optional<std::string>& dpiText) {
  if (!dpiText) return 1;
  auto dpi = KRExpression::evaluateNumberFromString(*dpiText);
  if (!dpi || !std::isfinite(*dpi)) return 1;
  double scale = *dpi / 72;
  if (scale <= 0) return 1;
  return std::min(scale, kMaximumScale);
}

BatchOutputOptions BatchOutputOptions::fromRequest(const CommandLineRequest& request) {
  BatchOutputOptions options;
  if (auto alpha = request.switchValue("alpha")) options.alpha = alpha->empty() || equalsIgnoringAsciiCase(*alpha, "yes");
  options.scale = batchBitmapScale(request.switchValue("dpi"));
  options.antialias = !request.hasSwitch("nosmoothing");
  auto quality = request.switchValue("quality");
  options.jpegQuality = quality ? batchDoubleValue(*quality) : kDefaultJPEGQuality;
  return options;
}

int writeBatchOutput(const CommandLineRequest& request, const std::string& outputPath, BatchDocument* document,
                     ToolContext& context) {
  const auto ending = outputEndingFor(pathExtension(outputPath));
  if (!document) {
    // Nothing can be drawn, saved or animated without the template.
    context.out << convertToMacOSRoman(unreadableTemplateMessage(request)) << '\n';
    return -2;
  }
  Closing closing(*document);
  if (!ending) return 0;
  const BatchOutputOptions options = BatchOutputOptions::fromRequest(request);

  // Exceptions stop here: the document is still closed and the tool ends
  // normally with what was written.
  try {
    if (ending->kind == OutputKind::Movie) {
      writeMovie(request, outputPath, *document, options.alpha);
      return 0;
    }
    if (ending->kind == OutputKind::Document) {
      writeDocument(outputPath, *document);
      return 0;
    }

    KRDrawingSource& graph = document->currentGraph();
    KRSize size = graph.drawingSize();
    // A side that is not a positive number (none was set, or the size was
    // overridden with something unusable) gets the fallback.
    if (!(size.height > 0 && std::isfinite(size.height))) size.height = kFallbackHeight;
    if (!(size.width > 0 && std::isfinite(size.width))) size.width = kFallbackWidth;
    // The drawing is made for the form it is written in, and the writer
    // takes it from here.
    std::shared_ptr<KRDrawingGroup> drawing;
    try {
      drawing = graph.createGraphic(ending->destination, size);
    } catch (const std::exception& exception) {
      reportDrawingException(exception);
    }
    if (!drawing) {
      KRMessageCenter::addMessage("The graph gives no drawing; nothing was written to \"" + outputPath + "\".");
      return -2;
    }
    DrawingMadeAhead ahead(graph, ending->destination, size, std::move(drawing));
    writeDrawing(ending->kind, outputPath, ahead, size, options);
  } catch (const std::exception& exception) {
    reportDrawingException(exception);
  }
  return 0;
}

}  // namespace orrelin
