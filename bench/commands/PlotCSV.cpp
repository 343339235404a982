// Reads a text file of two number columns, plots the second against the
// first with a plot command and writes the picture, as a whole process:
//
//   build-bench/bin/plot_csv data.csv out.pdf|out.png|out.svg
//
// The drawing record is filled by hand for a 640 x 480 point page with a
// frame around the data, since the layout that computes it is not here yet.
// bench/commands/compare_plot.sh runs this and the same job in matplotlib and
// gnuplot.

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "support/PlotFrame.h"
#include "commands/VKPlotCommand.h"
#include "table/RowEditing.h"
#include "drawing/writers/VKDrawingView.h"

using namespace orrelin;

namespace {

// The process's peak resident size so far in megabytes (0 where the system
// does not tell).
double peakResidentMB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  double kilobytes = 0;
  while (std::fgets(line, sizeof line, status))
    if (std::sscanf(line, "VmHWM: %lf kB", &kilobytes) == 1) break;
  std::fclose(status);
  return kilobytes / 1024;
}

// With ORREL_PLOT_TIMES set, each stage's time and the peak resident size
// after it go to standard error.
void stageDone(const char* stage) {
  static auto last = std::chrono::steady_clock::now();
  static std::clock_t lastCPU = std::clock();
  static const bool report = std::getenv("ORREL_PLOT_TIMES") != nullptr;
  const auto now = std::chrono::steady_clock::now();
  const std::clock_t cpu = std::clock();
  if (report)
    std::fprintf(stderr, "%s: %.3f s wall, %.3f s processor, peak %.0f MB\n", stage,
                 std::chrono::duration<double>(now - last).count(), double(cpu - lastCPU) / CLOCKS_PER_SEC,
                 peakResidentMB());
  last = now;
  lastCPU = cpu;
}

}  // namespace

int main(int argc, char** argv) {
  stageDone("start");
  if (argc != 3) {
    std::fprintf(stderr, "usage: plot_csv data.csv out.pdf|out.png|out.svg\n");
    return 2;
  }
  const std::string input = argv[1], output = argv[2];
  auto document = bench::PlotDocument::create();
  RowIndices written;
  if (!document->table->importAll(input, std::nullopt, 1, false, written) || written.size() < 2) {
    std::fprintf(stderr, "plot_csv: could not read two columns from %s\n", input.c_str());
    return 1;
  }
  stageDone("import");
  auto plot = std::make_shared<VKPlotCommand>();
  plot->finishConnections();
  plot->setDocument(document);
  plot->setXColumn(document->table->columnAtIndex(written[0]), document->table->columnAtIndex(written[1]));

  bench::PlotFrame frame({640, 480});
  auto record = frame.recordFor(*plot, output.ends_with(".png") ? false : true);
  KRDrawingInformation information;
  auto picture = frame.picture(plot->computeDrawingObjectForScale(*record, information), *record);

  stageDone("plot");
  VKDrawingView view;
  view.setGraphic(picture, {640, 480});
  bool ok = false;
  if (output.ends_with(".pdf"))
    ok = view.savePDFInto(output, true);
  else if (output.ends_with(".png"))
    ok = view.savePNGInto(output, 1, true);
  else if (output.ends_with(".svg"))
    ok = view.saveSVGInto(output);
  stageDone("write");
  if (!ok) {
    std::fprintf(stderr, "plot_csv: could not write %s: %s\n", output.c_str(), view.lastError().c_str());
    return 1;
  }
  return 0;
}
