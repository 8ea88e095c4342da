// Fuzz target for the Line Configuration reading: the five listings and the replies to the
// further listings, split at zero bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "line/LineReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarnwick::fuzz::FuzzInput input(data, size);
  tarnwick::LineListings listings;
  for (std::string* listing :
       {&listings.nat, &listings.bridge, &listings.device, &listings.subnet, &listings.ppp})
    *listing = input.Text();
  const std::string route = input.Text();
  const std::string ipatm = input.Text();
  int asked = 0;
  auto ask = [&](const std::string& command) {
    ++asked;
    return command == "ip route\r\n" ? route : ipatm;
  };
  const tarnwick::LineReading r = tarnwick::ReadLineState(listings, ask, tarnwick::LineReading{});
  FUZZ_CHECK(r.values.Protocol >= 0 && r.values.Protocol <= 5);
  FUZZ_CHECK(r.SinglePvc == 0 || r.SinglePvc == 1);
  FUZZ_CHECK(r.values.Framing >= -1 && r.values.Framing <= 1);
  // At most the gateway and one IPoA listing, or one further-PVC listing.
  FUZZ_CHECK(asked <= 2);
  return 0;
}
