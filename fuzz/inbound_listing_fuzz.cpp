// Fuzz target for the NAT inbound listing scan: any reply text.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "lan/CINBOUND.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  static const std::set<std::string> kNames = {"ethernet", "ipoa",     "r1483",    "ppp_device",
                                               "wan1",     "wanIPOA1", "wandevice"};
  for (const auto& row : tarnwick::ScanInboundListing(reply)) {
    FUZZ_CHECK(kNames.count(row[0]) == 1);
    for (const std::string& cell : row) FUZZ_CHECK(cell.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(row[2].find('(') == std::string::npos);
    // Nothing of the listing comes back in lower case.
    for (char c : row[1] + row[2]) FUZZ_CHECK(c < 'a' || c > 'z');
  }
  return 0;
}
