#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <random>
#include <thread>

#include "platform/DateFormatting.h"
#include "platform/GregorianCalendar.h"

using namespace orrelin;
using gregorian::timeFromComponents;

namespace {

std::shared_ptr<const DateFormatter> formatter(const char* pattern, const char* locale = "en_US") {
  std::string problem;
  auto made = DateFormatter::withPattern(pattern, locale, &problem);
  EXPECT_TRUE(made) << pattern << ": " << problem;
  return made;
}

struct Reading {
  const char* pattern;
  const char* locale;
  const char* text;
  std::optional<double> value;
};

std::ostream& operator<<(std::ostream& out, const Reading& r) {
  return out << r.pattern << " " << r.locale << " \"" << r.text << "\"";
}

class DateReading : public ::testing::TestWithParam<Reading> {};

TEST_P(DateReading, GivesTheTimeValueInGMT) {
  const Reading& r = GetParam();
  const auto made = formatter(r.pattern, r.locale);
  ASSERT_TRUE(made);
  EXPECT_EQ(made->parse(r.text), r.value);
  EXPECT_EQ(made->parseWithICU(r.text), r.value);
}

const std::optional<double> kNone;

INSTANTIATE_TEST_SUITE_P(
    Texts, DateReading,
    ::testing::Values(
        Reading{"M/d/yy", "en_US", "3/4/05", 1109894400},
        Reading{"M/d/yy", "en_US", "  3/4/05\t", 1109894400},  // blanks around are no part of the date
        Reading{"M/d/yy", "en_US", "2/30/05", kNone},          // strict: no such day
        Reading{"M/d/yy", "en_US", "3/4/05 noon", kNone},       // text left over
        Reading{"M/d/yy", "en_US", "", kNone},
        Reading{"M/d/yyyy", "en_US", "2/29/2000", timeFromComponents(2000, 2, 29)},
        Reading{"M/d/yyyy", "en_US", "2/29/1900", kNone},
        Reading{"M/d/yyyy", "en_US", "12/31/1969", -86400},
        Reading{"M/d/yyyy", "en_US", "1/1/1000", timeFromComponents(1000, 1, 1)},  // Gregorian before 1582 too
        Reading{"y-M-d k:m:s", "en_US", "2038-01-19 03:14:08", 2147483648.0},
        Reading{"h:m a M/d/yyyy", "en_US", "1:30 PM 1/1/2000", 946733400},
        Reading{"h:m a M/d/yyyy", "en_US", "1:30 am 1/1/2000", 946690200},
        Reading{"h:m a M/d/yyyy", "en_US", "12:15 AM 1/1/2000", 946685700},
        Reading{"d MMM yyyy", "en_US", "12 Jan 2001", 979257600},
        Reading{"d MMMM yyyy", "de_DE", "4 März 2005", 1109894400},
        Reading{"d MMM yyyy", "fr_FR", "4 mars 2005", 1109894400},
        Reading{"d MMM yyyy", "es_ES", "4 mar 2005", 1109894400},
        Reading{"d MMMM yyyy", "sv_SE", "4 mars 2005", 1109894400},
        Reading{"MMM d yyyy", "ja_JP", "3月 4 2005", 1109894400},
        Reading{"d MMM yy", "ru_RU", "4 мар. 05", 1109894400},
        Reading{"d MMMM yyyy", "en_US", "4 März 2005", kNone},  // another language's month
        Reading{"E, d MMM y k:m:s Z", "en_US", "Fri, 04 Mar 2005 12:30:45 +0100", 1109935845},
        Reading{"yyyyQQQ", "en_US", "2005Q2", timeFromComponents(2005, 4, 1)},
        Reading{"yyyy-MM-dd'T'kk:mm:ss.SSS'Z'", "en_US", "2005-03-04T12:30:45.123Z", 1109939445.123}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(DateFormatter, PatternsThatCannotBeDatesAreRefusedWithAReason) {
  std::string problem;
  EXPECT_FALSE(DateFormatter::withPattern("yyyy-MM-dd 'at", "en_US", &problem));
  EXPECT_EQ(problem, "a quote is not closed");
  EXPECT_FALSE(DateFormatter::withPattern("yyyy-MM-dd j", "en_US", &problem));
  EXPECT_EQ(problem, "\"j\" is no date field");
  EXPECT_FALSE(DateFormatter::withPattern("'date' -", "en_US", &problem));
  EXPECT_EQ(problem, "it has no date or time field");
  EXPECT_FALSE(DateFormatter::withPattern("", "en_US", &problem));
}

TEST(DateFormatter, OneFormatterPerPatternAndLocaleServesEveryEntry) {
  const auto first = formatter("MMM d, yyyy");
  EXPECT_EQ(formatter("MMM d, yyyy"), first);
  EXPECT_NE(formatter("MMM d, yyyy", "de_DE"), first);
  std::vector<std::string> texts;
  for (int k = 0; k < 5000; ++k) texts.push_back(k % 7 ? "Mar " + std::to_string(k % 28 + 1) + ", 2005" : "none");
  std::vector<double> values(texts.size());
  std::vector<std::uint8_t> mask(texts.size());
  const long before = DateFormatter::icuFormattersMade();
  first->parseTexts(texts.data(), texts.size(), "", values.data(), mask.data());
  for (int k = 0; k < 30; ++k) first->parse(texts[k]);
  EXPECT_LE(DateFormatter::icuFormattersMade() - before, 1) << "a working copy at most, made once";
  EXPECT_EQ(values[1], timeFromComponents(2005, 3, 2));
  EXPECT_EQ(mask[7], 0);
  EXPECT_TRUE(std::isnan(values[7]));
}

TEST(DateFormatter, ThreadsReadingAtOnceGetWhatOneThreadGets) {
  const auto shared = formatter("d MMM yyyy HH:mm");
  std::vector<std::string> texts;
  for (int k = 0; k < 4000; ++k)
    texts.push_back(std::to_string(k % 28 + 1) + (k % 2 ? " Feb " : " Oct ") + std::to_string(1900 + k % 200) + " " +
                    std::to_string(k % 24) + ":" + std::to_string(k % 60));
  std::vector<double> alone(texts.size()), first(texts.size()), second(texts.size());
  std::vector<std::uint8_t> mask(texts.size()), mask1(texts.size()), mask2(texts.size());
  shared->parseTexts(texts.data(), texts.size(), "", alone.data(), mask.data());
  std::thread a([&] { shared->parseTexts(texts.data(), texts.size(), "", first.data(), mask1.data()); });
  std::thread b([&] {
    for (std::size_t k = 0; k < texts.size(); ++k) second[k] = shared->parse(texts[k]).value_or(-1);
  });
  a.join();
  b.join();
  EXPECT_EQ(mask1, mask);
  for (std::size_t k = 0; k < texts.size(); ++k) {
    if (!mask[k]) continue;
    EXPECT_EQ(first[k], alone[k]) << texts[k];
    EXPECT_EQ(second[k], alone[k]) << texts[k];
  }
  EXPECT_GT(std::count(mask.begin(), mask.end(), 1), 3000);
}

TEST(DateFormatter, TheNumericShortcutAgreesWithICU) {
  // Texts ICU writes for random moments from 1600 to 2400, and the same
  // texts bent in the ways typed entries go wrong.
  std::mt19937_64 random(20050304);
  std::uniform_real_distribution<double> moments(timeFromComponents(1600, 1, 1), timeFromComponents(2400, 1, 1));
  const char* bends[] = {"0", " ", "-", "9", "00"};
  for (const char* pattern : {"yyyy-MM-dd HH:mm:ss", "M/d/yy", "d.M.y", "y-M-d k:m:s", "yyyy-MM-dd'T'HH:mm:ss.SSS'Z'",
                              "H:m M/d/yyyy", "dd/MM/yyyy", "yy.M.d", "d.M.y H:m:s.S"}) {
    const auto made = formatter(pattern);
    ASSERT_TRUE(made);
    for (int k = 0; k < 1000; ++k) {
      const double moment = std::floor(moments(random) * 1000) / 1000;
      std::string text = made->format(moment);
      if (k % 2) {
        const std::size_t at = random() % (text.size() + 1);
        const char* bend = bends[random() % std::size(bends)];
        if (k % 4 == 1) text.insert(at, bend);
        else if (at < text.size()) text.erase(at, 1);
      }
      ASSERT_EQ(made->parse(text), made->parseWithICU(text)) << pattern << " \"" << text << "\"";
    }
  }
}

TEST(DateFormatter, WritesWhatItReads) {
  EXPECT_EQ(formatter("yyyy/M/d")->format(0), "1970/1/1");
  EXPECT_EQ(formatter("yyyy/M/d H:mm:ss")->format(-0.5), "1969/12/31 23:59:59");
  EXPECT_EQ(formatter("d MMMM ''yy", "fr_FR")->format(1109894400), "4 mars '05");
  EXPECT_EQ(formatter("MMMM d", "de_DE")->format(1109894400), "März 4");
  EXPECT_EQ(formatter("yyyy/M/d")->format(std::nan("")), "");
  const auto precise = formatter("yyyy-MM-dd HH:mm:ss.SSS");
  for (double t : {-1e10, -0.001, 0.0, 1109939445.123, 4e10}) EXPECT_EQ(precise->parse(precise->format(t)), t);
}

TEST(DateFormatter, NoLocalTimeZoneEnters) {
  // A zone fourteen hours east of GMT: were it used anywhere, days would shift.
  const char* before = std::getenv("TZ");
  const std::string saved = before ? before : "";
  setenv("TZ", "Pacific/Kiritimati", 1);
  tzset();
  EXPECT_EQ(formatter("M/d/yy H:m")->parse("3/4/05 0:00"), 1109894400);
  EXPECT_EQ(formatter("MMM d yyyy H:m")->parse("Mar 4 2005 23:59"), 1109894400 + 86340);
  EXPECT_EQ(formatter("yyyy/M/d H:mm")->format(1109894400), "2005/3/4 0:00");
  if (before) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(MonthNames, TwelvePerLocaleStandingAlone) {
  EXPECT_EQ(monthNames("en_US", MonthNameWidth::Abbreviated),
            (std::vector<std::string>{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}));
  EXPECT_EQ(monthNames("de_DE", MonthNameWidth::Wide)[2], "März");
  EXPECT_EQ(monthNames("fr_FR", MonthNameWidth::Wide)[7], "août");
  EXPECT_EQ(monthNames("ja_JP", MonthNameWidth::Abbreviated)[11], "12月");
  for (const char* locale : {"es_ES", "it_IT", "sv_SE", "pt_PT", "nl_NL", "nb_NO", "fi_FI", "da_DK", "ko_KR", "ru_RU",
                             "pl_PL", "is_IS"})
    EXPECT_EQ(monthNames(locale, MonthNameWidth::Abbreviated).size(), 12u) << locale;
}

}  // namespace
