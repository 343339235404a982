// Draws one cell for every construct of math text, with its markup
// underneath, and writes the page as a PNG:
//
//   build-bench/bin/math_text_example examples/math-text.png

#include <cstdio>
#include <string>
#include <vector>

#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingText.h"
#include "mathtext/KRDrawingExpressionText.h"

using namespace orrelin;

namespace {

constexpr double kCellWidth = 250, kCellHeight = 120, kCaption = 22;
constexpr int kColumns = 4;

struct Cell {
  const char* markup;
  double rotation = 0;
  bool boxed = false;
};

const std::vector<Cell> kCells = {
    {"x^2 + y_{ij} - a_ij"},
    {"1.5\\times10^{-3}"},
    {"e^{-x^2/2},  x_1^2"},
    {"\\frac{1}{2} + \\frac{a+b}{\\sqrt{c}}"},
    {"\\sqrt{x} + \\sqrt[3]{x^2+1}"},
    {"\\sqrt{\\frac{\\alpha}{\\beta}}"},
    {"\\sum_{i=1}^{n} x_i^2"},
    {"\\prod_{k} p_k \\int_0^1 f"},
    {"\\bigcap_{i} A_i \\bigcup_j B_j"},
    {"\\lim_{x\\to0} \\frac{\\sin x}{x}"},
    {"\\liminf_{n} a_n \\limsup_{n} b_n"},
    {"\\log_{10} x, \\exp y, \\det M"},
    {"a \\to b \\gets c \\Leftrightarrow d \\mapsto e"},
    {"\\longrightarrow \\Uparrow \\nearrow \\leadsto"},
    {"\\overline{AB} \\underline{cd} \\uuline{ef}"},
    {"\\overbrace{a+b+c} \\underbrace{x+y}"},
    {"\\vec{v} \\hat{a} \\tilde{n} \\sout{old}"},
    {"\\red red \\green green \\blue blue"},
    {"\\it italic \\bf bold \\rm plain"},
    {"\\alpha\\beta\\Omega \\infty\\pm\\nabla\\oplus\\cdots"},
    {"\\{x\\} {x \\foo x^"},
    {"E = mc^2", 30},
    {"T_{max} = 25\\degree C\n\\frac{dT}{dt} < 0", 0, true},
    {"\\bbR^n \\subset \\bbC^n \\euro 5"},
};

// The caption shows the markup itself: its backslashes are drawn as the
// reverse solidus operator, which the plain text leaves alone.
std::string captionOf(const std::string& markup) {
  std::string caption;
  for (char c : markup) {
    if (c == '\\') caption += "\u29F5";
    else if (c == '\n') caption += " \u21B5 ";
    else caption += c;
  }
  return caption;
}

}  // namespace

int main(int argc, char** argv) {
  const char* output = argc > 1 ? argv[1] : "math-text.png";
  int rows = static_cast<int>((kCells.size() + kColumns - 1) / kColumns);
  double width = kColumns * kCellWidth, height = rows * kCellHeight;
  auto page = KRDrawingGroup::createWithCapacity(static_cast<int>(kCells.size()) * 3);
  auto frameStyle = KRDrawingStyleCurve::createWithColor(KRColor::grey(0.8), 0.5);
  auto textStyle = KRDrawingStyleFont::styleWithFont("DejaVu Serif", 20, KRColor::rgb(0.1, 0.15, 0.35));
  auto captionStyle = KRDrawingStyleFont::styleWithFont("DejaVu Sans Mono", 7.5, KRColor::grey(0.35));
  for (std::size_t i = 0; i < kCells.size(); ++i) {
    double x = (i % kColumns) * kCellWidth, y = height - (i / kColumns + 1) * kCellHeight;
    auto frame = KRDrawingPathRectangle::createWithRect({x + 2, y + 2, kCellWidth - 4, kCellHeight - 4});
    frame->setStyle(frameStyle);
    page->addObject(frame);
    const Cell& cell = kCells[i];
    KRPoint centre{x + kCellWidth / 2, y + kCaption + (kCellHeight - kCaption) / 2};
    auto text = KRDrawingExpressionText::multiLineString(
        cell.markup, centre, textStyle, cell.boxed ? std::optional<KRColor>(KRColor::rgb(1, 0.95, 0.75)) : std::nullopt,
        KRDrawingExpressionText::Center, KRDrawingExpressionText::Center, KRDrawingExpressionText::VCenter,
        cell.rotation, std::nullopt);
    page->addObject(text);
    page->addObject(KRDrawingText::string(captionOf(cell.markup), {x + kCellWidth / 2, y + 8}, captionStyle,
                                          KRDrawingText::Center, KRDrawingText::Bottom));
  }
  KRRenderOptions options;
  options.scale = 2;
  options.background = KRColor::white();
  std::string error;
  if (!writePNG(*page, {0, 0, width, height}, output, options, &error)) {
    std::fprintf(stderr, "math_text_example: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
