// The same graph of 10^6 points written in every output form: a plot
// command of 10^6 rows draws its line (thinned in one streaming pass, as it
// hands every line over) inside a frame, and the writers write that drawing.
// Next to it, cairo writes the same thinned path straight into a PDF, SVG,
// PostScript or PNG file: the same path and nothing else, the limit. Each
// run reports the file's size, and the number of points in the thinned
// path, as counters.
//
//   build-bench/bin/writers_benchmark
//   /usr/bin/python3 bench/writers/compare.py build-bench/bin/writers_benchmark

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

#include "commands/VKPlotCommand.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/writers/VKDrawingView.h"
#include "support/PlotDocument.h"

using namespace orrelin;

namespace {

constexpr double kWidth = 800, kHeight = 600;
constexpr long kRows = 1000000;
// The data fill this rectangle of the page (x from 0 to 1 across it, y
// around its middle), as matplotlib's axes do in compare.py.
const KRRect kFrame{40, 40, 720, 520};

// A noisy sine, the same for every run and for compare.py.
struct Line {
  std::shared_ptr<bench::PlotDocument> document = bench::PlotDocument::create();
  std::shared_ptr<VKPlotCommand> command = std::make_shared<VKPlotCommand>();
  std::shared_ptr<KR1DPlotDrawingInfo> record = std::make_shared<KR1DPlotDrawingInfo>();
  std::shared_ptr<KRDrawingGroup> graph;
  std::vector<PageRun> runs;

  // Vector forms that the layout marks resolution independent (PDF, EPS)
  // get the line thinned four times finer than SVG and the bitmaps.
  explicit Line(bool independent) {
    std::vector<double> x(kRows), y(kRows);
    for (long i = 0; i < kRows; ++i) {
      double t = static_cast<double>(i) / (kRows - 1);
      x[static_cast<std::size_t>(i)] = t;
      y[static_cast<std::size_t>(i)] = 200 * std::sin(40 * t) + 30 * std::sin(7919.0 * t);
    }
    command->finishConnections();
    command->setDocument(document);
    command->setXColumn(document->addColumn("t", x), document->addColumn("signal", y));
    PropertyList style(PlistDictionary{{"Tag", PropertyList(2)},
                                       {"Width", PropertyList(0.5)},
                                       {"Color", VKColorInputController::colorPropertyList(KRColor::rgb(0, 0, 0.8))}});
    command->objectWithName("Line Style")->setFromPropertyList(&style);

    // x from 0 to 1 across the frame, y = 0 in its middle, one point per unit.
    record->graphRegion = record->drawRegion = record->axisRegion = kFrame;
    record->setXLinearShift(kFrame.origin.x / kFrame.size.width, kFrame.size.width);
    record->setYLinearShift(kFrame.origin.y + kFrame.size.height / 2, 1);
    record->destinationIsResolutionIndependent = independent;
    record->resolutionScale = independent ? 4 : 1;
    command->updateCacheXLinear(true, true);
    runs = command->computePathForScale(*record);

    graph = KRDrawingGroup::create();
    KRDrawingInformation information;
    graph->addObject(command->computeDrawingObjectForScale(*record, information));
    auto frame = KRDrawingPathRectangle::createWithRect(kFrame);
    frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
    graph->addObject(frame);
  }

  double points() const {
    std::size_t n = 0;
    for (const auto& run : runs) n += run.size();
    return static_cast<double>(n);
  }
};

enum Form { SVG, PDF, EPS, PNG, TIFF, JPEG, JPEG2000, MVG };
constexpr const char* kEndings[] = {"svg", "pdf", "eps", "png", "tiff", "jpg", "jp2", "mvg"};

const Line& line(Form form) {
  static const Line fine(true), coarse(false);
  return form == PDF || form == EPS ? fine : coarse;
}

std::string outputPath(const char* ending) {
  return (std::filesystem::temp_directory_path() / (std::string("orrel-writers-bench.") + ending)).string();
}

void BM_Write_Orrelin(benchmark::State& state) {
  auto form = static_cast<Form>(state.range(0));
  std::string path = outputPath(kEndings[form]);
  VKDrawingView view;
  view.setGraphic(line(form).graph, {kWidth, kHeight});
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
  state.counters["points"] = line(form).points();
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
    for (const auto& run : line(form).runs) {
      if (run.empty()) continue;
      cairo_move_to(cr, run[0].x, kHeight - run[0].y);
      for (std::size_t i = 1; i < run.size(); ++i) cairo_line_to(cr, run[i].x, kHeight - run[i].y);
    }
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
  state.counters["points"] = line(form).points();
  state.SetLabel(kEndings[form]);
  std::filesystem::remove(path);
}
BENCHMARK(BM_Write_Cairo)->Arg(SVG)->Arg(PDF)->Arg(EPS)->Arg(PNG)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
