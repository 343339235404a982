// The display list against plain cairo drawing the same geometry: a long
// polyline, many circle markers and a stencil stamped many times, into a
// 2000 x 1500 image and into a PDF page. The cairo side is the limit: the
// same path operations with nothing around them.
//
// bench/drawing/ratios.py runs this and prints the ratios.

#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingContext.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/KRDrawingRepeated.h"

using namespace orrelin;

namespace {

constexpr double kWidth = 2000, kHeight = 1500;
// The most points one path may hold: a run's length and its indices must
// stay within the 1,000,000 entries of the connection array.
constexpr long kPolylinePoints = 999999;
constexpr long kMarkers = 100000;
constexpr long kStamps = 100000;
constexpr double kMarkerRadius = 3;

struct Geometry {
  std::vector<double> polyline;  // x, y pairs
  std::vector<float> markers;    // x, y, r
  std::vector<float> stamps;     // x, y
};

const Geometry& geometry() {
  static const Geometry g = [] {
    Geometry g;
    std::mt19937 random(7);
    std::normal_distribution<double> step(0, 4);
    std::uniform_real_distribution<double> x(10, kWidth - 10), y(10, kHeight - 10);
    double level = kHeight / 2;
    for (long i = 0; i < kPolylinePoints; ++i) {
      level = std::clamp(level + step(random), 20.0, kHeight - 20);
      g.polyline.push_back(10 + (kWidth - 20) * i / (kPolylinePoints - 1));
      g.polyline.push_back(level);
    }
    for (long i = 0; i < kMarkers; ++i) {
      g.markers.push_back(static_cast<float>(x(random)));
      g.markers.push_back(static_cast<float>(y(random)));
      g.markers.push_back(static_cast<float>(kMarkerRadius));
    }
    for (long i = 0; i < kStamps; ++i) {
      g.stamps.push_back(static_cast<float>(x(random)));
      g.stamps.push_back(static_cast<float>(y(random)));
    }
    return g;
  }();
  return g;
}

// ---------------------------------------------------------------- the display list

std::shared_ptr<KRDrawingBasic> polylineObject() {
  const auto& g = geometry();
  auto points = KRDoubleArrayContainer::createArrayOfSizeM(2, kPolylinePoints);
  std::copy(g.polyline.begin(), g.polyline.end(), points->mutablePointer());
  auto connections = KRIntArrayContainer::createArrayOfLength(kPolylinePoints + 1);
  int* c = connections->mutablePointer();
  c[0] = static_cast<int>(kPolylinePoints);
  for (long i = 0; i < kPolylinePoints; ++i) c[i + 1] = static_cast<int>(i);
  auto path = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::create(points, connections));
  path->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::rgb(0, 0, 0.8), 1));
  return path;
}

std::shared_ptr<KRDrawingBasic> markerObject() {
  const auto& g = geometry();
  auto array = KRFloatArrayContainer::createArrayOfSizeM(3, kMarkers);
  std::copy(g.markers.begin(), g.markers.end(), array->mutablePointer());
  auto circles = KRDrawingPathCircleCollection::createFromArray(array);
  circles->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0.8, 0, 0), true));
  return circles;
}

// The stencil: a filled circle inside a stroked square.
std::shared_ptr<KRDrawingGroup> stencil() {
  auto group = KRDrawingGroup::create();
  auto dot = KRDrawingPathCircle::createWithCenter({4, 4}, kMarkerRadius);
  dot->setStyle(KRDrawingStyleCurve::color(KRColor::rgb(0, 0.6, 0), true));
  group->addObject(dot);
  auto frame = KRDrawingPathRectangle::createWithRect({1, 1, 6, 6});
  frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
  group->addObject(frame);
  return group;
}

std::shared_ptr<KRDrawingBasic> stencilObject() {
  const auto& g = geometry();
  auto offsets = KRFloatArrayContainer::createArrayOfSizeM(2, kStamps);
  std::copy(g.stamps.begin(), g.stamps.end(), offsets->mutablePointer());
  return KRDrawingRepeated::drawing(stencil(), {8, 8}, {4, 4}, offsets);
}

void drawOrrelin(benchmark::State& state, const KRDrawingBasic& object, bool pdf) {
  for (auto _ : state) {
    auto gc = pdf ? GraphicsContext::createForPDF({kWidth, kHeight}) : GraphicsContext::createForImage({kWidth, kHeight});
    KRDrawingContext context(gc);
    object.drawToCurrentContext(context);
    if (pdf) benchmark::DoNotOptimize(gc->finishDocument().size());
    else benchmark::DoNotOptimize(gc->image());
  }
}

// ---------------------------------------------------------------- plain cairo

cairo_status_t discard(void* closure, const unsigned char*, unsigned int length) {
  *static_cast<std::size_t*>(closure) += length;
  return CAIRO_STATUS_SUCCESS;
}

// A surface of the page with y pointing up, like the page coordinates.
template <class Draw>
void drawCairo(benchmark::State& state, bool pdf, Draw draw) {
  for (auto _ : state) {
    std::size_t written = 0;
    cairo_surface_t* surface = pdf ? cairo_pdf_surface_create_for_stream(discard, &written, kWidth, kHeight)
                                   : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_translate(cr, 0, kHeight);
    cairo_scale(cr, 1, -1);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    benchmark::DoNotOptimize(written);
    cairo_surface_destroy(surface);
  }
}

void cairoPolyline(cairo_t* cr) {
  const auto& p = geometry().polyline;
  cairo_move_to(cr, p[0], p[1]);
  for (std::size_t i = 2; i < p.size(); i += 2) cairo_line_to(cr, p[i], p[i + 1]);
  cairo_set_source_rgb(cr, 0, 0, 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void cairoMarkers(cairo_t* cr) {
  const auto& m = geometry().markers;
  for (std::size_t i = 0; i < m.size(); i += 3) {
    cairo_move_to(cr, m[i] + m[i + 2], m[i + 1]);
    cairo_arc(cr, m[i], m[i + 1], m[i + 2], 0, 2 * M_PI);
    cairo_close_path(cr);
  }
  cairo_set_source_rgb(cr, 0.8, 0, 0);
  cairo_fill(cr);
}

void cairoStencils(cairo_t* cr) {
  const auto& s = geometry().stamps;
  for (std::size_t i = 0; i < s.size(); i += 2) {
    double x = s[i] - 4, y = s[i + 1] - 4;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + 4, y + 4, kMarkerRadius, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0, 0.6, 0);
    cairo_fill(cr);
    cairo_rectangle(cr, x + 1, y + 1, 6, 6);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
}

void BM_Polyline_Orrelin(benchmark::State& state) {
  static auto object = polylineObject();
  drawOrrelin(state, *object, state.range(0));
}
void BM_Polyline_Cairo(benchmark::State& state) { drawCairo(state, state.range(0), cairoPolyline); }
void BM_Markers_Orrelin(benchmark::State& state) {
  static auto object = markerObject();
  drawOrrelin(state, *object, state.range(0));
}
void BM_Markers_Cairo(benchmark::State& state) { drawCairo(state, state.range(0), cairoMarkers); }
void BM_Stencil_Orrelin(benchmark::State& state) {
  static auto object = stencilObject();
  drawOrrelin(state, *object, state.range(0));
}
void BM_Stencil_Cairo(benchmark::State& state) { drawCairo(state, state.range(0), cairoStencils); }

}  // namespace

// Argument 0: the image, 1: the PDF page.
BENCHMARK(BM_Polyline_Orrelin)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polyline_Cairo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Markers_Orrelin)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Markers_Cairo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stencil_Orrelin)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stencil_Cairo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
