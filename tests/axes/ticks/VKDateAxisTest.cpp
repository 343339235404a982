#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>
#include <vector>

#include "TickTestSupport.h"
#include "axes/ticks/KRAxis.h"
#include "axes/ticks/VKDateAxis.h"
#include "platform/GregorianCalendar.h"

using namespace orrelin;
using namespace orrelin::testing_support;

namespace {

constexpr double kMinute = 60;
constexpr double kHour = 3600;
constexpr double kDay = 86400;
constexpr double kYear = 365.2425 * kDay;
const double kNaN = std::nan("");

double at(std::int64_t year, int month, int day, double hour = 0, double minute = 0, double second = 0) {
  return gregorian::timeFromComponents(year, month, day, hour, minute, second);
}

std::shared_ptr<VKDateAxis> dateAxis(double min, double max, double length, double tickSpace = 40,
                                     bool twoLines = true, std::string_view language = "us") {
  return VKDateAxis::withMinValue(min, max, length, tickSpace, min, max, twoLines, language);
}

std::vector<double> every(double first, double step, int count) {
  std::vector<double> values;
  for (int i = 0; i < count; ++i) values.push_back(first + i * step);
  return values;
}

std::string secondLine(const VKDateAxis& axis) {
  return axis.secondLineOfLabels().empty() ? "" : axis.secondLineOfLabels().front().text;
}

TEST(DateAxis, SameDayHoursOnEvenHours) {
  // 10 hours over 500 points: an hour is 50 points, short of 1.3 × 40, so
  // ticks every 2 hours; quarter hours (12.5 points) reach a quarter of 40.
  auto axis = dateAxis(at(2007, 3, 1, 8), at(2007, 3, 1, 18), 500);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), every(at(2007, 3, 1, 8), 2 * kHour, 6)));
  EXPECT_EQ(axis->firstLineOfLabels(), (std::vector<std::string>{"8:00", "10:00", "12:00", "14:00", "16:00", "18:00"}));
  EXPECT_EQ(axis->minorTickMarks().size(), 5u * 7);
  EXPECT_DOUBLE_EQ(axis->minorTickMarks().front(), at(2007, 3, 1, 8, 15));
  ASSERT_EQ(axis->secondLineOfLabels().size(), 1u);
  EXPECT_EQ(axis->secondLineOfLabels()[0],
            (VKDateAxisLabel{"Mar 1 2007", at(2007, 3, 1, 13), at(2007, 3, 1, 8), at(2007, 3, 1, 18)}));
}

struct SameDayCase {
  const char* what;
  double span;    // seconds from 2007-03-01 00:00
  double length;  // points; the tick space is 40
  double majorStep;
  double minorStep;  // 0: none
  std::vector<std::string> firstLabels;
};

class SameDaySteps : public testing::TestWithParam<SameDayCase> {};

TEST_P(SameDaySteps, FollowTheRulesForSecondsMinutesAndHours) {
  const auto& c = GetParam();
  const double start = at(2007, 3, 1);
  auto axis = dateAxis(start, start + c.span, c.length);
  const auto& major = axis->majorTickMarks();
  ASSERT_GE(major.size(), c.firstLabels.size());
  EXPECT_NEAR(major[1] - major[0], c.majorStep, 1e-6);
  if (c.minorStep == 0) {
    EXPECT_TRUE(axis->minorTickMarks().empty());
  } else {
    ASSERT_FALSE(axis->minorTickMarks().empty());
    EXPECT_NEAR(axis->minorTickMarks()[0] - start, c.minorStep, 1e-6);
  }
  std::vector<std::string> first(axis->firstLineOfLabels().begin(),
                                 axis->firstLineOfLabels().begin() + std::ptrdiff_t(c.firstLabels.size()));
  EXPECT_EQ(first, c.firstLabels);
  EXPECT_EQ(secondLine(*axis), "Mar 1 2007");
}

INSTANTIATE_TEST_SUITE_P(
    DateAxis, SameDaySteps,
    testing::Values(
        // A second is 10 points: 15 s is the first step reaching 2 × 40; 5 s
        // minor steps (50 points) reach 40 / 3, 1 s does not.
        SameDayCase{"seconds", 60, 600, 15, 5, {"0:00:00", "0:00:15", "0:00:30"}},
        // 100 points per second: 1 s reaches 2 × 40, and tenths of a
        // second are no minor steps of whole seconds.
        SameDayCase{"single seconds", 10, 1000, 1, 0, {"0:00:00", "0:00:01"}},
        // 1000 points per second: tenths (100 points) are the first
        // fraction with room for 1.3 × a 10-character label.
        SameDayCase{"tenths", 1, 1000, 0.1, 0.05, {"0:00:00.0", "0:00:00.1", "0:00:00.2"}},
        SameDayCase{"milliseconds", 0.1, 5000, 0.005, 0.001, {"0:00:00.000", "0:00:00.005"}},
        // A minute is 5 points: 15 minutes (75 points) is the first to
        // reach 1.7 × 40; 5-minute minor steps are 25 points.
        SameDayCase{"minutes", 2 * kHour, 600, 15 * kMinute, 5 * kMinute, {"0:00", "0:15", "0:30"}},
        SameDayCase{"single minutes", 10 * kMinute, 600, kMinute, 0, {"0:00", "0:01", "0:02"}},
        SameDayCase{"hours", 11 * kHour, 700, kHour, 15 * kMinute, {"0:00", "1:00"}},
        // 6 hours are 40 points, short of 1.3 × 40; 3-hour minor steps reach
        // a quarter of it.
        SameDayCase{"half days", 23 * kHour + 59 * kMinute, 160, 12 * kHour, 3 * kHour, {"0:00", "12:00"}}),
    [](const testing::TestParamInfo<SameDayCase>& info) {
      std::string name = info.param.what;
      for (auto& c : name)
        if (c == ' ') c = '_';
      return name;
    });

TEST(DateAxis, SameDayTooShortForHoursTicksAtMidnight) {
  auto axis = dateAxis(at(2007, 3, 1), at(2007, 3, 1, 23, 59), 50);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), {at(2007, 3, 1)}));
  EXPECT_EQ(axis->firstLineOfLabels(), std::vector<std::string>{"0:00"});
}

TEST(DateAxis, DaysAcrossTheNewYear) {
  const double start = at(2006, 12, 30), end = at(2007, 1, 2);
  // 12 hours are 67 points: hour ticks across the days, and the days they
  // cover on the second line.
  auto hours = VKDateAxis::withMinValue(start, end, 400, 40, start, end, true, "us");
  EXPECT_TRUE(sameTicks(hours->majorTickMarks(), every(start, 12 * kHour, 7)));
  EXPECT_EQ(hours->firstLineOfLabels()[1], "12:00");
  EXPECT_TRUE(sameTicks(hours->veryMajorTickMarks(), every(start, kDay, 4)));
  EXPECT_EQ(secondLine(*hours), "Dec 30 2006 - Jan 1 2007");
  // Data from the start of the 31st to the end of the 1st.
  auto twoDays = VKDateAxis::withMinValue(start, end, 400, 40, at(2006, 12, 31), end, true, "us");
  EXPECT_EQ(secondLine(*twoDays), "Dec 31 2006 - Jan 1 2007");

  // Shorter: one tick a day; the first of each month names its month.
  auto days = dateAxis(start, end, 150);
  EXPECT_TRUE(sameTicks(days->majorTickMarks(), every(start, kDay, 4)));
  EXPECT_EQ(days->firstLineOfLabels(), (std::vector<std::string>{"Dec 30", "31", "Jan", "2"}));
  EXPECT_TRUE(sameTicks(days->veryMajorTickMarks(), {at(2007, 1, 1)}));
  EXPECT_EQ(secondLine(*days), "Dec 2006 & Jan 2007");
}

TEST(DateAxis, WeeksStartOnMondayAndNameEachNewMonth) {
  // A day is 15 points, a week 108: weeks, with days as minor ticks.
  auto axis = dateAxis(at(2007, 1, 10), at(2007, 5, 20), 2000);
  const auto& labels = axis->firstLineOfLabels();
  ASSERT_GE(labels.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 6),
            (std::vector<std::string>{"Jan 15", "22", "29", "Feb 5", "12", "19"}));
  for (double tick : axis->majorTickMarks()) EXPECT_EQ(gregorian::weekday(tick), 2);
  // Every midnight from 10 January to 20 May (131 of them) is a tick.
  EXPECT_EQ(axis->minorTickMarks().size(), 131u - axis->majorTickMarks().size());
  EXPECT_TRUE(sameTicks(axis->veryMajorTickMarks(), {at(2007, 2, 1), at(2007, 3, 1), at(2007, 4, 1), at(2007, 5, 1)}));
  EXPECT_EQ(secondLine(*axis), "Jan - May, 2007");
}

TEST(DateAxis, SecondLineNamesOneTwoOrSeveralUnits) {
  struct Case {
    double min, max, length;
    const char* text;
  };
  const Case cases[] = {
      {at(2007, 3, 31, 18), at(2007, 4, 1, 6), 400, "Mar 31 & Apr 1 - 2007"},
      {at(2007, 3, 3), at(2007, 3, 6), 600, "Mar 3 - Mar 5, 2007"},
      {at(2007, 3, 1), at(2007, 3, 31), 400, "Mar 2007"},
      {at(2007, 3, 20), at(2007, 4, 10), 400, "Mar & Apr - 2007"},
      {at(2007, 3, 1), at(2007, 6, 30), 600, "Mar - Jun, 2007"},
      {at(2006, 11, 1), at(2007, 2, 28), 600, "Nov 2006 - Feb 2007"},
      {at(2006, 12, 10), at(2007, 1, 20), 400, "Dec 2006 & Jan 2007"},
      {at(2006, 3, 1), at(2007, 9, 1), 400, "2006 & 2007"},
      {at(2004, 1, 1), at(2008, 1, 1), 800, "2004 - 2007"},
      // Too short for any month step: no tick, but the year is named.
      {at(2007, 2, 1), at(2007, 11, 1), 30, "2007"},
  };
  for (const auto& c : cases) {
    auto axis = dateAxis(c.min, c.max, c.length);
    EXPECT_EQ(secondLine(*axis), c.text) << c.text;
    EXPECT_TRUE(dateAxis(c.min, c.max, c.length, 40, false)->secondLineOfLabels().empty());
  }
}

TEST(DateAxis, ManyYearsTakeYearsOnly) {
  // A year is under 7 points, less than 3 × 40: decades (66 points) with
  // five-year minor ticks; the century is very major.
  auto axis = dateAxis(at(1980, 1, 1), at(2010, 1, 1), 200);
  EXPECT_TRUE(sameTicks(axis->majorTickMarks(), {at(1980, 1, 1), at(1990, 1, 1), at(2000, 1, 1), at(2010, 1, 1)}));
  EXPECT_EQ(axis->firstLineOfLabels(), (std::vector<std::string>{"1980", "1990", "2000", "2010"}));
  EXPECT_TRUE(sameTicks(axis->minorTickMarks(), {at(1985, 1, 1), at(1995, 1, 1), at(2005, 1, 1)}));
  EXPECT_TRUE(sameTicks(axis->veryMajorTickMarks(), {at(2000, 1, 1)}));
  EXPECT_TRUE(axis->secondLineOfLabels().empty());
}

TEST(DateAxis, SeveralYearsWithRoomTakeMainMonths) {
  // A year is 200 points: quarters (at least 49 points) are the finest
  // month step; January carries the year.
  auto axis = dateAxis(at(2005, 1, 1), at(2008, 1, 1), 600);
  const auto& labels = axis->firstLineOfLabels();
  ASSERT_EQ(labels.size(), 13u);
  EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 6),
            (std::vector<std::string>{"2005", "Apr", "Jul", "Oct", "2006", "Apr"}));
  EXPECT_DOUBLE_EQ(axis->majorTickMarks()[1], at(2005, 4, 1));
  EXPECT_TRUE(sameTicks(axis->veryMajorTickMarks(),
                        {at(2005, 1, 1), at(2006, 1, 1), at(2007, 1, 1), at(2008, 1, 1)}));
  EXPECT_EQ(secondLine(*axis), "2005 - 2007");
}

// Every range from a second to 500 years at three lengths: the major ticks
// are whole calendar units of their spacing, never closer than the tick
// space on the page, and each label names its tick's time.
class DateAxisRanges : public testing::TestWithParam<std::tuple<double, double>> {};

// What a label must read for a tick `gap` seconds from its neighbour.
void expectLabelNamesTick(const std::string& label, double tick, double gap) {
  const auto parts = *gregorian::dateComponents(tick);
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::smatch match;
  static const std::regex clock(R"(^(\d{1,2}):(\d\d)(?::(\d\d)(\.\d+)?)?$)");
  static const std::regex whole(R"(^-?\d+$)");
  if (std::regex_match(label, match, clock)) {
    EXPECT_LT(gap, kDay + 1) << label;
    EXPECT_EQ(std::stoi(match[1]), parts.hour) << label;
    EXPECT_EQ(std::stoi(match[2]), parts.minute) << label;
    if (match[3].matched) {
      EXPECT_NEAR(std::stod(match[3].str() + match[4].str()), parts.second, 1e-6) << label;
    }
  } else if (label == kMonths[parts.month - 1]) {
    EXPECT_EQ(parts.day, 1) << label;
  } else if (label.size() > 4 && label.substr(0, 4) == std::string(kMonths[parts.month - 1]) + " ") {
    EXPECT_EQ(label.substr(4), std::to_string(parts.day));
    EXPECT_LT(gap, 28 * kDay) << label;
  } else {
    ASSERT_TRUE(std::regex_match(label, whole)) << label;
    const auto value = std::stoll(label);
    EXPECT_TRUE((value == parts.day && gap < 28 * kDay) || (value == parts.year && parts.month == 1 && parts.day == 1))
        << label;
  }
}

// The axis of the case the calendar components of the ends call for: one
// day, one year, two neighbouring years, or several years with or without
// room for months.
std::shared_ptr<VKDateAxis> axisOfExpectedCase(double min, double max, double length, double tickSpace,
                                               std::string* name) {
  const auto a = *gregorian::dateComponents(min), b = *gregorian::dateComponents(max);
  const double range = max - min;
  if (a.year == b.year && a.month == b.month && a.day == b.day) {
    *name = "same day";
    return VKDateAxis::sameDayMinValue(min, a, max, b, length, tickSpace, min, max, "us");
  }
  if (a.year == b.year) {
    *name = "same year";
    return VKDateAxis::sameYearDifferentDaysMinValue(min, a, max, b, length, tickSpace, range, min, max, true, "us");
  }
  if (b.year == a.year + 1) {
    *name = "two years";
    return VKDateAxis::twoYearsMinValue(min, a, max, b, length, tickSpace, range, min, max, true, "us");
  }
  if (length / range * 365 * kDay < 3 * tickSpace) {
    *name = "years only";
    return VKDateAxis::yearsOnlyMinValue(min, a, max, b, length, tickSpace, min, max, "us");
  }
  *name = "years and months";
  return VKDateAxis::yearsAndMainMonths(min, a, max, b, length, tickSpace, min, max, "us");
}

TEST_P(DateAxisRanges, MajorTicksAreWholeUnitsSpacedAndNamed) {
  const auto [span, length] = GetParam();
  constexpr double kTickSpace = 40;
  // Odd starting points, so that ticks must be searched for.
  for (double start : {at(2007, 3, 1, 8, 17, 23.5), at(1999, 12, 31, 23, 59, 59), at(1969, 7, 20, 20, 17)}) {
    SCOPED_TRACE(testing::Message() << "start " << start << " span " << span << " length " << length);
    auto axis = dateAxis(start, start + span, length, kTickSpace);
    std::string which;
    auto expected = axisOfExpectedCase(start, start + span, length, kTickSpace, &which);
    ASSERT_TRUE(expected) << which;
    EXPECT_EQ(axis->majorTickMarks(), expected->majorTickMarks()) << which;
    EXPECT_EQ(axis->firstLineOfLabels(), expected->firstLineOfLabels()) << which;
    EXPECT_EQ(axis->secondLineOfLabels(), expected->secondLineOfLabels()) << which;
    const auto& major = axis->majorTickMarks();
    const auto& labels = axis->firstLineOfLabels();
    ASSERT_EQ(labels.size(), major.size());
    for (std::size_t i = 0; i < major.size(); ++i) {
      EXPECT_GE(major[i], start - 1e-6);
      EXPECT_LE(major[i], start + span + 1e-6);
      // A lone tick has no spacing to hold it to.
      const double gap = major.size() > 1 ? (i > 0 ? major[i] - major[i - 1] : major[1] - major[0]) : 0;
      if (i > 0) {
        EXPECT_GE(gap * length / span, kTickSpace * (1 - 1e-9)) << i;
      }
      // The wider the spacing, the more of the time is whole: the part
      // below each unit the spacing reaches is zero.
      const auto parts = *gregorian::dateComponents(major[i]);
      const std::pair<double, double> wholeBelow[] = {{1, parts.second - std::round(parts.second)},
                                                      {kMinute, parts.second},
                                                      {kHour, parts.minute},
                                                      {kDay, parts.hour},
                                                      {28 * kDay, parts.day - 1},
                                                      {365 * kDay, parts.month - 1}};
      for (const auto& [unit, below] : wholeBelow)
        EXPECT_TRUE(gap < unit || std::fabs(below) < 1e-6) << "spacing " << gap << " reaches " << unit;
      expectLabelNamesTick(labels[i], major[i], gap);
    }
    // Wide enough axes always get at least one labelled tick.
    EXPECT_TRUE(length < 300 || !major.empty());
    for (double tick : axis->minorTickMarks()) {
      EXPECT_GE(tick, start - 1e-6);
      EXPECT_LE(tick, start + span + 1e-6);
    }
    EXPECT_LE(axis->secondLineOfLabels().size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(DateAxis, DateAxisRanges,
                         testing::Combine(testing::Values(1.0, 20.0, 5 * kMinute, 3 * kHour, 20 * kHour, 3 * kDay,
                                                          20 * kDay, 100 * kDay, 300 * kDay, 700 * kDay, 5 * kYear,
                                                          30 * kYear, 500 * kYear),
                                          testing::Values(150.0, 500.0, 2000.0)));

TEST(DateAxis, DegenerateRangesGiveEmptyAxes) {
  const double t = at(2007, 3, 1);
  for (auto axis : {dateAxis(t, t, 500), dateAxis(t + 10, t, 500), dateAxis(kNaN, t, 500), dateAxis(t, INFINITY, 500),
                    dateAxis(t, t + kDay, 0), dateAxis(t, t + kDay, -5), dateAxis(t, t + kDay, 500, 0),
                    dateAxis(t, t + kDay, 500, kNaN), dateAxis(-1e17, t, 500), dateAxis(t, t + 1e-300, 500)}) {
    ASSERT_TRUE(axis);
    EXPECT_TRUE(axis->isEmpty());
    EXPECT_TRUE(axis->firstLineOfLabels().empty());
  }
}

TEST(DateAxis, ExtremeRangesStayBounded) {
  // A million years either side of year 0.
  const double min = at(-1'000'000, 1, 1), max = at(1'000'000, 1, 1);
  auto axis = dateAxis(min, max, 500);
  ASSERT_FALSE(axis->majorTickMarks().empty());
  EXPECT_LE(axis->majorTickMarks().size(), 13u);
  EXPECT_EQ(axis->firstLineOfLabels().front(), "-1000000");
  EXPECT_EQ(axis->firstLineOfLabels().back(), "1000000");
  // At the calendar's end doubles are 2 seconds apart: fine steps must
  // neither loop nor repeat a tick.
  auto far = dateAxis(1e16 - 16, 1e16, 1e6);
  EXPECT_FALSE(far->majorTickMarks().empty());
  EXPECT_TRUE(std::is_sorted(far->majorTickMarks().begin(), far->majorTickMarks().end(), std::less_equal<>()));
  EXPECT_EQ(far->firstLineOfLabels().size(), far->majorTickMarks().size());
  // An absurd length puts no more than 20000 ticks of any kind.
  for (double span : {1.0, kDay, kYear, 1000 * kYear}) {
    auto dense = dateAxis(at(2007, 3, 1), at(2007, 3, 1) + span, 1e12, 1);
    EXPECT_LE(dense->majorTickMarks().size(), 20001u);
    EXPECT_LE(dense->minorTickMarks().size(), 20001u);
    EXPECT_EQ(dense->firstLineOfLabels().size(), dense->majorTickMarks().size());
  }
}

TEST(DateAxis, MonthNamesFollowTheLanguage) {
  EXPECT_EQ(VKDateAxis::shortMonthLabels("us"),
            (std::vector<std::string>{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov",
                                      "Dec"}));
  EXPECT_EQ(VKDateAxis::shortMonthLabels(""), VKDateAxis::shortMonthLabels("us"));
  EXPECT_EQ(VKDateAxis::shortMonthLabels("no such language"), VKDateAxis::shortMonthLabels("us"));
  // Tags and locales name the same language.
  EXPECT_EQ(VKDateAxis::shortMonthLabels("de"), VKDateAxis::shortMonthLabels("de_DE"));
  for (const char* language : {"de", "fr", "es", "it", "sv", "pt", "nl", "ja", "no", "fi", "da", "ko", "ru", "pl", "is"}) {
    const auto& names = VKDateAxis::shortMonthLabels(language);
    ASSERT_EQ(names.size(), 12u) << language;
    EXPECT_NE(names, VKDateAxis::shortMonthLabels("us")) << language;
  }
  // Half months: 1 April, 15 April, 1 May.
  auto axis = dateAxis(at(2007, 3, 20), at(2007, 5, 10), 150, 40, true, "de");
  const auto& german = VKDateAxis::shortMonthLabels("de");
  EXPECT_EQ(axis->firstLineOfLabels(), (std::vector<std::string>{german[3], "15", german[4]}));
  EXPECT_EQ(secondLine(*axis), german[2] + " - " + german[4] + ", 2007");
}

TEST(DateAxis, TicksDoNotDependOnTheLocalTimeZone) {
  const double min = at(2007, 3, 1, 8), max = at(2007, 3, 9, 18);
  auto ticksIn = [&](const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
    auto axis = dateAxis(min, max, 800);
    return std::make_tuple(axis->majorTickMarks(), axis->minorTickMarks(), axis->firstLineOfLabels(),
                           secondLine(*axis));
  };
  const char* saved = std::getenv("TZ");
  std::string before = saved ? saved : "";
  auto gmt = ticksIn("UTC");
  EXPECT_EQ(ticksIn("Pacific/Kiritimati"), gmt);
  EXPECT_EQ(ticksIn("America/St_Johns"), gmt);
  if (saved) setenv("TZ", before.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

TEST(DateAxis, LayoutHooksUseTheFontSize) {
  EXPECT_DOUBLE_EQ(dateAxisMinTickSpace(12), 40);
  EXPECT_DOUBLE_EQ(dateAxisMinTickSpace(24), 80);
  const double min = at(2007, 3, 1, 8), max = at(2007, 3, 1, 18);
  // 24-point numbers need 80 points: 2-hour steps (100 points) at 12 points
  // become 3-hour steps (150 points) at 24.
  auto small = dateAxisForLength(min, max, 500, 12, min, max, true, "us");
  auto large = dateAxisForLength(min, max, 500, 24, min, max, false, "us");
  EXPECT_NEAR(small->majorTickMarks()[1] - small->majorTickMarks()[0], 2 * kHour, 1e-6);
  EXPECT_NEAR(large->majorTickMarks()[1] - large->majorTickMarks()[0], 3 * kHour, 1e-6);
  EXPECT_FALSE(small->secondLineOfLabels().empty());
  EXPECT_TRUE(large->secondLineOfLabels().empty());

  auto ticks = small->tickAxis();
  EXPECT_EQ(ticks->majorTickMarks(), small->majorTickMarks());
  EXPECT_EQ(ticks->majorTickMarkLabels(), small->firstLineOfLabels());
  EXPECT_EQ(ticks->minorTickMarks(), small->minorTickMarks());
  small->removeSecondLine();
  EXPECT_TRUE(small->secondLineOfLabels().empty());
}

}  // namespace
