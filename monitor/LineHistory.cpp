// Samples from the page's scan, their UTC times, and the bounded ring that keeps them.
#include "monitor/LineHistory.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "monitor/CMONITOR.h"

namespace tarnwick {
namespace {

// The whole text must be the number; "12.5 dB" or "n/a" are not read.
template <typename T>
std::optional<T> Number(const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || text.empty()) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    // from_chars takes "inf" and "nan" too.
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, and back (eras of
// 400 years, each of 146097 days).
struct Date {
  int year, month, day;
};

Date DateOfDay(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthFromMarch = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const unsigned month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

}  // namespace

UtcMillis SystemUtcNow() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

CivilTime ToCivil(UtcMillis time) {
  constexpr std::int64_t kDayMs = 86400000;
  std::int64_t days = time / kDayMs;
  std::int64_t rest = time % kDayMs;
  if (rest < 0) {
    rest += kDayMs;
    --days;
  }
  const Date date = DateOfDay(days);
  const auto ms = static_cast<int>(rest);
  return {date.year,       date.month,     date.day, ms / 3600000,
          ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
}

std::string FormatIsoUtc(UtcMillis time) {
  const CivilTime c = ToCivil(time);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", c.year, c.month, c.day,
                c.hour, c.minute, c.second, c.millisecond);
  return text;
}

const char* LinkText(LinkState link) {
  switch (link) {
    case LinkState::Alive:
      return "Alive";
    case LinkState::Idle:
      return "Idle";
    case LinkState::Timeout:
      return "timeout";
  }
  return "timeout";
}

DslSample MakeSample(UtcMillis time, const DslReplies& replies, bool complete) {
  DslReadings r;
  ScanDslReplies(replies, r);
  DslSample s;
  s.time = time;
  s.link = !complete ? LinkState::Timeout
                     : (r.LinkStatus == "Idle" ? LinkState::Idle : LinkState::Alive);
  s.adslMode = r.AdslMode;
  s.operationMode = r.OperationMode;
  s.downFastKbps = Number<double>(r.DownFastRate);
  s.downInterleavedKbps = Number<double>(r.DownInterleavedRate);
  s.upFastKbps = Number<double>(r.UpFastRate);
  s.upInterleavedKbps = Number<double>(r.UpInterleavedRate);
  s.downMarginDb = Number<double>(r.DownNoiseMargin);
  s.upMarginDb = Number<double>(r.UpNoiseMargin);
  s.downAttenuationDb = Number<double>(r.DownAttenuation);
  s.upAttenuationDb = Number<double>(r.UpAttenuation);
  s.downPowerDbm = Number<double>(r.DownOutputPower);
  s.upPowerDbm = Number<double>(r.UpOutputPower);
  s.txPackets = Number<std::uint64_t>(r.PacketsTransmitted);
  s.rxGoodPackets = Number<std::uint64_t>(r.PacketsReceivedGood);
  s.rxBadPackets = Number<std::uint64_t>(r.PacketsReceivedBad);
  return s;
}

LineHistory::LineHistory(std::size_t capacity) : capacity_(capacity > 0 ? capacity : 1) {}

void LineHistory::Append(DslSample sample) {
  if (ring_.size() < capacity_) {
    // Grown as samples come: a short session never holds a day's worth of memory.
    ring_.push_back(std::move(sample));
    return;
  }
  ring_[head_] = std::move(sample);
  head_ = head_ + 1 == ring_.size() ? 0 : head_ + 1;
}

}  // namespace tarnwick
