// Fuzz target for the Multiple PVC reading: line-state flags, then the listings split at zero
// bytes; the rows read are then written as the Apply script.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "multipvc/PvcTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarnwick;
  fuzz::FuzzInput input(data, size);
  const std::uint8_t flags = input.Byte();
  LineState line;
  line.PvcModeNormal = flags & 1;
  line.BridgeLossAccepted = (flags >> 1) & 1;
  line.LineChangedSinceRead = (flags >> 2) & 1;
  line.ReadVpi = "0";
  line.ReadVci = "35";
  PvcValues values;
  values.PppSeeded = (flags >> 3) & 1;
  values.EntryProtocol = (flags >> 4) % 6;
  values.EntryVpi = "0";
  values.EntryVci = "35";
  values.LanIp = "192.168.1.1";
  values.LanMask = "ff:ff:ff:0";

  const std::string bridge = input.Text(), devices = input.Text(), subnets = input.Text();
  const std::string ppp = input.Text(), pppAgain = input.Text(), nat = input.Text();
  const std::string ipatm = input.Text(), routes = input.Text();
  int pppAsked = 0, asked = 0;
  const ReplyFetcher fetch = [&](const std::string& command) -> std::string {
    ++asked;
    if (command == "bridge device\r\n") return bridge;
    if (command == "ip device\r\n") return devices;
    if (command == "ip subnet\r\n") return subnets;
    if (command == "ppp config\r\n") return ++pppAsked == 1 ? ppp : pppAgain;
    if (command == "ip nat\r\n") return nat;
    if (command == "ip ipatm pvc\r\n") return ipatm;
    FUZZ_CHECK(command == "ip route\r\n");
    return routes;
  };
  int dnsAllowed = 0;
  const auto rows = ReadRouterPvcs(values, line, dnsAllowed, fetch);

  // The page's row, eight bridge ports, PPPoA and PPPoE, eleven routed and eleven IPoA devices.
  FUZZ_CHECK(rows.size() <= 1 + 8 + 2 + 11 + 11);
  // The route and the four listings, the bridged NAT, the PPP script again, two PPP NAT
  // lookups, one NAT lookup per routed device and two per IPoA device.
  FUZZ_CHECK(asked <= 1 + 4 + 1 + 1 + 2 + 11 + 2 * 11);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const PvcRow& row = rows[i];
    FUZZ_CHECK(!row.protocol.empty());
    FUZZ_CHECK(row.nat == "Enable" || row.nat == "Disable");
    FUZZ_CHECK(row.framing == "LLC SNAP" || row.framing == "VC MUX");
    for (const std::string* cell : {&row.pvc, &row.ip, &row.subnet, &row.remoteIp})
      FUZZ_CHECK(cell->size() <= kMaxPvcCell);
    // Transparent-bridge mode reads bridge ports only, after the page's own row.
    if (line.PvcModeNormal == 0 && !(i == 0 && line.LineChangedSinceRead == 1))
      FUZZ_CHECK(row.protocol == PvcProtocolName(kBridged) ||
                 row.protocol == PvcProtocolName(kTransparentBridge));
  }

  // Nothing read from the router may add a line of its own to the script.
  if (PvcApplyRefusal(rows, values)) return 0;
  for (const ScriptItem& item : BuildPvcScript(rows, values, line.PvcModeNormal).items) {
    if (item.kind == ScriptItem::Kind::Step) continue;
    const std::size_t end = item.line.size() - 2;
    FUZZ_CHECK(item.line.size() >= 2 && item.line.find_first_of("\r\n") == end &&
               item.line.compare(end, 2, "\r\n") == 0);
  }
  return 0;
}
