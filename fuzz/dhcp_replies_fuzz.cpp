// Fuzz target for the DHCP page's scans: server and relay replies and a lease, split at zero bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "channel/TextHelpers.h"
#include "fuzz/FuzzSupport.h"
#include "lan/CDHCP.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarnwick::fuzz::FuzzInput input(data, size);
  const std::string config = input.Text();
  const std::string relay = input.Text();
  const std::string lease = input.Text();

  const tarnwick::DhcpReading r = tarnwick::ScanDhcpReplies(config, relay);
  for (const std::string* dotted : {&r.NetworkId, &r.SubnetMask, &r.RangeStart, &r.RangeEnd,
                                    &r.Gateway, &r.PrimaryDns, &r.SecondaryDns})
    FUZZ_CHECK(dotted->size() <= 15);
  FUZZ_CHECK(r.DhcpEnabled == (config.find("netmask") != std::string::npos ? 1 : 0));
  if (!r.LeaseDays.empty()) FUZZ_CHECK(tarnwick::IsValidDecimalNumber(r.LeaseDays));

  // Any lease up to a month comes back to its own seconds after being shown in days.
  const std::string days = tarnwick::LeaseSecondsToDays(lease);
  std::string listed = lease;
  std::erase(listed, ';');
  std::uint64_t seconds = 0;
  std::size_t digits = 0;
  while (digits < listed.size() && digits < 9 && listed[digits] >= '0' && listed[digits] <= '9')
    seconds = seconds * 10 + static_cast<unsigned>(listed[digits++] - '0');
  const bool more = digits < listed.size() && listed[digits] >= '0' && listed[digits] <= '9';
  if (!more && seconds <= 30u * 86400u) {
    const auto back = tarnwick::LeaseDaysToSeconds(days);
    FUZZ_CHECK(back && static_cast<std::uint64_t>(*back) == seconds);
  }
  return 0;
}
