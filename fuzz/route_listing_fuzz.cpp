// Fuzz target for the Route Table listing scan: any reply text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "routing/CROUTE.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const auto rows = tarnwick::ScanRouteListing(reply);
  if (!rows) {
    FUZZ_CHECK(reply.find("Routing table is empty") != std::string::npos);
    return 0;
  }
  for (std::size_t i = 0; i < rows->size(); ++i) {
    const auto& cells = (*rows)[i];
    // Only the row the scan stopped in may be short.
    FUZZ_CHECK(!cells.empty() && cells.size() <= 4);
    FUZZ_CHECK(cells.size() == 4 || i + 1 == rows->size());
    FUZZ_CHECK(cells[0].find_first_of(" \n") == std::string::npos);
    for (std::size_t c = 1; c < cells.size(); ++c)
      FUZZ_CHECK(cells[c].find_first_of(" \n") == std::string::npos && !cells[c].empty());
  }
  return 0;
}
