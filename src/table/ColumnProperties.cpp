#include "table/ColumnProperties.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "table/TableMessages.h"

namespace orrelin {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct NamedKind {
  std::string_view name;
  ColumnPropertyKind kind;
};

constexpr NamedKind kKinds[] = {
    {"min", ColumnPropertyKind::Min},
    {"max", ColumnPropertyKind::Max},
    {"length", ColumnPropertyKind::Length},
    {"range", ColumnPropertyKind::Range},
    {"average", ColumnPropertyKind::Average},
    {"median", ColumnPropertyKind::Median},
    {"sigma", ColumnPropertyKind::Sigma},
    {"s", ColumnPropertyKind::S},
    {"first", ColumnPropertyKind::First},
    {"last", ColumnPropertyKind::Last},
    {"sum", ColumnPropertyKind::Sum},
    {"isum", ColumnPropertyKind::ISum},
    {"rmax", ColumnPropertyKind::RMax},
    {"rmin", ColumnPropertyKind::RMin},
    {"count", ColumnPropertyKind::Count},
    {"totalcount", ColumnPropertyKind::TotalCount},
    {"sortedindex", ColumnPropertyKind::SortedIndex},
    {"rank", ColumnPropertyKind::Rank},
    {"sortwith", ColumnPropertyKind::SortWith},
    {"delta", ColumnPropertyKind::Delta},
    {"unwrap2\u03c0", ColumnPropertyKind::Unwrap2Pi},
    {"unwrap1", ColumnPropertyKind::Unwrap1},
    {"unwrap360", ColumnPropertyKind::Unwrap360},
};

ColumnProperty number(double value) { return ColumnProperty{false, value, nullptr, nullptr}; }

// An array property under construction: one element per row.
struct Rows {
  explicit Rows(long length)
      : values(KRDoubleArrayContainer::createArrayOfLength(length)),
        mask(KRUCharArrayContainer::createArrayOfLength(length)) {
    if (!values || !mask) {
      values = KRDoubleArrayContainer::createArrayOfLength(0);
      mask = KRUCharArrayContainer::createArrayOfLength(0);
    }
  }
  double* v() { return values->mutableDoublePointer(); }
  std::uint8_t* m() { return mask->mutablePointer(); }
  ColumnProperty result() { return ColumnProperty{true, 0, std::move(values), std::move(mask)}; }

  std::shared_ptr<KRDoubleArrayContainer> values;
  std::shared_ptr<KRUCharArrayContainer> mask;
};

// The valid values with their rows, in row order.
std::vector<std::pair<double, long>> validEntries(const double* values, const std::uint8_t* mask, long rows) {
  std::vector<std::pair<double, long>> entries;
  for (long r = 0; r < rows; ++r)
    if (mask[r] && std::isfinite(values[r])) entries.emplace_back(values[r], r);
  return entries;
}

// The same, ascending by value; equal values keep their row order.
std::vector<std::pair<double, long>> sortedEntries(const double* values, const std::uint8_t* mask, long rows) {
  auto entries = validEntries(values, mask, rows);
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return entries;
}

// A running quantity: for each valid row, step(previous, value).
template <class Step>
ColumnProperty running(const double* values, const std::uint8_t* mask, long rows, double start, Step step) {
  Rows out(rows);
  double current = start;
  for (long r = 0; r < rows; ++r) {
    const bool valid = mask[r] && std::isfinite(values[r]);
    if (valid) current = step(current, values[r]);
    out.v()[r] = valid ? current : kNaN;
    out.m()[r] = valid ? 1 : 0;
  }
  return out.result();
}

ColumnProperty unwrapped(const double* values, const std::uint8_t* mask, long rows, double period) {
  Rows out(rows);
  double previous = kNaN;  // the last valid value as it came in
  double shift = 0;
  for (long r = 0; r < rows; ++r) {
    const bool valid = mask[r] && std::isfinite(values[r]);
    out.m()[r] = valid ? 1 : 0;
    if (!valid) {
      out.v()[r] = kNaN;
      continue;
    }
    if (!std::isnan(previous)) {
      const double jump = values[r] - previous;
      if (std::fabs(jump) > period / 2) shift -= period * std::round(jump / period);
    }
    previous = values[r];
    out.v()[r] = values[r] + shift;
  }
  return out.result();
}

}  // namespace

std::optional<ColumnPropertyKind> columnPropertyKind(std::string_view ending) {
  for (const auto& entry : kKinds)
    if (entry.name == ending) return entry.kind;
  return std::nullopt;
}

bool columnPropertyIsArray(ColumnPropertyKind kind) {
  switch (kind) {
    case ColumnPropertyKind::ISum:
    case ColumnPropertyKind::RMax:
    case ColumnPropertyKind::RMin:
    case ColumnPropertyKind::TotalCount:
    case ColumnPropertyKind::SortedIndex:
    case ColumnPropertyKind::Rank:
    case ColumnPropertyKind::SortWith:
    case ColumnPropertyKind::Delta:
    case ColumnPropertyKind::Unwrap2Pi:
    case ColumnPropertyKind::Unwrap1:
    case ColumnPropertyKind::Unwrap360:
      return true;
    default:
      return false;
  }
}

ColumnProperty computeColumnProperty(ColumnPropertyKind kind, const double* values, const std::uint8_t* mask, long rows) {
  if (rows < 0) rows = 0;
  switch (kind) {
    case ColumnPropertyKind::Length:
      return number(double(rows));
    case ColumnPropertyKind::Min:
    case ColumnPropertyKind::Max:
    case ColumnPropertyKind::Range: {
      double min = kInf, max = -kInf;
      for (long r = 0; r < rows; ++r) {
        if (!mask[r] || !std::isfinite(values[r])) continue;
        min = std::min(min, values[r]);
        max = std::max(max, values[r]);
      }
      return number(kind == ColumnPropertyKind::Min ? min : kind == ColumnPropertyKind::Max ? max : max - min);
    }
    case ColumnPropertyKind::Sum:
    case ColumnPropertyKind::Average:
    case ColumnPropertyKind::Count:
    case ColumnPropertyKind::Sigma:
    case ColumnPropertyKind::S: {
      double sum = 0;
      long n = 0;
      for (long r = 0; r < rows; ++r) {
        if (!mask[r] || !std::isfinite(values[r])) continue;
        sum += values[r];
        ++n;
      }
      if (kind == ColumnPropertyKind::Sum) return number(sum);
      if (kind == ColumnPropertyKind::Count) return number(double(n));
      const double average = n > 0 ? sum / double(n) : kNaN;
      if (kind == ColumnPropertyKind::Average) return number(average);
      double squares = 0;
      for (long r = 0; r < rows; ++r) {
        if (!mask[r] || !std::isfinite(values[r])) continue;
        squares += (values[r] - average) * (values[r] - average);
      }
      const double divisor = kind == ColumnPropertyKind::Sigma ? double(n) : double(n - 1);
      return number(divisor > 0 ? std::sqrt(squares / divisor) : kNaN);
    }
    case ColumnPropertyKind::Median: {
      auto valid = validEntries(values, mask, rows);
      if (valid.empty()) return number(kNaN);
      auto middle = valid.begin() + long(valid.size() / 2);
      std::nth_element(valid.begin(), middle, valid.end());
      return number(middle->first);
    }
    case ColumnPropertyKind::First:
    case ColumnPropertyKind::Last: {
      const bool first = kind == ColumnPropertyKind::First;
      for (long k = 0; k < rows; ++k) {
        const long r = first ? k : rows - 1 - k;
        if (mask[r] && std::isfinite(values[r])) return number(values[r]);
      }
      return number(kNaN);
    }
    case ColumnPropertyKind::ISum:
      return running(values, mask, rows, 0.0, [](double sum, double v) { return sum + v; });
    case ColumnPropertyKind::RMax:
      return running(values, mask, rows, -kInf, [](double m, double v) { return std::max(m, v); });
    case ColumnPropertyKind::RMin:
      return running(values, mask, rows, kInf, [](double m, double v) { return std::min(m, v); });
    case ColumnPropertyKind::TotalCount:
      return running(values, mask, rows, 0.0, [](double count, double) { return count + 1; });
    case ColumnPropertyKind::Delta: {
      Rows out(rows);
      double previous = kNaN;
      for (long r = 0; r < rows; ++r) {
        const bool valid = mask[r] && std::isfinite(values[r]);
        out.v()[r] = valid ? values[r] - previous : kNaN;
        out.m()[r] = valid && !std::isnan(previous) ? 1 : 0;
        if (valid) previous = values[r];
      }
      return out.result();
    }
    case ColumnPropertyKind::Rank: {
      const auto sorted = sortedEntries(values, mask, rows);
      Rows out(rows);
      std::fill(out.v(), out.v() + rows, kNaN);
      std::fill(out.m(), out.m() + rows, std::uint8_t(0));
      for (std::size_t k = 0; k < sorted.size();) {
        std::size_t end = k;
        while (end < sorted.size() && sorted[end].first == sorted[k].first) ++end;
        // Ranks k+1 ... end share their average.
        const double rank = (double(k + 1) + double(end)) / 2;
        for (std::size_t j = k; j < end; ++j) {
          out.v()[sorted[j].second] = rank;
          out.m()[sorted[j].second] = 1;
        }
        k = end;
      }
      return out.result();
    }
    case ColumnPropertyKind::SortedIndex:
    case ColumnPropertyKind::SortWith: {
      const auto sorted = sortedEntries(values, mask, rows);
      Rows out(long(sorted.size()));
      for (std::size_t k = 0; k < sorted.size(); ++k) {
        out.v()[k] = kind == ColumnPropertyKind::SortWith ? sorted[k].first : double(sorted[k].second + 1);
        out.m()[k] = 1;
      }
      return out.result();
    }
    case ColumnPropertyKind::Unwrap2Pi:
      return unwrapped(values, mask, rows, 2 * std::numbers::pi);
    case ColumnPropertyKind::Unwrap1:
      return unwrapped(values, mask, rows, 1);
    case ColumnPropertyKind::Unwrap360:
      return unwrapped(values, mask, rows, 360);
  }
  return number(kNaN);
}

std::string invalidPropertyMessage(const std::vector<std::string>& names) {
  std::string text;
  if (names.size() == 1) {
    text = std::string(table_text::kInvalidProperty) + names.front();
  } else {
    text = std::string(table_text::kInvalidProperties) + "\n";
    for (std::size_t k = 0; k < names.size(); ++k) text += (k ? ", " : "") + names[k];
  }
  return text + table_text::kValidEndings;
}

}  // namespace orrelin
