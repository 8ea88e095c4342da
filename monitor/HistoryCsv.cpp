// CSV rows of samples: ISO 8601 UTC times, numbers in their shortest exact form, empty
// fields for what a poll did not read.
#include "monitor/HistoryCsv.h"

#include <charconv>

namespace tarnwick {
namespace {

constexpr const char* kColumns[] = {
    "time",
    "link",
    "adsl_mode",
    "operation_mode",
    "down_fast_kbps",
    "down_interleaved_kbps",
    "up_fast_kbps",
    "up_interleaved_kbps",
    "down_noise_margin_db",
    "up_noise_margin_db",
    "down_attenuation_db",
    "up_attenuation_db",
    "down_power_dbm",
    "up_power_dbm",
    "tx_packets",
    "rx_good_packets",
    "rx_bad_packets",
};

void Text(std::string& row, const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    row += text;
    return;
  }
  row += '"';
  for (char c : text) {
    if (c == '"') row += '"';
    row += c;
  }
  row += '"';
}

// Shortest text that reads back as the same value, whatever the locale.
template <typename T>
void Figure(std::string& row, const std::optional<T>& value) {
  row += ',';
  if (!value) return;
  char buffer[64];  // the shortest form of any double or integer fits
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *value);
  if (error == std::errc()) row.append(buffer, end);
}

}  // namespace

std::string CsvHeader() {
  std::string header;
  for (const char* column : kColumns) {
    if (!header.empty()) header += ',';
    header += column;
  }
  return header + "\r\n";
}

std::string CsvRow(const DslSample& s) {
  std::string row = FormatIsoUtc(s.time);
  row += ',';
  Text(row, LinkText(s.link));
  row += ',';
  Text(row, s.adslMode);
  row += ',';
  Text(row, s.operationMode);
  for (const auto* figure :
       {&s.downFastKbps, &s.downInterleavedKbps, &s.upFastKbps, &s.upInterleavedKbps,
        &s.downMarginDb, &s.upMarginDb, &s.downAttenuationDb, &s.upAttenuationDb, &s.downPowerDbm,
        &s.upPowerDbm})
    Figure(row, *figure);
  for (const auto* count : {&s.txPackets, &s.rxGoodPackets, &s.rxBadPackets}) Figure(row, *count);
  return row + "\r\n";
}

std::string HistoryCsv(const LineHistory& history) {
  std::string csv = CsvHeader();
  csv.reserve(csv.size() + history.size() * 140);
  for (std::size_t i = 0; i < history.size(); ++i) csv += CsvRow(history[i]);
  return csv;
}

}  // namespace tarnwick
