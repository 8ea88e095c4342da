// The table's rows, and reading every PVC from the router's listings.
#include <array>

#include "channel/TextHelpers.h"
#include "multipvc/PvcTable.h"

namespace tarnwick {
namespace {

constexpr const char* kNatListing = "ip nat\r\n";
// Bridge ports past these are not read.
constexpr int kMaxBridgePorts = 8;
// Routed and IPoA devices are looked for among this many lines of each kind.
constexpr int kMaxDevicesOfAKind = 11;

bool Has(const std::string& text, const std::string& key) {
  return text.find(key) != std::string::npos;
}

// Field m of the n-th line holding key; empty when no line holds it.
std::string Field(const std::string& reply, const std::string& key, int n, int m) {
  std::string out;
  GetReplyField(reply, key, n, m, out);
  return out;
}

// The first whole line holding key, without its line end; empty when there is none.
std::string LineWith(const std::string& reply, const std::string& key) {
  for (std::size_t start = 0, end; (end = reply.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string line = reply.substr(start, end - start);
    if (Has(line, key)) return line;
  }
  return {};
}

// The mask "ip subnet" lists for a device, in decimal colon form; empty when none is listed.
std::string DecimalMask(const std::string& subnets, const std::string& device) {
  std::string mask;
  if (GetReplyField(subnets, device + ".home", 1, 5, mask)) HexColonQuadToDecimal(mask);
  return mask;
}

std::string VpiVciOf(std::string text, VpiVci selector) {
  ExtractVpiVci(text, selector);
  return text;
}

// The text from the first occurrence of key on, or nullopt.
std::optional<std::string> From(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return std::nullopt;
  return text.substr(at);
}

}  // namespace

std::string PvcProtocolName(int protocol) {
  static const std::array<const char*, 6> kNames = {"RFC 1483 Bridged", "RFC 1483 Routed",
                                                    "RFC 1577(IPoA)",   "RFC 2364 (PPPoA)",
                                                    "RFC 2516 (PPPoE)", "Transparent Bridge"};
  if (protocol < 0 || protocol >= static_cast<int>(kNames.size())) return {};
  return kNames[static_cast<std::size_t>(protocol)];
}

std::optional<PvcRow> MakePvcRow(int protocol, const std::string& pvc, int nat, int framing,
                                 const std::string& ip, const std::string& subnet,
                                 const std::string& remoteIp) {
  PvcRow row{PvcProtocolName(protocol),
             pvc,
             nat != 0 ? "Enable" : "Disable",
             framing != 0 ? "VC MUX" : "LLC SNAP",
             ip,
             subnet,
             remoteIp};
  if (row.protocol.empty()) return std::nullopt;
  for (const std::string* cell : {&row.pvc, &row.ip, &row.subnet, &row.remoteIp})
    if (cell->size() > kMaxPvcCell) return std::nullopt;
  return row;
}

std::vector<PvcRow> ReadRouterPvcs(PvcValues& v, LineState& line, int& dnsDiscoveryAllowed,
                                   const ReplyFetcher& fetch) {
  std::vector<PvcRow> rows;
  auto add = [&](const std::string& pvc) {
    if (auto row = MakePvcRow(v.EntryProtocol, pvc, v.EntryNat, v.EntryFraming, v.EntryWanIp,
                              v.EntryWanMask, v.EntryRemoteIp))
      rows.push_back(*row);
  };
  // The Line page's own PVC, already in the table when the page changed, is not listed twice.
  auto addRead = [&](const std::string& pvc, bool pagesPvc) {
    if (line.LineChangedSinceRead != 1 || !pagesPvc) add(pvc);
  };
  auto addReadVpiVci = [&] {
    addRead(v.EntryVpi + "/" + v.EntryVci,
            v.EntryVpi == line.ReadVpi && v.EntryVci == line.ReadVci);
  };

  line.WanFieldsEnabled = v.EntryProtocol == kBridged ? 0 : 1;
  if (line.LineChangedSinceRead == 1) add(v.EntryVpi + "/" + v.EntryVci);

  if (v.DefaultGateway.empty()) {
    const std::string routes = fetch("ip route\r\n");
    if (Has(routes, "route add")) GetReplyField(routes, "0.0.0.0", 1, 5, v.DefaultGateway);
  }

  v.EntryWanIp.clear();
  v.EntryWanMask.clear();
  v.EntryRemoteIp.clear();
  v.EntryNat = 0;
  const std::string bridge = fetch("bridge device\r\n");
  const std::string devices = fetch("ip device\r\n");
  const std::string subnets = fetch("ip subnet\r\n");
  std::string ppp = fetch("ppp config\r\n");

  if (line.BridgeLossAccepted == 0 && Has(bridge, "atm")) {
    std::string ports = bridge;
    int port = 0;
    if (const std::size_t edd = bridge.find("edd"); edd != std::string::npos) {
      // Port 1 is the Ethernet port, bridged with the PVCs.
      ports.erase(0, edd + 3);
      port = 1;
    } else if (line.PvcModeNormal == 1) {
      line.WanFieldsEnabled = 0;
      // The address device made for the first bridged PVC that carries the WAN address.
      if (Has(devices, "//bridge") && Has(devices, "//edd")) {
        const std::string device = Field(devices, "//bridge", 1, 2);
        // Only this device's own line: "dhcp" elsewhere belongs to a routed PVC.
        if (Has(LineWith(devices, "//bridge"), "dhcp")) {
          v.EntryWanIp = "dhcp";
          v.EntryWanMask.clear();
        } else {
          v.AutoWanCheck = 0;
          v.EntryWanIp = Field(devices, device, 1, 7);
          v.EntryWanMask = DecimalMask(subnets, device);
        }
        v.EntryNat = Has(fetch(kNatListing), "nat add " + device) ? 1 : 0;
      }
    }
    // Every port row is a bridged PVC, all of them transparent in transparent-bridge mode.
    const int portProtocol =
        line.PvcModeNormal == 0 && line.LineChangedSinceRead == 0 ? kTransparentBridge : kBridged;
    v.EntryProtocol = portProtocol;
    for (int pass = 0; pass < kMaxBridgePorts; ++pass) {
      const std::string name = "Port " + std::to_string(++port);
      std::optional<std::string> own = From(ports, name);
      if (!own) break;
      const std::string& listing = pass == 0 ? ports : *own;
      const std::string spec = Field(listing, name, 1, 3);
      v.EntryFraming = Has(spec, "mode=vcmuxbridged") ? 1 : 0;
      v.EntryVpi =
          Has(spec, "/txvpi=") ? VpiVciOf(Field(listing, "/txvpi=", 1, 3), VpiVci::Vpi) : "0";
      v.EntryVci =
          Has(spec, "/txvci=") ? VpiVciOf(Field(listing, "/txvci=", 1, 3), VpiVci::Vci) : "0";
      addReadVpiVci();
      // The WAN address and NAT belong to the first port only.
      v.EntryWanIp.clear();
      v.EntryWanMask.clear();
      v.EntryRemoteIp.clear();
      v.EntryNat = 0;
      v.EntryProtocol = portProtocol;
    }
  }

  // In transparent-bridge mode the router holds bridged PVCs only.
  if (line.PvcModeNormal != 1) return rows;

  // Channel, log-in, framing, DNS relay, PVC and NAT of the router's one PPP link.
  auto readPppLink = [&](const std::string& pvcKey) {
    GetReplyField(ppp, "welogin", 1, 1, v.PppChannel);
    GetReplyField(ppp, "welogin", 1, 3, v.PppUserName);
    GetReplyField(ppp, "welogin", 1, 4, v.PppPassword);
    // "llc 0" is how VC MUX is written.
    std::string llc;
    v.EntryFraming = GetReplyField(ppp, "llc", 1, 3, llc) && Has(llc, "1") ? 0 : 1;
    v.DnsRelay = Has(ppp, "enableprimarydns") ? 1 : 0;
    if (v.DnsRelay == 1) dnsDiscoveryAllowed = 1;
    GetReplyField(ppp, pvcKey, 1, 4, v.EntryVpi);
    GetReplyField(ppp, pvcKey, 1, 5, v.EntryVci);
    // Without a device name there is no NAT entry to find.
    const std::string device =
        Has(devices, "//ppp/DEVICE=") ? Field(devices, "//ppp/DEVICE=", 1, 2) : "";
    const std::string nat = fetch(kNatListing);
    v.EntryNat = !device.empty() && Has(nat, "nat add " + device) ? 1 : 0;
    addReadVpiVci();
  };

  if (v.PppSeeded == 0 && Has(devices, "//ppp/") && Has(devices, "mtu 1500") &&
      Has(ppp, "pvc atm")) {
    v.EntryWanIp.clear();
    v.EntryWanMask.clear();
    v.EntryProtocol = kPppoa;
    ppp = fetch("ppp config\r\n");
    if (Has(ppp, "localip")) {
      const std::string device = Field(devices, "//ppp", 1, 2);
      v.EntryWanIp = Field(devices, device, 1, 7);
      v.EntryWanMask = DecimalMask(subnets, device);
    } else {
      v.EntryWanIp = "dhcp";
    }
    readPppLink("pvc atm");
  }

  if (v.PppSeeded == 0 && Has(devices, "//ppp/") && Has(devices, "mtu 1492") && Has(ppp, "pppoe")) {
    v.EntryWanIp.clear();
    v.EntryWanMask.clear();
    v.EntryProtocol = kPppoe;
    readPppLink("pppoe");
  }

  for (int n = 1; n <= kMaxDevicesOfAKind; ++n) {
    v.EntryNat = 0;
    std::string name;
    if (!GetReplyField(devices, "ptp", n, 2, name)) continue;
    std::optional<std::string> own = From(devices, "device " + name);
    if (!own) break;
    const std::string spec = Field(*own, "device " + name, 1, 4);
    if (!Has(spec, "//bun") || !Has(spec, "mode")) continue;
    v.EntryProtocol = kRouted;
    if (Has(spec, "dhcp")) {
      v.AutoWanCheck = 1;
      v.EntryWanIp.clear();
      v.EntryWanMask.clear();
    } else {
      v.AutoWanCheck = 0;
      const std::string device = Field(*own, "//bun", 1, 2);
      v.EntryWanIp = Field(*own, device, 1, 7);
      v.EntryWanMask = DecimalMask(subnets, device);
    }
    v.EntryFraming = Has(spec, "mode=llcrouted") ? 0 : 1;
    v.EntryVpi = VpiVciOf(spec, VpiVci::Vpi);
    v.EntryVci = VpiVciOf(spec, VpiVci::Vci);
    v.EntryNat = Has(fetch(kNatListing), "nat add " + name) ? 1 : 0;
    addReadVpiVci();
  }

  for (int n = 1; n <= kMaxDevicesOfAKind; ++n) {
    v.EntryNat = 0;
    std::string name;
    if (!GetReplyField(devices, "atm", n, 2, name)) continue;
    // Bridged and routed PVCs name their mode; IPoA devices do not.
    if (Has(Field(devices, "atm", n, 4), "mode")) continue;
    v.EntryProtocol = kIpoa;
    std::optional<std::string> own = From(devices, "device " + name);
    if (!own) break;
    v.EntryWanIp = Field(*own, name, 1, 7);
    v.EntryWanMask = DecimalMask(subnets, name);
    const std::string pvcs = fetch("ip ipatm pvc\r\n");
    const std::string pvc = Field(pvcs, name, 1, 5);
    v.EntryRemoteIp.clear();
    if (Field(pvcs, name, 1, 8) == "remoteip") v.EntryRemoteIp = Field(pvcs, name, 1, 9);
    v.EntryNat = Has(fetch(kNatListing), "nat add " + name) ? 1 : 0;
    v.EntryFraming = 0;
    addRead(pvc, pvc == line.ReadVpi + "/" + line.ReadVci);
    v.EntryRemoteIp.clear();
  }
  return rows;
}

}  // namespace tarnwick
