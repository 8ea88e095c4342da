// Fuzz target for the DSL Monitoring scans: the four replies of a refresh, split at zero bytes,
// and the history sample and CSV row made of them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "monitor/CMONITOR.h"
#include "monitor/HistoryCsv.h"
#include "support/Csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarnwick::fuzz::FuzzInput input(data, size);
  tarnwick::DslReplies replies;
  replies.channel = input.Text();
  replies.mode = input.Text();
  replies.line = input.Text();
  replies.channels = input.Text();
  tarnwick::DslReadings readings;
  tarnwick::ScanDslReplies(replies, readings);
  FUZZ_CHECK(readings.LinkStatus == "Alive" || readings.LinkStatus == "Idle");
  if (readings.LinkStatus == "Idle") FUZZ_CHECK(readings.DownFastRate.empty());
  const int mode = tarnwick::ScanModemMode(replies.mode);
  FUZZ_CHECK(mode >= -1 && mode <= 3);

  // Whatever the router printed, its sample's row reads back as one record of every column.
  const tarnwick::DslSample sample = tarnwick::MakeSample(0, replies, true);
  FUZZ_CHECK((sample.link == tarnwick::LinkState::Idle) == (readings.LinkStatus == "Idle"));
  std::vector<std::vector<std::string>> rows;
  FUZZ_CHECK(tarnwick::testing::ParseCsv(tarnwick::CsvRow(sample), rows));
  FUZZ_CHECK(rows.size() == 1 && rows[0].size() == 17);
  FUZZ_CHECK(rows[0][2] == sample.adslMode && rows[0][3] == sample.operationMode);
  return 0;
}
