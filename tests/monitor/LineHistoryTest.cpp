// The line history: its bound and its CSV read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "monitor/HistoryCsv.h"
#include "monitor/LineHistory.h"
#include "support/Csv.h"

namespace tarnwick {
namespace {

DslSample At(UtcMillis time) {
  DslSample s;
  s.time = time;
  return s;
}

TEST(LineHistory, KeepsTheNewestSamplesOldestFirst) {
  struct Case {
    std::size_t capacity;
    int appended;
  };
  for (const Case c :
       {Case{1, 0}, Case{1, 1}, Case{1, 5}, Case{4, 3}, Case{4, 4}, Case{4, 9}, Case{4, 13}}) {
    LineHistory history(c.capacity);
    for (int i = 0; i < c.appended; ++i) history.Append(At(i));
    const std::size_t kept =
        std::min<std::size_t>(c.capacity, static_cast<std::size_t>(c.appended));
    ASSERT_EQ(history.size(), kept) << c.capacity << " " << c.appended;
    for (std::size_t i = 0; i < kept; ++i)
      EXPECT_EQ(history[i].time, static_cast<UtcMillis>(c.appended - kept + i))
          << c.capacity << " " << c.appended << " at " << i;
  }
}

// An independent reading of "YYYY-MM-DDTHH:MM:SS.mmmZ", counting days year by year.
bool ParseIsoUtc(const std::string& text, UtcMillis& time) {
  int y, mo, d, h, mi, s, ms;
  char z = 0;
  if (text.size() != 24 ||
      std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c", &y, &mo, &d, &h, &mi, &s, &ms,
                  &z) != 8 ||
      z != 'Z')
    return false;
  auto leap = [](int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; };
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  long long days = 0;
  for (int year = 1970; year < y; ++year) days += leap(year) ? 366 : 365;
  for (int year = y; year < 1970; ++year) days -= leap(year) ? 366 : 365;
  for (int month = 1; month < mo; ++month) days += monthDays[month - 1] + (month == 2 && leap(y));
  days += d - 1;
  time = ((days * 24 + h) * 60 + mi) * 60000LL + s * 1000LL + ms;
  return true;
}

TEST(HistoryCsv, TimesAreUtcWithMilliseconds) {
  const std::vector<std::pair<UtcMillis, std::string>> cases = {
      {0, "1970-01-01T00:00:00.000Z"},
      {-1, "1969-12-31T23:59:59.999Z"},
      {946684799999, "1999-12-31T23:59:59.999Z"},
      {951827696789, "2000-02-29T12:34:56.789Z"},
      {2147483648000, "2038-01-19T03:14:08.000Z"},
      {4107542400000, "2100-03-01T00:00:00.000Z"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(FormatIsoUtc(time), text) << time;
}

template <typename T>
void ExpectField(const std::string& field, const std::optional<T>& value, const char* what) {
  if (!value) {
    EXPECT_EQ(field, "") << what;
    return;
  }
  T read{};
  auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), read);
  EXPECT_TRUE(error == std::errc() && end == field.data() + field.size()) << what << " " << field;
  EXPECT_EQ(read, *value) << what << " " << field;
}

TEST(HistoryCsv, ReadsBackAsWritten) {
  LineHistory history;
  DslSample full = At(951827696789);
  full.link = LinkState::Alive;
  full.adslMode = "multi";
  full.operationMode = "G.dmt";
  full.downFastKbps = 0;
  full.downInterleavedKbps = 7616;
  full.upFastKbps = 0;
  full.upInterleavedKbps = 832;
  full.downMarginDb = 9.1;
  full.upMarginDb = 0.1 + 0.2;  // not a short decimal: must still read back exactly
  full.downAttenuationDb = 32.5;
  full.upAttenuationDb = -0.5;
  full.downPowerDbm = 19.5;
  full.upPowerDbm = 12;
  full.txPackets = std::numeric_limits<std::uint64_t>::max();
  full.rxGoodPackets = 1234567;
  full.rxBadPackets = 0;
  history.Append(full);
  DslSample idle = At(951827699789);
  idle.link = LinkState::Idle;
  idle.adslMode = "glite";
  history.Append(idle);
  // Texts that need quoting, should a router ever report them.
  DslSample quoted = At(951827702789);
  quoted.adslMode = "say \"multi\", then\r\nretrain";
  quoted.operationMode = ",";
  quoted.downInterleavedKbps = 1e9;
  history.Append(quoted);

  std::vector<std::vector<std::string>> rows;
  ASSERT_TRUE(testing::ParseCsv(HistoryCsv(history), rows));
  ASSERT_EQ(rows.size(), history.size() + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{
                         "time", "link", "adsl_mode", "operation_mode", "down_fast_kbps",
                         "down_interleaved_kbps", "up_fast_kbps", "up_interleaved_kbps",
                         "down_noise_margin_db", "up_noise_margin_db", "down_attenuation_db",
                         "up_attenuation_db", "down_power_dbm", "up_power_dbm", "tx_packets",
                         "rx_good_packets", "rx_bad_packets"}));
  for (std::size_t i = 0; i < history.size(); ++i) {
    const DslSample& s = history[i];
    const std::vector<std::string>& row = rows[i + 1];
    ASSERT_EQ(row.size(), 17u) << i;
    UtcMillis time = 0;
    EXPECT_TRUE(ParseIsoUtc(row[0], time)) << row[0];
    EXPECT_EQ(time, s.time);
    EXPECT_EQ(row[1], LinkText(s.link));
    EXPECT_EQ(row[2], s.adslMode);
    EXPECT_EQ(row[3], s.operationMode);
    ExpectField(row[4], s.downFastKbps, "down fast");
    ExpectField(row[5], s.downInterleavedKbps, "down interleaved");
    ExpectField(row[6], s.upFastKbps, "up fast");
    ExpectField(row[7], s.upInterleavedKbps, "up interleaved");
    ExpectField(row[8], s.downMarginDb, "down margin");
    ExpectField(row[9], s.upMarginDb, "up margin");
    ExpectField(row[10], s.downAttenuationDb, "down attenuation");
    ExpectField(row[11], s.upAttenuationDb, "up attenuation");
    ExpectField(row[12], s.downPowerDbm, "down power");
    ExpectField(row[13], s.upPowerDbm, "up power");
    ExpectField(row[14], s.txPackets, "tx");
    ExpectField(row[15], s.rxGoodPackets, "rx good");
    ExpectField(row[16], s.rxBadPackets, "rx bad");
  }
  EXPECT_EQ(rows[2][1], "Idle");
  EXPECT_EQ(rows[3][1], "timeout");
}

}  // namespace
}  // namespace tarnwick
