// Fuzz target for the DSL Monitoring scans: the four replies of a refresh, split at zero bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "monitor/CMONITOR.h"

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
  return 0;
}
