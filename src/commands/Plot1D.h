#pragma once
// The plot curve: a 2 x N array of doubles (row 0 x, row 1 y, column after
// column) holding runs one after another. A run is a header column whose y
// entry is the number k of its points (its x entry is 0), followed by the k
// point columns. Consecutive runs are separate polylines.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "graph/commandbase/KRBoundingRange.h"
#include "platform/PageGeometry.h"

namespace orrelin {

class Plot1D {
 public:
  // One run: the column of its first point and its point count.
  struct Run {
    long start;
    long length;
  };

  Plot1D() = default;
  // From the raw columns (x, y interleaved), as another part hands them over.
  explicit Plot1D(std::vector<double> columns) : data_(std::move(columns)) {}
  static Plot1D fromRuns(const std::vector<std::vector<KRPoint>>& runs);

  // Building: a run is begun, points are added, and the run is ended; a run
  // that got no point leaves nothing behind.
  void beginRun();
  void addPoint(double x, double y);
  void addPoint(KRPoint p) { addPoint(p.x, p.y); }
  void endRun();
  void addRun(const KRPoint* points, long count);
  void reserveColumns(std::size_t columns) { data_.reserve(2 * columns); }

  long numberOfColumns() const { return static_cast<long>(data_.size() / 2); }
  bool isEmpty() const { return data_.empty(); }
  const std::vector<double>& columns() const { return data_; }
  double x(long column) const { return data_[2 * column]; }
  double y(long column) const { return data_[2 * column + 1]; }
  KRPoint point(long column) const { return {x(column), y(column)}; }

  // The first thing wrong with the layout, as its message; none for a valid
  // plot (at least one run, every header a finite integer >= 1, no run past
  // the end, every x finite).
  std::optional<std::string> formatError() const;
  // The runs of a valid plot.
  std::vector<Run> runs() const;

  // A copy with ln of x and/or y; non-positive values become NaN.
  Plot1D logTransformed(bool logX, bool logY) const;
  // A copy with exp of x and/or y: the inverse of logTransformed.
  Plot1D expTransformed(bool expX, bool expY) const;

  bool operator==(const Plot1D&) const = default;

 private:
  std::vector<double> data_;
  long openHeader_ = -1;
};

// Whether a plot handed over by another part can be used; when not, its
// format message is posted to the message centre.
bool Plot1DIsUsable(const Plot1D& plot);

long HowManySegments(const Plot1D& plot);
long HowManyPoints(const Plot1D& plot);
// x non-decreasing within every run.
bool IncreasingPoints(const Plot1D& plot);
// x strictly increasing within every run.
bool StrictlyIncreasingPoints(const Plot1D& plot);
// The ranges of the finite x and y values of the points; invalid when there
// is none.
KRBoundingRange DomainRangeOfPlot(const Plot1D& plot);
KRBoundingRange ValueRangeOfPlot(const Plot1D& plot);

// Splits every run into pieces that are strictly increasing in x. A run
// changing direction is cut at the turn and a decreasing piece is reversed;
// where x repeats, the vertical step becomes a piece of two points of its own.
// Neighbouring pieces share their joint point; repeated points are kept once.
// A run of two points is copied as it is.
Plot1D splitPlotIntoIncreasingComponents(const Plot1D& plot);
// The same with the roles of x and y exchanged.
Plot1D splitPlotIntoIncreasingValueComponents(const Plot1D& plot);
// A copy with x and y exchanged in every point (headers stay headers): a
// curve that is a function of y handled as one of x, and back.
Plot1D swapXYInResult(const Plot1D& plot);

}  // namespace orrelin
