// The demo's templates run through the built orrel with their data files
// from examples/, checked in the SVG against the data: tick labels, where
// the markers sit and how large they are, their colours, the ends of a date
// axis, and the smooth curve and its fill worked out again by hand.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

const std::string kTemplates = ORREL_EXAMPLES_DIR;
const std::string kData = ORREL_SOURCE_EXAMPLES_DIR;

// Runs orrel on a template with its data file into an SVG and gives the
// SVG's text; empty (with a test failure) when the run fails.
std::string drawSVG(const std::string& name, const std::string& dataFile, const TemporaryFolder& folder) {
  const std::string svg = folder.path(name + ".svg");
  const std::string command = std::string(ORREL_BIN_DIR) + "/orrel " + kData + "/" + dataFile + " -script " +
                              kTemplates + "/" + name + ".orrel -output " + svg + " 2>&1";
  std::string printed;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) printed.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << printed;
  }
  std::ifstream in(svg, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  EXPECT_FALSE(text.str().empty()) << printed;
  return text.str();
}

// The rows of a data file after its header line, split at tabs or commas.
std::vector<std::vector<std::string>> dataRows(const std::string& file) {
  std::ifstream in(kData + "/" + file);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream split(line);
    while (std::getline(split, field, line.find('\t') != std::string::npos ? '\t' : ',')) fields.push_back(field);
    if (!fields.empty()) rows.push_back(fields);
  }
  return rows;
}

std::vector<double> numbersIn(const std::string& text) {
  std::vector<double> numbers;
  const std::regex number(R"(-?[0-9]+(\.[0-9]+)?(e-?[0-9]+)?)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
    numbers.push_back(std::stod(it->str()));
  return numbers;
}

struct Label {
  double x, y;
  std::string text;
};

// The axis labels in drawing order: those of the x axis share their anchor's
// y, those of the y axis its x; the largest such set is the axis.
struct AxisLabels {
  std::vector<Label> x, y;
};

AxisLabels axisLabels(const std::string& svg) {
  std::vector<Label> all;
  const std::regex label(R"re(translate\(([0-9.]+),([0-9.]+)\) rotate\(0\)[^>]*>\s*<text x="0" y="0">([^<]*)</text>)re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), label); it != std::sregex_iterator(); ++it)
    all.push_back({std::stod((*it)[1]), std::stod((*it)[2]), (*it)[3]});
  auto largestSet = [&](auto key) {
    std::map<double, std::vector<Label>> sets;
    for (const auto& l : all) sets[key(l)].push_back(l);
    std::vector<Label> best;
    for (auto& [k, set] : sets)
      if (set.size() > best.size()) best = set;
    return best;
  };
  return {largestSet([](const Label& l) { return l.y; }), largestSet([](const Label& l) { return l.x; })};
}

std::vector<std::string> texts(const std::vector<Label>& labels) {
  std::vector<std::string> result;
  for (const auto& l : labels) result.push_back(l.text);
  return result;
}

// The page mapping of a number axis from its first and last labels.
struct Mapping {
  double value0, page0, value1, page1;
  double operator()(double v) const { return page0 + (v - value0) * (page1 - page0) / (value1 - value0); }
  double scale() const { return (page1 - page0) / (value1 - value0); }
};

double labelValue(const std::string& text) {
  const std::string minus = "\xE2\x88\x92";
  std::string plain = text;
  if (plain.rfind(minus, 0) == 0) plain = "-" + plain.substr(minus.size());
  return std::stod(plain);
}

Mapping xMapping(const AxisLabels& labels) {
  const auto& a = labels.x.front();
  const auto& b = labels.x.back();
  return {labelValue(a.text), a.x, labelValue(b.text), b.x};
}

Mapping yMapping(const AxisLabels& labels) {
  const auto& a = labels.y.front();
  const auto& b = labels.y.back();
  return {labelValue(a.text), a.y, labelValue(b.text), b.y};
}

struct Circle {
  double cx, cy, r;
  // The fill or stroke colour of the group the circle is in.
  std::string fill, stroke;
};

std::vector<Circle> circles(const std::string& svg) {
  std::vector<Circle> result;
  std::string fill, stroke;
  std::istringstream lines(svg);
  std::string line;
  const std::regex group(R"re(<g (fill|stroke)="([^"]*)")re");
  const std::regex circle(R"re(<circle cx="([0-9.]+)" cy="([0-9.]+)" r="([0-9.]+)")re");
  std::smatch m;
  while (std::getline(lines, line)) {
    if (std::regex_search(line, m, group)) {
      (m[1] == "fill" ? fill : stroke) = m[2];
      (m[1] == "fill" ? stroke : fill).clear();
    } else if (std::regex_search(line, m, circle)) {
      result.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), fill, stroke});
    }
  }
  return result;
}

// The data of every path, in drawing order.
std::vector<std::string> paths(const std::string& svg) {
  std::vector<std::string> result;
  for (std::size_t at = 0; (at = svg.find("<path d=\"", at)) != std::string::npos;) {
    at += 9;
    result.push_back(svg.substr(at, svg.find('"', at) - at));
  }
  return result;
}

// The first path whose data holds the text.
std::string firstPathWith(const std::string& svg, const std::string& text) {
  for (const auto& d : paths(svg))
    if (d.find(text) != std::string::npos) return d;
  return {};
}

// Tick labels as the axes write them: the shortest form, negative numbers
// with a minus sign.
std::vector<std::string> numberTexts(double from, double step, int count) {
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) {
    const double value = from + i * step;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", std::abs(value));
    result.push_back((value < 0 ? "\xE2\x88\x92" : "") + std::string(buffer));
  }
  return result;
}

// A line with markers and error bars from a CSV file. The error bars widen
// the y range: with them the largest value is 1.414 + 0.105, padded by 5% to
// 1.596, so the labels reach 1.5; the data alone would stop at 1.4.
TEST(DemoTemplates, CalibrationMarkersAndErrorBarsSitOnTheDataAndWidenTheRange) {
  TemporaryFolder folder;
  const std::string svg = drawSVG("calibration", "calibration.csv", folder);
  const AxisLabels labels = axisLabels(svg);
  EXPECT_EQ(texts(labels.x), numberTexts(0, 1, 16));
  EXPECT_EQ(texts(labels.y), numberTexts(0, 0.1, 16));
  if (labels.x.empty() || labels.y.empty()) return;

  const Mapping x = xMapping(labels), y = yMapping(labels);
  const auto rows = dataRows("calibration.csv");
  ASSERT_EQ(rows.size(), 16u);
  std::vector<Circle> markers;
  for (const auto& c : circles(svg))
    if (c.fill == "white") markers.push_back(c);
  ASSERT_EQ(markers.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_NEAR(markers[i].cx, x(std::stod(rows[i][0])), 0.01) << "row " << i;
    EXPECT_NEAR(markers[i].cy, y(std::stod(rows[i][1])), 0.01) << "row " << i;
    EXPECT_DOUBLE_EQ(markers[i].r, 3.5);
  }

  // Each row's error bar runs from y - error to y + error at its x.
  std::vector<std::array<double, 4>> segments;
  const std::regex segment(R"(M\s+([-0-9.e]+)\s+([-0-9.e]+)\s+L\s+([-0-9.e]+)\s+([-0-9.e]+))");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), segment); it != std::sregex_iterator(); ++it)
    segments.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])});
  for (const auto& row : rows) {
    const double cx = x(std::stod(row[0])), value = std::stod(row[1]), error = std::stod(row[2]);
    const double low = y(value - error), high = y(value + error);
    EXPECT_TRUE(std::any_of(segments.begin(), segments.end(), [&](const auto& s) {
      return std::abs(s[0] - cx) < 0.01 && std::abs(s[2] - cx) < 0.01 && std::abs(s[1] - low) < 0.01 &&
             std::abs(s[3] - high) < 0.01;
    })) << "error bar at concentration " << row[0];
  }
}

// Marker areas from the precipitation column (size √value × 0.4, so the
// radius is 0.2 √value) and line and fill colours from the region column
// through the template's two colour schemes.
TEST(DemoTemplates, StationMarkersTakeTheirSizeAndColoursFromColumns) {
  TemporaryFolder folder;
  const std::string svg = drawSVG("stations", "stations.txt", folder);
  const AxisLabels labels = axisLabels(svg);
  EXPECT_EQ(texts(labels.x), numberTexts(0, 500, 5));
  EXPECT_EQ(texts(labels.y), numberTexts(0, 2, 8));
  if (labels.x.empty() || labels.y.empty()) return;

  // The scheme colours written as SVG colours: 255 × the components, rounded;
  // the fills are half way to white.
  const std::map<std::string, std::pair<std::string, std::string>> colours = {
      {"Alps", {"rgb(38,77,191)", "rgb(147,166,223)"}},
      {"Jura", {"rgb(38,140,64)", "rgb(147,198,159)"}},
      {"Plains", {"rgb(217,140,26)", "rgb(236,198,140)"}},
      {"Coast", {"rgb(191,38,51)", "rgb(223,147,153)"}}};
  const Mapping x = xMapping(labels), y = yMapping(labels);
  const auto rows = dataRows("stations.txt");
  const auto drawn = circles(svg);
  ASSERT_EQ(rows.size(), 48u);
  EXPECT_EQ(drawn.size(), 2 * rows.size());
  for (const auto& row : rows) {
    const double cx = x(std::stod(row[0])), cy = y(std::stod(row[1])), r = 0.2 * std::sqrt(std::stod(row[2]));
    const auto& [stroke, fill] = colours.at(row[3]);
    auto at = [&](const Circle& c) {
      return std::abs(c.cx - cx) < 0.01 && std::abs(c.cy - cy) < 0.01 && std::abs(c.r - r) < 0.001;
    };
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const Circle& c) { return at(c) && c.stroke == stroke; }))
        << row[3] << " outline at altitude " << row[0];
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const Circle& c) { return at(c) && c.fill == fill; }))
        << row[3] << " fill at altitude " << row[0];
  }
}

// Dates read from text: month labels with the year at January, one second
// line for the two years, and the line running from the axis's left end to
// its right end (a date axis is not padded), one day apart per row.
TEST(DemoTemplates, DailyTemperaturesGetADateAxisSpanningExactlyTheData) {
  TemporaryFolder folder;
  const std::string svg = drawSVG("daily-temperature", "daily-temperature.txt", folder);
  const AxisLabels labels = axisLabels(svg);
  EXPECT_EQ(texts(labels.x), (std::vector<std::string>{"Jul", "Aug", "Sep", "Oct", "Nov", "Dec", "2025", "Feb", "Mar",
                                                        "Apr", "May", "Jun"}));
  EXPECT_NE(svg.find(">2024 &amp; 2025</text>"), std::string::npos);
  EXPECT_EQ(texts(labels.y), numberTexts(-5, 5, 7));
  ASSERT_EQ(labels.x.size(), 12u);

  // The frame of the plot area, and the line of the data.
  std::smatch box;
  ASSERT_TRUE(std::regex_search(svg, box, std::regex(R"(<path d="M ([0-9.]+) ([0-9.]+) L ([0-9.]+) \2 L \3 ([0-9.]+) L \1 \4 z )")));
  const double left = std::stod(box[1]), right = std::stod(box[3]);
  const auto rows = dataRows("daily-temperature.txt");
  ASSERT_EQ(rows.size(), 365u);
  const auto line = numbersIn(paths(svg).at(0));
  ASSERT_GE(line.size(), 4u);
  // 1 July 2024 to 1 August: 31 days; to 1 February 2025: 215 days.
  const double perDay = (labels.x[1].x - labels.x[0].x) / 31;
  EXPECT_NEAR(labels.x[7].x - labels.x[0].x, 215 * perDay, 0.01);
  EXPECT_NEAR(line[0], left, 0.01);
  EXPECT_NEAR(labels.x[0].x, left, 0.01);
  EXPECT_NEAR(line[line.size() - 2], right, 0.01);
  EXPECT_NEAR(right - left, 364 * perDay, 0.01);
  const Mapping y = yMapping(labels);
  EXPECT_NEAR(line[1], y(std::stod(rows.front()[1])), 0.01);
  EXPECT_NEAR(line.back(), y(std::stod(rows.back()[1])), 0.01);
}

// A natural cubic spline through the hourly readings, drawn as Bezier
// pieces, and the area between it and y = 0 filled. The control points and
// the filled area are worked out here from the data.
TEST(DemoTemplates, SolarPowerCurveIsTheNaturalSplineAndItsFillReachesZero) {
  TemporaryFolder folder;
  const std::string svg = drawSVG("solar-power", "solar-power.txt", folder);
  const AxisLabels labels = axisLabels(svg);
  EXPECT_EQ(texts(labels.x), numberTexts(4, 2, 9));
  EXPECT_EQ(texts(labels.y), numberTexts(0, 200, 5));
  if (labels.x.empty() || labels.y.empty()) return;
  const Mapping px = xMapping(labels), py = yMapping(labels);

  std::vector<double> x, y;
  for (const auto& row : dataRows("solar-power.txt")) {
    x.push_back(std::stod(row[0]));
    y.push_back(std::stod(row[1]));
  }
  const std::size_t n = x.size();
  ASSERT_EQ(n, 18u);
  // Second derivatives of the natural spline: zero at both ends, the
  // tridiagonal system solved by elimination.
  std::vector<double> h(n - 1), m(n, 0.0), diagonal(n, 0.0), rhs(n, 0.0);
  for (std::size_t i = 0; i + 1 < n; ++i) h[i] = x[i + 1] - x[i];
  for (std::size_t i = 1; i + 1 < n; ++i) {
    diagonal[i] = 2 * (h[i - 1] + h[i]);
    rhs[i] = 6 * ((y[i + 1] - y[i]) / h[i] - (y[i] - y[i - 1]) / h[i - 1]);
  }
  for (std::size_t i = 2; i + 1 < n; ++i) {
    const double factor = h[i - 1] / diagonal[i - 1];
    diagonal[i] -= factor * h[i - 1];
    rhs[i] -= factor * rhs[i - 1];
  }
  for (std::size_t i = n - 2; i >= 1; --i) m[i] = (rhs[i] - (i + 2 < n ? h[i] * m[i + 1] : 0)) / diagonal[i];

  // The stroked curve: "M x0 y0" then one "C" of three points per piece.
  const auto curve = numbersIn(firstPathWith(svg, " C "));
  ASSERT_EQ(curve.size(), 2 + 6 * (n - 1));
  EXPECT_NEAR(curve[0], px(x[0]), 0.01);
  EXPECT_NEAR(curve[1], py(y[0]), 0.01);
  double splineArea = 0;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const double slope = (y[i + 1] - y[i]) / h[i];
    const double d0 = slope - h[i] * (2 * m[i] + m[i + 1]) / 6;
    const double d1 = slope + h[i] * (m[i] + 2 * m[i + 1]) / 6;
    const double expected[6] = {px(x[i] + h[i] / 3),         py(y[i] + d0 * h[i] / 3), px(x[i + 1] - h[i] / 3),
                                py(y[i + 1] - d1 * h[i] / 3), px(x[i + 1]),             py(y[i + 1])};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(curve[2 + 6 * i + k], expected[k], 0.01) << "piece " << i << ", number " << k;
    splineArea += h[i] * (y[i] + y[i + 1]) / 2 - h[i] * h[i] * h[i] * (m[i] + m[i + 1]) / 24;
  }

  // The fill, drawn before the line: closed loops of the flattened curve and
  // the line y = 0. Their areas add up to the spline's integral; the dips
  // below zero between the zero readings count a few square points either
  // way. A fill to the bottom of the frame would be larger by a strip of
  // 17 hours times the padding below zero.
  const std::string fill = paths(svg).at(0);
  ASSERT_NE(fill.find(" z"), std::string::npos);
  double loopsArea = 0;
  double lowest = 0;
  for (std::size_t from = 0, z; (z = fill.find('z', from)) != std::string::npos; from = z + 1) {
    const auto points = numbersIn(fill.substr(from, z - from));
    ASSERT_GE(points.size(), 6u);
    double twice = 0;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
      const std::size_t next = (i + 2) % points.size();
      twice += points[i] * points[next + 1] - points[next] * points[i + 1];
      lowest = std::max(lowest, points[i + 1]);
    }
    loopsArea += std::abs(twice) / 2;
  }
  EXPECT_NEAR(loopsArea, splineArea * px.scale() * -py.scale(), 0.002 * loopsArea);
  // Nothing of the fill reaches further down than the curve's dip below zero.
  EXPECT_LT(lowest, py(0) + 1);
}

}  // namespace
