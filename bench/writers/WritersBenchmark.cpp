// The same graph of 10^6 points (a curve as the plot command hands it over:
// one polyline in page coordinates, thinned within 0.1 point the way the
// plot command thins it, inside a frame) written in every output form,
// against cairo writing the same thinned polyline straight into a PDF, SVG,
// PostScript or PNG file. The cairo side is the limit: the same path and
// nothing else. Each run reports the file's size as a counter.

#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/PlotSimplification.h"
#include "drawing/KRContainerPath2D.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "drawing/writers/VKDrawingView.h"

using namespace orrelin;

namespace {

constexpr double kWidth = 800, kHeight = 600;
constexpr long kPoints = 999999;  // a connection array holds at most 10^6 entries

// A noisy sine across the page, the same for every run.
const std::vector<KRPoint>& curve() {
  static const std::vector<KRPoint> points = [] {
    std::vector<KRPoint> made(kPoints);
    for (long i = 0; i < kPoints; ++i) {
      double t = static_cast<double>(i) / (kPoints - 1);
      made[static_cast<std::size_t>(i)] = {40 + t * 720, 300 + 200 * std::sin(40 * t) + 30 * std::sin(7919.0 * t)};
    }
    std::vector<KRPoint> thinned;
    simplifyPolyline(made.data(), kPoints, PolylineSimplification{{0, 0, kWidth, kHeight}, 0.25, 0.1}, thinned);
    return thinned;
  }();
  return points;
}

std::shared_ptr<KRDrawingGroup> graph() {
  auto group = KRDrawingGroup::create();
  auto line = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops({curve()}));
  line->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::rgb(0, 0, 0.8), 0.5));
  group->addObject(line);
  auto frame = KRDrawingPathRectangle::createWithRect({40, 40, 720, 520});
  frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
  group->addObject(frame);
  return group;
}

std::string outputPath(const char* ending) {
  return (std::filesystem::temp_directory_path() / (std::string("orrel-writers-bench.") + ending)).string();
}

enum Form { SVG, PDF, EPS, PNG, TIFF, JPEG, JPEG2000, MVG };
constexpr const char* kEndings[] = {"svg", "pdf", "eps", "png", "tiff", "jpg", "jp2", "mvg"};

void BM_Write_Orrelin(benchmark::State& state) {
  auto form = static_cast<Form>(state.range(0));
  std::string path = outputPath(kEndings[form]);
  VKDrawingView view;
  view.setGraphic(graph(), {kWidth, kHeight});
  for (auto _ : state) {
    bool ok = false;
    switch (form) {
      case SVG: ok = view.saveSVGInto(path); break;
      case PDF: ok = view.savePDFInto(path, true); break;
      case EPS: ok = view.saveEPSInto(path); break;
      case PNG: ok = view.savePNGInto(path, 1, true); break;
      case TIFF: ok = view.saveTIFFOpaqueInto(path, 1, true); break;
      case JPEG: ok = view.saveJPGInto(path, 0.9, 1, true); break;
      case JPEG2000: ok = view.saveJPG2000Into(path, 1, 1, true); break;
      case MVG: ok = view.saveMVGInto(path); break;
    }
    if (!ok) state.SkipWithError(view.lastError().c_str());
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetLabel(kEndings[form]);
  std::filesystem::remove(path);
}
BENCHMARK(BM_Write_Orrelin)->DenseRange(SVG, MVG)->Unit(benchmark::kMillisecond);

// cairo drawing the polyline and the frame into its own surface of the form.
void BM_Write_Cairo(benchmark::State& state) {
  auto form = static_cast<Form>(state.range(0));
  std::string path = outputPath(kEndings[form]);
  for (auto _ : state) {
    cairo_surface_t* surface = nullptr;
    switch (form) {
      case SVG: surface = cairo_svg_surface_create(path.c_str(), kWidth, kHeight); break;
      case PDF: surface = cairo_pdf_surface_create(path.c_str(), kWidth, kHeight); break;
      case EPS:
        surface = cairo_ps_surface_create(path.c_str(), kWidth, kHeight);
        cairo_ps_surface_set_eps(surface, 1);
        break;
      default: surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight); break;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    if (form == PNG) cairo_paint(cr);
    const auto& points = curve();
    cairo_move_to(cr, points[0].x, kHeight - points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, kHeight - points[i].y);
    cairo_set_source_rgb(cr, 0, 0, 0.8);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, 40, 40, 720, 520);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_destroy(cr);
    if (form == PNG) cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetLabel(kEndings[form]);
  std::filesystem::remove(path);
}
BENCHMARK(BM_Write_Cairo)->Arg(SVG)->Arg(PDF)->Arg(EPS)->Arg(PNG)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
