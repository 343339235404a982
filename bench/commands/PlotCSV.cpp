// Reads a text file of two number columns, plots the second against the
// first with a plot command and writes the picture, as a whole process:
//
//   build-bench/bin/plot_csv data.csv out.pdf|out.png|out.svg
//
// The drawing record is filled by hand for a 640 x 480 point page with a
// frame around the data, since the layout that computes it is not here yet.
// bench/commands/compare_plot.sh runs this and the same job in matplotlib and
// gnuplot.

#include <cstdio>
#include <memory>
#include <string>

#include "support/PlotFrame.h"
#include "commands/VKPlotCommand.h"
#include "table/RowEditing.h"
#include "drawing/writers/VKDrawingView.h"

using namespace orrelin;

int main(int argc, char** argv) {
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
  auto plot = std::make_shared<VKPlotCommand>();
  plot->finishConnections();
  plot->setDocument(document);
  plot->setXColumn(document->table->columnAtIndex(written[0]), document->table->columnAtIndex(written[1]));

  bench::PlotFrame frame({640, 480});
  auto record = frame.recordFor(*plot, output.ends_with(".png") ? false : true);
  KRDrawingInformation information;
  auto picture = frame.picture(plot->computeDrawingObjectForScale(*record, information), *record);

  VKDrawingView view;
  view.setGraphic(picture, {640, 480});
  bool ok = false;
  if (output.ends_with(".pdf"))
    ok = view.savePDFInto(output, true);
  else if (output.ends_with(".png"))
    ok = view.savePNGInto(output, 1, true);
  else if (output.ends_with(".svg"))
    ok = view.saveSVGInto(output);
  if (!ok) {
    std::fprintf(stderr, "plot_csv: could not write %s: %s\n", output.c_str(), view.lastError().c_str());
    return 1;
  }
  return 0;
}
