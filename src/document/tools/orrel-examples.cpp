// Builds the example documents from code, so that no package in the
// repository is edited by hand:
//
//     orrel-examples <output folder> <examples folder>
//
// The examples folder holds the data the documents import. Each document is
// written as "<name>.orrel" into the output folder; the exit status is the
// number of documents that could not be built.

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/VKPlotCommand.h"
#include "commands/VKPointsCommand.h"
#include "document/OrrelinDocument.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "table/StructuralColumns.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumberFromString.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;

namespace {

ColumnPtr add(OrrelinDocument& document, ColumnPtr column, const std::string& name) {
  column->setName(name);
  document.table().insertColumn(column, document.table().numberOfColumns());
  return column;
}

ColumnPtr addFormula(OrrelinDocument& document, const std::string& name, const std::string& formula) {
  auto column = VKDataColumnExpression::createEmptyFor();
  column->setExpressionString(formula);
  return add(document, column, name);
}

// A command of the kind appended to the document's first graph.
template <class Command>
std::shared_ptr<Command> addCommand(OrrelinDocument& document, const std::string& type) {
  auto command = std::dynamic_pointer_cast<Command>(VKCommandFactory::shared().createCommand(type));
  if (command) document.drawings().at(0)->addCommand(command);
  return command;
}

// A damped oscillation measured at 101 times, with the model that fits it:
// the decay and the frequency are parameters, the model and the residual
// formula columns.
bool dampedOscillation(OrrelinDocument& document, const std::string& examples) {
  RowIndices written;
  if (!document.table().importAll(examples + "/damped-oscillation.txt", std::nullopt, -1, false, written) ||
      written.size() != 2)
    return false;
  document.definitions().addParameterValue("decay")->setValue("0.4");
  // The frequency is the animation parameter: a movie sweeps it.
  auto& omega = *document.definitions().animationController();
  omega.setName("omega");
  document.definitions().setAnimationRange("1,3");
  omega.setValue("2");
  auto model = addFormula(document, "model", "exp(-decay*time)*sin(omega*time)");
  addFormula(document, "residual", "signal - model");
  // The measurements as points, the model as a line through them.
  auto time = document.table().columnAtIndex(written.at(0));
  auto signal = document.table().columnAtIndex(written.at(1));
  auto points = addCommand<VKPointsCommand>(document, "Scatter");
  auto line = addCommand<VKPlotCommand>(document, "Plot");
  if (!points || !line) return false;
  points->xColumn()->selectColumn(time);
  points->yColumn()->selectColumn(signal);
  line->xColumnSelector()->selectColumn(time);
  line->yColumnSelector()->selectColumn(model);
  document.definitions().setAnimationDurationText("4");
  document.setDrawingSize({480, 320});
  document.setWindowSize({900, 600});
  return true;
}

// The template of the batch benchmark and of the simplest use of orrel: two
// empty typed-in columns a data file fills, and a line through them on a
// 640 by 480 point page.
bool linePlot(OrrelinDocument& document, const std::string&) {
  auto x = add(document, VKDataColumnSpecified::createEmptyFor(), "x");
  auto y = add(document, VKDataColumnSpecified::createEmptyFor(), "y");
  auto line = addCommand<VKPlotCommand>(document, "Plot");
  if (!line) return false;
  line->xColumnSelector()->selectColumn(x);
  line->yColumnSelector()->selectColumn(y);
  document.setDrawingSize({640, 480});
  return true;
}

// One column of every kind that holds or computes values, a group, and
// parameters of each simple kind.
bool everyColumnKind(OrrelinDocument& document, const std::string&) {
  auto& definitions = document.definitions();
  definitions.addParameterValue("scale")->setValue("2");
  definitions.addParameterString("unit")->setValue("mV");
  add(document, VKDataColumnSpecified::createEmptyFor(), "typed")->setStringList({"1", "2.5", "scale*3", "", "-4"});
  std::vector<double> values;
  std::vector<std::uint8_t> mask;
  for (int i = 0; i < 5000; ++i) {
    values.push_back(std::sin(i * 0.01));
    mask.push_back(1);
  }
  add(document, VKDataColumnBinary::createEmptyFor(), "binary")->setNumbers(values, mask);
  add(document, VKDataColumnString::createEmptyFor(), "text")->setStringList({"10", "20", "n/a", "40"});
  add(document, VKDataColumnDate::createEmptyFor(), "dates")
      ->setStringList({"2024-01-15", "2024-02-15", "2024-03-15", "2024-04-15"});
  addFormula(document, "scaled", "binary*scale");
  add(document, VKDataColumnNumberFromString::createEmptyFor(), "from text")->setSetting("Column", "text");
  add(document, VKDataColumnCollapserOpen::createEmptyFor(), "group");
  add(document, VKDataColumnSpecified::createEmptyFor(), "in group")->setStringList({"7", "8", "9"});
  add(document, VKDataColumnDivider::createEmptyFor(), "");
  add(document, VKDataColumnCollapserClose::createEmptyFor(), "");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <output folder> <examples folder>\n", argv[0]);
    return 2;
  }
  const std::string output = argv[1];
  const std::string examples = argv[2];
  const std::vector<std::pair<const char*, std::function<bool(OrrelinDocument&, const std::string&)>>> documents = {
      {"damped-oscillation", dampedOscillation}, {"every-column-kind", everyColumnKind}, {"line-plot", linePlot}};
  int failures = 0;
  for (const auto& [name, build] : documents) {
    auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
    std::string error;
    const std::string path = output + "/" + name + ".orrel";
    if (!build(*document, examples) || !document->saveToURL(path, &error)) {
      std::fprintf(stderr, "orrel-examples: could not build %s %s\n", path.c_str(), error.c_str());
      ++failures;
    }
    document->disconnectBeforeClosing();
  }
  return failures;
}
