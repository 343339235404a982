// Draws one cell for every kind of drawing object of the display list, with
// its class name underneath, and writes the page as a PNG:
//
//   build-bench/bin/display_list_example examples/display-list.png

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "drawing/KRDrawingBitmap.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingGradient.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingInfo.h"
#include "drawing/KRDrawingLayer.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingRepeated.h"
#include "drawing/KRDrawingText.h"
#include "drawing/KRDrawingTwoColorNoise.h"

using namespace orrelin;

namespace {

constexpr double kCellWidth = 220, kCellHeight = 170, kCaption = 28;
constexpr int kColumns = 4;

const KRColor kInk = KRColor::rgb(0.1, 0.15, 0.35);
const KRColor kRed = KRColor::rgb(0.85, 0.15, 0.1);
const KRColor kGreen = KRColor::rgb(0.1, 0.6, 0.25);
const KRColor kBlue = KRColor::rgb(0.15, 0.35, 0.85);
const KRColor kGold = KRColor::rgb(0.95, 0.7, 0.1);

std::shared_ptr<KRDrawingStyleCurve> stroke(const KRColor& color, double width) {
  return KRDrawingStyleCurve::createWithColor(color, width);
}
std::shared_ptr<KRDrawingStyleCurve> fill(const KRColor& color) { return KRDrawingStyleCurve::color(color, true); }

template <class Path>
std::shared_ptr<Path> styled(std::shared_ptr<Path> path, std::shared_ptr<KRDrawingStyleCurve> style) {
  path->setStyle(std::move(style));
  return path;
}

std::shared_ptr<KRFloatArrayContainer> floats(int rows, const std::vector<float>& values) {
  auto array = KRFloatArrayContainer::createArrayOfSizeM(rows, static_cast<long>(values.size()) / rows);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

std::shared_ptr<KRDoubleArrayContainer> doubles(int rows, const std::vector<double>& values) {
  auto array = KRDoubleArrayContainer::createArrayOfSizeM(rows, static_cast<long>(values.size()) / rows);
  std::copy(values.begin(), values.end(), array->mutablePointer());
  return array;
}

std::shared_ptr<KRDrawingText> label(const std::string& text, KRPoint at, double size, unsigned alignment = 2,
                                     int vAlignment = 1, double rotation = 0, const KRColor& color = kInk) {
  return KRDrawingText::string(text, at, KRDrawingStyleFont::styleWithFont("DejaVu Sans", size, color), alignment,
                               vAlignment, rotation);
}

// ---------------------------------------------------------------- the cells
// Each draws into (0, 0, 220, 142) above its caption.

std::shared_ptr<KRDrawingGroup> rectangles() {
  auto g = KRDrawingGroup::create();
  g->addObject(styled(KRDrawingPathRectangle::createWithRect({20, 20, 90, 70}), fill(kGold)));
  auto dashed = stroke(kInk, 2.5);
  float dashes[] = {8, 4};
  dashed->setDashPattern(dashes, 2, 0);
  g->addObject(styled(KRDrawingPathRectangle::createWithRect({70, 50, 120, 75}), dashed));
  return g;
}

std::shared_ptr<KRDrawingGroup> circles() {
  auto g = KRDrawingGroup::create();
  auto disc = KRDrawingPathCircle::createWithCenter({75, 70}, 45);
  disc->setStyle(fill(kBlue.withAlpha(0.8)));
  g->addObject(disc);
  g->addObject(styled(KRDrawingPathCircle::createWithCenter({140, 70}, 45), stroke(kRed, 5)));
  return g;
}

std::shared_ptr<KRDrawingGroup> bezierPaths() {
  auto g = KRDrawingGroup::create();
  g->addObject(styled(KRDrawingPath::roundedRectangle({20, 20, 120, 100}, 22), fill(kGreen)));
  auto line = KRDrawingPath::singleLineFrom({40, 130}, {200, 30});
  auto style = stroke(kInk, 9);
  style->changeLineCap(KRLineCap::Round);
  style->setSingleDashSolid(0.1f, 16);
  line->setStyle(style);
  g->addObject(line);
  return g;
}

std::shared_ptr<KRDrawingGroup> platformPath() {
  // A heart of quadratic curves.
  auto path = std::make_shared<KRBezierPath>();
  path->moveTo({110, 20});
  path->quadCurveTo({20, 80}, {60, 120});
  path->quadCurveTo({95, 140}, {110, 105});
  path->quadCurveTo({125, 140}, {160, 120});
  path->quadCurveTo({200, 80}, {110, 20});
  path->closePath();
  auto g = KRDrawingGroup::create();
  g->addObject(styled(KRDrawingPathFromCGPath::createWithCGPath(path), fill(kRed)));
  g->addObject(styled(KRDrawingPathFromCGPath::createWithCGPath(path), stroke(kInk, 2)));
  return g;
}

std::shared_ptr<KRDrawingGroup> pathCollection() {
  // Two loops running opposite ways, filled as one path: a frame.
  auto outer = std::make_shared<KRBezierPath>();
  outer->appendRect({30, 15, 160, 115});
  auto inner = std::make_shared<KRBezierPath>();
  inner->appendArc({110, 72}, 38, 0, -2 * M_PI, true);
  inner->closePath();
  auto collection = KRDrawingPathCollection::create({KRDrawingPathBezier::withPath(outer), KRDrawingPathBezier::withPath(inner)});
  collection->setStyle(fill(kBlue));
  auto g = KRDrawingGroup::createWithDrawingObject(collection);
  g->addObject(label("hole", {110, 72}, 12));
  return g;
}

std::shared_ptr<KRDrawingGroup> pathFromObject() {
  // A curve from data mapped by a graph's record, open, and a closed loop.
  KR1DPlotDrawingInfo info;
  info.setXLinearShift(15 / (190 / (4 * M_PI)), 190 / (4 * M_PI));
  info.setYLinearShift(1.2, 45);
  std::vector<KRPoint> curve;
  for (int i = 0; i <= 200; ++i) {
    double x = 4 * M_PI * i / 200;
    curve.push_back(info.transform({x, std::sin(x) * std::exp(-x / 8)}));
  }
  auto open = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops({curve}));
  open->setStyle(stroke(kBlue, 2));
  open->setXLinear(info.xIsLinear, info.shiftX, info.scaleX, info.yIsLinear, info.shiftY, info.scaleY);
  auto closed = KRDrawingPathFromObj::createFromPath(
      KRContainerPath2D::createWithLoops({{{150, 110}, {200, 110}, {175, 140}, {150, 110}}}));
  auto lineJoin = stroke(kRed, 5);
  lineJoin->changeLineJoin(KRLineJoin::Round);
  closed->setStyle(lineJoin);
  auto g = KRDrawingGroup::createWithDrawingObject(open);
  g->addObject(closed);
  return g;
}

std::shared_ptr<KRDrawingGroup> circleCollection() {
  std::vector<float> xyr;
  for (int i = 0; i < 60; ++i) {
    double t = i / 60.0;
    xyr.insert(xyr.end(), {static_cast<float>(15 + 120 * t), static_cast<float>(20 + 100 * t * t + 8 * std::sin(i * 1.7)),
                           static_cast<float>(2 + 3 * std::fabs(std::sin(i * 0.9)))});
  }
  auto markers = KRDrawingPathCircleCollection::createFromArray(floats(3, xyr));
  markers->setStyle(fill(kGreen));
  // A negative radius inside a positive one cuts a hole: a ring.
  auto ring = KRDrawingPathCircleCollection::createFromArray(floats(3, {175, 60, 35, 175, 60, -20}));
  ring->setStyle(fill(kRed));
  auto g = KRDrawingGroup::createWithDrawingObject(markers);
  g->addObject(ring);
  return g;
}

std::shared_ptr<KRDrawingGroup> lineCollection() {
  std::vector<float> lines, colours;
  for (int i = 0; i < 24; ++i) {
    double a = M_PI * i / 23;
    lines.insert(lines.end(), {110, 15, static_cast<float>(110 + 100 * std::cos(a)), static_cast<float>(15 + 115 * std::sin(a))});
    colours.insert(colours.end(), {static_cast<float>(0.5 + 0.5 * std::cos(a)), static_cast<float>(0.3 + 0.5 * std::sin(a)),
                                   static_cast<float>(0.5 - 0.5 * std::cos(a))});
  }
  auto fan = KRDrawingPathLineCollection::createLines(floats(4, lines), floats(3, colours));
  fan->setStyle(stroke(KRColor::black(), 3));
  return KRDrawingGroup::createWithDrawingObject(fan);
}

std::shared_ptr<KRDrawingGroup> cubicBezier() {
  // One piece: a start and two cubic curves; then a straight piece.
  auto curve = KRDrawingCubicBezier::createWithArray(doubles(2, {0, 7, 15, 30, 40, 140, 90, 140, 105, 75, 120, 10,
                                                                170, 10, 205, 110,  //
                                                                0, 2, 15, 20, 205, 20}));
  curve->setStyle(stroke(kRed, 3));
  auto controls = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops(
      {{{15, 30}, {40, 140}, {90, 140}, {105, 75}, {120, 10}, {170, 10}, {205, 110}}}));
  auto thin = stroke(KRColor::grey(0.5), 0.75);
  thin->setSingleDashSolid(3, 3);
  controls->setStyle(thin);
  auto g = KRDrawingGroup::createWithDrawingObject(controls);
  g->addObject(curve);
  return g;
}

std::shared_ptr<KRDrawingGroup> texts() {
  auto g = KRDrawingGroup::create();
  auto scripts = label("x_{12}^2 + \\alpha\\beta \\le \\infty", {110, 110}, 17);
  scripts->setDrawSubscriptSuperscript(true);
  g->addObject(scripts);
  g->addObject(label("10 \\degreeC, 5 \\euro, \\bbR", {110, 75}, 14, 2, 1, 0, kBlue));
  g->addObject(label("rotated", {30, 25}, 13, 0, 2, 30, kRed));
  // The anchor point of a right-aligned text, aligned on its capitals.
  g->addObject(styled(KRDrawingPathCircle::createWithCenter({150, 35}, 2), fill(kRed)));
  g->addObject(label("TopLetters", {150, 35}, 11, 1, 3));
  return g;
}

std::shared_ptr<KRDrawingGroup> bitmap() {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      bool dark = (x + y) % 2 == 0;
      rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(dark ? 60 : 200),
                               static_cast<std::uint8_t>(y * 20), 255});
    }
  auto image = KRImage::createFromRGBA(16, 12, rgba.data(), 16 * 4);
  auto sharp = KRDrawingBitmap::createCG(image, {15, 20, 110, 82});
  sharp->setInterpolation(KRInterpolation::None);
  auto smooth = KRDrawingBitmap::createCG(image, {135, 40, 72, 54});
  smooth->setInterpolation(KRInterpolation::High);
  auto g = KRDrawingGroup::createWithDrawingObject(sharp);
  g->addObject(smooth);
  return g;
}

std::shared_ptr<KRDrawingGroup> pdfPage() {
  // A page made by the display list itself, read back and drawn as vectors.
  auto star = std::make_shared<KRBezierPath>();
  for (int i = 0; i < 10; ++i) {
    double r = i % 2 ? 20 : 48, a = M_PI / 2 + i * M_PI / 5;
    KRPoint p{50 + r * std::cos(a), 50 + r * std::sin(a)};
    i == 0 ? star->moveTo(p) : star->lineTo(p);
  }
  star->closePath();
  auto page = KRDrawingGroup::create();
  page->addObject(styled(KRDrawingPathRectangle::createWithRect({1, 1, 98, 98}), stroke(kInk, 1)));
  page->addObject(styled(KRDrawingPathBezier::withPath(star), fill(kGold)));
  auto document = KRPDFDocument::createWithData(renderToPDF(*page, {0, 0, 100, 100}));
  auto g = KRDrawingGroup::createWithDrawingObject(KRDrawingPDF::createWithPDF(document, {15, 15, 110, 110}));
  g->addObject(KRDrawingPDF::createWithPDF(document, {140, 60, 55, 55}));
  return g;
}

std::shared_ptr<KRDrawingGroup> repeated() {
  auto stencil = KRDrawingGroup::create();
  auto diamond = std::make_shared<KRBezierPath>();
  diamond->moveTo({6, 0});
  diamond->lineTo({12, 6});
  diamond->lineTo({6, 12});
  diamond->lineTo({0, 6});
  diamond->closePath();
  stencil->addObject(styled(KRDrawingPathBezier::withPath(diamond), fill(kBlue)));
  stencil->addObject(styled(KRDrawingPathBezier::withPath(diamond), stroke(KRColor::white(), 1)));
  std::vector<float> offsets;
  for (int i = 0; i < 40; ++i) {
    double t = i / 39.0;
    offsets.insert(offsets.end(), {static_cast<float>(15 + 190 * t), static_cast<float>(70 + 50 * std::sin(t * 2 * M_PI))});
  }
  return KRDrawingGroup::createWithDrawingObject(KRDrawingRepeated::drawing(stencil, {12, 12}, {6, 6}, floats(2, offsets)));
}

std::shared_ptr<KRDrawingGroup> gradient() {
  auto colours = doubles(4, {0, 0.15, 0.35, 0.85, 0.5, 0.95, 0.95, 0.95, 1, 0.85, 0.15, 0.1});
  auto g = KRDrawingGroup::createWithDrawingObject(
      KRDrawingGradient::createWithColors(colours, "NSDeviceRGBColorSpace", {15, 0}, {205, 0}, {15, 80, 190, 50}));
  auto fading = doubles(5, {0, 0.1, 0.6, 0.25, 1, 1, 0.1, 0.6, 0.25, 0});
  g->addObject(KRDrawingGradient::createWithColors(fading, "NSDeviceRGBColorSpace", {0, 70}, {0, 15}, {15, 15, 190, 55}));
  g->addObject(label("fades to transparent", {110, 40}, 11));
  return g;
}

std::shared_ptr<KRDrawingGroup> noise() {
  auto g = KRDrawingGroup::createWithDrawingObject(KRDrawingTwoColorNoise::createInsideRectangle(
      {15, 15, 120, 110}, kGreen, KRColor::rgb(0.95, 0.92, 0.8), 0.5, 18, 1.5, {0, 0}));
  g->addObject(KRDrawingTwoColorNoise::createInsideRectangle({145, 15, 60, 110}, kInk, kGold, 0.3, 6, 3, {0, 0}));
  return g;
}

std::shared_ptr<KRDrawingGroup> groups() {
  // Rotated, half transparent, shadowed and cropped by a circle.
  auto inner = KRDrawingGroup::create();
  inner->addObject(styled(KRDrawingPathRectangle::createWithRect({40, 30, 80, 80}), fill(kRed)));
  inner->addObject(styled(KRDrawingPathRectangle::createWithRect({90, 50, 80, 60}), fill(kBlue)));
  inner->rotateAround({105, 70}, 0.35);
  inner->setAlpha(0.6f);
  inner->setShadowWithOffset({5, -5}, 4);
  auto outer = KRDrawingGroup::createWithDrawingObject(inner);
  outer->setCrop(KRDrawingPathCircle::createWithCenter({110, 72}, 62));
  auto g = KRDrawingGroup::createWithDrawingObject(outer);
  g->addObject(styled(KRDrawingPathCircle::createWithCenter({110, 72}, 62), stroke(kInk, 1)));
  return g;
}

std::shared_ptr<KRDrawingGroup> alphaInAlpha() {
  auto inner = KRDrawingGroup::createWithDrawingObject(styled(KRDrawingPathRectangle::createWithRect({90, 30, 100, 80}), fill(kInk)));
  inner->setAlpha(0.5f);
  auto outer = KRDrawingGroup::createWithDrawingObject(styled(KRDrawingPathRectangle::createWithRect({30, 50, 100, 80}), fill(kInk)));
  outer->addObject(inner);
  outer->setAlpha(0.5f);
  auto g = KRDrawingGroup::createWithDrawingObject(outer);
  g->addObject(label("0.5", {60, 90}, 12, 2, 1, 0, KRColor::white()));
  g->addObject(label("0.5 x 0.5", {160, 70}, 12));
  return g;
}

std::shared_ptr<KRDrawingGroup> layer() {
  auto content = KRDrawingGroup::create();
  content->addObject(styled(KRDrawingPathCircle::createWithCenter({50, 50}, 40), fill(kGold)));
  content->addObject(label("A", {50, 50}, 44, 2, 1));
  auto fine = KRDrawingLayer::createFromDrawing(content, {100, 100});
  auto coarseContent = content->copyGroup();
  coarseContent->setShiftBy({105, 0});
  auto coarse = KRDrawingLayer::createFromDrawing(coarseContent, {16, 16});
  auto g = KRDrawingGroup::createWithDrawingObject(fine);
  g->addObject(coarse);
  g->setShiftBy({5, 30});
  return g;
}

std::shared_ptr<KRDrawingGroup> lineStyles() {
  auto g = KRDrawingGroup::create();
  double y = 125;
  for (auto [cap, join, name] : {std::tuple{KRLineCap::Butt, KRLineJoin::Miter, "butt, miter"},
                                 std::tuple{KRLineCap::Round, KRLineJoin::Round, "round, round"},
                                 std::tuple{KRLineCap::Square, KRLineJoin::Bevel, "square, bevel"}}) {
    auto path = KRDrawingPathFromObj::createFromPath(
        KRContainerPath2D::createWithLoops({{{25, y - 25}, {60, y}, {95, y - 25}}}));
    auto style = stroke(kInk, 10);
    style->changeLineCap(cap);
    style->changeLineJoin(join);
    path->setStyle(style);
    g->addObject(path);
    g->addObject(label(name, {110, y - 12}, 11, 0, 1));
    y -= 42;
  }
  return g;
}

struct Cell {
  const char* name;
  std::function<std::shared_ptr<KRDrawingGroup>()> make;
};

}  // namespace

int main(int argc, char** argv) {
  std::string output = argc > 1 ? argv[1] : "examples/display-list.png";
  std::vector<Cell> cells = {
      {"KRDrawingPathRectangle", rectangles},     {"KRDrawingPathCircle", circles},
      {"KRDrawingPathBezier", bezierPaths},       {"KRDrawingPathFromCGPath", platformPath},
      {"KRDrawingPathCollection", pathCollection}, {"KRDrawingPathFromObj", pathFromObject},
      {"KRDrawingPathCircleCollection", circleCollection}, {"KRDrawingPathLineCollection", lineCollection},
      {"KRDrawingCubicBezier", cubicBezier},      {"KRDrawingText", texts},
      {"KRDrawingBitmap", bitmap},                {"KRDrawingPDF", pdfPage},
      {"KRDrawingRepeated", repeated},            {"KRDrawingGradient", gradient},
      {"KRDrawingTwoColorNoise", noise},          {"KRDrawingGroup: turned, shadow, crop", groups},
      {"KRDrawingGroup: alpha inside alpha", alphaInAlpha}, {"KRDrawingLayer: 100 and 16 pixels", layer},
      {"KRDrawingStyleCurve: caps, joins", lineStyles},
  };
  int rows = static_cast<int>((cells.size() + kColumns - 1) / kColumns);
  double width = kColumns * kCellWidth, height = rows * kCellHeight + 40;
  auto page = KRDrawingGroup::create();
  page->addObject(label("The display list: one cell per kind of drawing object", {width / 2, height - 20}, 16, 2, 1));
  for (std::size_t i = 0; i < cells.size(); ++i) {
    double x = static_cast<double>(i % kColumns) * kCellWidth;
    double y = height - 40 - static_cast<double>(i / kColumns + 1) * kCellHeight;
    auto frame = KRDrawingPathRectangle::createWithRect({x + 4, y + 4, kCellWidth - 8, kCellHeight - 8});
    frame->setStyle(stroke(KRColor::grey(0.75), 1));
    page->addObject(frame);
    auto content = cells[i].make();
    auto placed = KRDrawingGroup::createWithDrawingObject(content);
    placed->setShiftBy({x, y + kCaption - 8});
    placed->setCrop(KRDrawingPathRectangle::createWithRect({0, 0, kCellWidth, kCellHeight - kCaption + 4}));
    page->addObject(placed);
    page->addObject(label(cells[i].name, {x + kCellWidth / 2, y + 14}, 10.5, 2, 1));
  }
  auto background = KRRenderOptions{};
  background.scale = 1.25;
  background.background = KRColor::white();
  std::string error;
  if (!writePNG(*page, {0, 0, width, height}, output, background, &error)) {
    std::fprintf(stderr, "display_list_example: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %zu objects in %zu cells\n", output.c_str(), page->count(), cells.size());
  return 0;
}
