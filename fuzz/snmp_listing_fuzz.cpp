// Fuzz target for the SNMP community listing scan: any reply text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "routing/CSMNP.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  for (const auto& row : tarnwick::ScanCommunityListing(reply)) {
    FUZZ_CHECK(row.size() == 3);
    FUZZ_CHECK(row[0] == "Write" || row[0] == "Read");
    // Cells go back into delete lines whole: no blank or line end may hide in them.
    for (std::size_t c = 1; c < 3; ++c)
      FUZZ_CHECK(row[c].find_first_of(" \r\n") == std::string::npos);
  }
  return 0;
}
