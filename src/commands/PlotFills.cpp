#include "commands/PlotFills.h"

#include <algorithm>

namespace orrelin {

namespace {

int sideOf(double y, double reference) { return y > reference ? 1 : (y < reference ? -1 : 0); }

// Closes the piece down to the reference and keeps it when it is on the
// wanted side and has some extent.
void closePiece(PageRun& piece, int pieceSide, double reference, FillSide side, std::vector<PageRun>& out) {
  const bool wanted = side == FillSide::Both || (side == FillSide::Above && pieceSide > 0) ||
                      (side == FillSide::Below && pieceSide < 0);
  if (wanted && pieceSide != 0 && piece.size() >= 2) {
    PageRun loop = piece;
    if (loop.back().y != reference) loop.push_back({loop.back().x, reference});
    if (loop.front().y != reference) loop.push_back({loop.front().x, reference});
    loop.push_back(loop.front());
    out.push_back(std::move(loop));
  }
  piece.clear();
}

PageRun swapped(const PageRun& run) {
  PageRun result(run.size());
  std::transform(run.begin(), run.end(), result.begin(), [](KRPoint p) { return KRPoint{p.y, p.x}; });
  return result;
}

PageRun joined(const std::vector<PageRun>& runs) {
  PageRun all;
  for (const auto& run : runs) all.insert(all.end(), run.begin(), run.end());
  return all;
}

}  // namespace

std::vector<PageRun> separateAndCloseY(const std::vector<PageRun>& runs, double reference, FillSide side) {
  std::vector<PageRun> out;
  PageRun piece;
  for (const auto& run : runs) {
    piece.clear();
    int pieceSide = 0;
    for (std::size_t i = 0; i < run.size(); ++i) {
      const KRPoint p = run[i];
      const int s = sideOf(p.y, reference);
      if (s != 0 && pieceSide != 0 && s != pieceSide) {
        // Crosses the reference between the previous point and this one.
        const KRPoint q = piece.back();
        const double t = (reference - q.y) / (p.y - q.y);
        const KRPoint crossing{q.x + t * (p.x - q.x), reference};
        piece.push_back(crossing);
        closePiece(piece, pieceSide, reference, side, out);
        piece.push_back(crossing);
        pieceSide = 0;
      }
      piece.push_back(p);
      if (s == 0) {
        closePiece(piece, pieceSide, reference, side, out);
        piece.push_back(p);
        pieceSide = 0;
      } else {
        pieceSide = s;
      }
    }
    closePiece(piece, pieceSide, reference, side, out);
  }
  return out;
}

std::vector<PageRun> separateAndCloseX(const std::vector<PageRun>& runs, double reference, FillSide side) {
  std::vector<PageRun> exchanged;
  exchanged.reserve(runs.size());
  for (const auto& run : runs) exchanged.push_back(swapped(run));
  auto loops = separateAndCloseY(exchanged, reference, side);
  for (auto& loop : loops) loop = swapped(loop);
  return loops;
}

std::vector<PageRun> closeBetween(const std::vector<PageRun>& first, const std::vector<PageRun>& second) {
  std::vector<PageRun> out;
  const bool matched = first.size() == second.size();
  const std::vector<PageRun> a = matched ? first : std::vector<PageRun>{joined(first)};
  const std::vector<PageRun> b = matched ? second : std::vector<PageRun>{joined(second)};
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (a[k].empty() || b[k].empty() || a[k].size() + b[k].size() < 3) continue;
    PageRun loop = a[k];
    loop.insert(loop.end(), b[k].rbegin(), b[k].rend());
    loop.push_back(loop.front());
    out.push_back(std::move(loop));
  }
  return out;
}

std::vector<PageRun> closeEachRun(const std::vector<PageRun>& runs) {
  std::vector<PageRun> out;
  for (const auto& run : runs) {
    if (run.size() < 3) continue;
    PageRun loop = run;
    if (!(loop.back() == loop.front())) loop.push_back(loop.front());
    out.push_back(std::move(loop));
  }
  return out;
}

}  // namespace orrelin
