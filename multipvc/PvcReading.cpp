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
    if (Contains(line, key)) return line;
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

namespace {

// One reading of the router's PVCs. The Entry values of the dialog are the scratch each row
// is made from, as the dialog's own fields would be; the readers run in the router's order of
// kinds and each returns its rows in the order found.
class PvcReader {
 public:
  PvcReader(PvcValues& values, LineState& line, int& dnsDiscoveryAllowed, const ReplyFetcher& fetch)
      : v_(values), line_(line), dnsDiscoveryAllowed_(dnsDiscoveryAllowed), fetch_(fetch) {}

  std::vector<PvcRow> Read() {
    std::vector<PvcRow> rows;
    line_.WanFieldsEnabled = v_.EntryProtocol == kBridged ? 0 : 1;
    // The Line page's own PVC, as it stands on the page, when it changed since it was read.
    if (line_.LineChangedSinceRead == 1) Add(rows, v_.EntryVpi + "/" + v_.EntryVci);
    ReadDefaultGateway();

    v_.EntryWanIp.clear();
    v_.EntryWanMask.clear();
    v_.EntryRemoteIp.clear();
    v_.EntryNat = 0;
    bridge_ = fetch_("bridge device\r\n");
    devices_ = fetch_("ip device\r\n");
    subnets_ = fetch_("ip subnet\r\n");
    ppp_ = fetch_("ppp config\r\n");

    Append(rows, BridgePorts());
    // In transparent-bridge mode the router holds bridged PVCs only.
    if (line_.PvcModeNormal != 1) return rows;
    Append(rows, PppoaLink());
    Append(rows, PppoeLink());
    Append(rows, RoutedDevices());
    Append(rows, IpoaDevices());
    return rows;
  }

 private:
  static void Append(std::vector<PvcRow>& rows, const std::vector<PvcRow>& more) {
    rows.insert(rows.end(), more.begin(), more.end());
  }

  void Add(std::vector<PvcRow>& rows, const std::string& pvc) const {
    if (auto row = MakePvcRow(v_.EntryProtocol, pvc, v_.EntryNat, v_.EntryFraming, v_.EntryWanIp,
                              v_.EntryWanMask, v_.EntryRemoteIp))
      rows.push_back(*row);
  }
  // A PVC the router lists; the Line page's own, already in the table when the page changed,
  // is not listed twice.
  void AddRead(std::vector<PvcRow>& rows, const std::string& pvc, bool pagesPvc) const {
    if (line_.LineChangedSinceRead != 1 || !pagesPvc) Add(rows, pvc);
  }
  void AddReadVpiVci(std::vector<PvcRow>& rows) const {
    AddRead(rows, v_.EntryVpi + "/" + v_.EntryVci,
            v_.EntryVpi == line_.ReadVpi && v_.EntryVci == line_.ReadVci);
  }
  bool HasNatOn(const std::string& device) const {
    return Contains(fetch_(kNatListing), "nat add " + device);
  }

  void ReadDefaultGateway() {
    if (!v_.DefaultGateway.empty()) return;
    const std::string routes = fetch_("ip route\r\n");
    if (Contains(routes, "route add")) GetReplyField(routes, "0.0.0.0", 1, 5, v_.DefaultGateway);
  }

  std::vector<PvcRow> BridgePorts() {
    std::vector<PvcRow> rows;
    if (line_.BridgeLossAccepted != 0 || !Contains(bridge_, "atm")) return rows;
    std::string ports = bridge_;
    int port = 0;
    if (const std::size_t edd = bridge_.find("edd"); edd != std::string::npos) {
      // Port 1 is the Ethernet port, bridged with the PVCs.
      ports.erase(0, edd + 3);
      port = 1;
    } else if (line_.PvcModeNormal == 1) {
      line_.WanFieldsEnabled = 0;
      // The address device made for the first bridged PVC that carries the WAN address.
      if (Contains(devices_, "//bridge") && Contains(devices_, "//edd")) {
        const std::string device = Field(devices_, "//bridge", 1, 2);
        // Only this device's own line: "dhcp" elsewhere belongs to a routed PVC.
        if (Contains(LineWith(devices_, "//bridge"), "dhcp")) {
          v_.EntryWanIp = "dhcp";
          v_.EntryWanMask.clear();
        } else {
          v_.AutoWanCheck = 0;
          v_.EntryWanIp = Field(devices_, device, 1, 7);
          v_.EntryWanMask = DecimalMask(subnets_, device);
        }
        v_.EntryNat = HasNatOn(device) ? 1 : 0;
      }
    }
    // Every port row is a bridged PVC, all of them transparent in transparent-bridge mode.
    const int portProtocol =
        line_.PvcModeNormal == 0 && line_.LineChangedSinceRead == 0 ? kTransparentBridge : kBridged;
    v_.EntryProtocol = portProtocol;
    for (int pass = 0; pass < kMaxBridgePorts; ++pass) {
      const std::string name = "Port " + std::to_string(++port);
      std::optional<std::string> own = From(ports, name);
      if (!own) break;
      const std::string& listing = pass == 0 ? ports : *own;
      const std::string spec = Field(listing, name, 1, 3);
      v_.EntryFraming = Contains(spec, "mode=vcmuxbridged") ? 1 : 0;
      v_.EntryVpi =
          Contains(spec, "/txvpi=") ? VpiVciOf(Field(listing, "/txvpi=", 1, 3), VpiVci::Vpi) : "0";
      v_.EntryVci =
          Contains(spec, "/txvci=") ? VpiVciOf(Field(listing, "/txvci=", 1, 3), VpiVci::Vci) : "0";
      AddReadVpiVci(rows);
      // The WAN address and NAT belong to the first port only.
      v_.EntryWanIp.clear();
      v_.EntryWanMask.clear();
      v_.EntryRemoteIp.clear();
      v_.EntryNat = 0;
      v_.EntryProtocol = portProtocol;
    }
    return rows;
  }

  // Channel, log-in, framing, DNS relay, PVC and NAT of the router's one PPP link.
  void ReadPppLink(std::vector<PvcRow>& rows, const std::string& pvcKey) {
    GetReplyField(ppp_, "welogin", 1, 1, v_.PppChannel);
    GetReplyField(ppp_, "welogin", 1, 3, v_.PppUserName);
    GetReplyField(ppp_, "welogin", 1, 4, v_.PppPassword);
    // "llc 0" is how VC MUX is written.
    std::string llc;
    v_.EntryFraming = GetReplyField(ppp_, "llc", 1, 3, llc) && Contains(llc, "1") ? 0 : 1;
    v_.DnsRelay = Contains(ppp_, "enableprimarydns") ? 1 : 0;
    if (v_.DnsRelay == 1) dnsDiscoveryAllowed_ = 1;
    GetReplyField(ppp_, pvcKey, 1, 4, v_.EntryVpi);
    GetReplyField(ppp_, pvcKey, 1, 5, v_.EntryVci);
    // Without a device name there is no NAT entry to find.
    const std::string device =
        Contains(devices_, "//ppp/DEVICE=") ? Field(devices_, "//ppp/DEVICE=", 1, 2) : "";
    const std::string nat = fetch_(kNatListing);
    v_.EntryNat = !device.empty() && Contains(nat, "nat add " + device) ? 1 : 0;
    AddReadVpiVci(rows);
  }

  std::vector<PvcRow> PppoaLink() {
    std::vector<PvcRow> rows;
    if (v_.PppSeeded != 0 || !Contains(devices_, "//ppp/") || !Contains(devices_, "mtu 1500") ||
        !Contains(ppp_, "pvc atm"))
      return rows;
    v_.EntryWanIp.clear();
    v_.EntryWanMask.clear();
    v_.EntryProtocol = kPppoa;
    ppp_ = fetch_("ppp config\r\n");
    if (Contains(ppp_, "localip")) {
      const std::string device = Field(devices_, "//ppp", 1, 2);
      v_.EntryWanIp = Field(devices_, device, 1, 7);
      v_.EntryWanMask = DecimalMask(subnets_, device);
    } else {
      v_.EntryWanIp = "dhcp";
    }
    ReadPppLink(rows, "pvc atm");
    return rows;
  }

  std::vector<PvcRow> PppoeLink() {
    std::vector<PvcRow> rows;
    if (v_.PppSeeded != 0 || !Contains(devices_, "//ppp/") || !Contains(devices_, "mtu 1492") ||
        !Contains(ppp_, "pppoe"))
      return rows;
    v_.EntryWanIp.clear();
    v_.EntryWanMask.clear();
    v_.EntryProtocol = kPppoe;
    ReadPppLink(rows, "pppoe");
    return rows;
  }

  std::vector<PvcRow> RoutedDevices() {
    std::vector<PvcRow> rows;
    for (int n = 1; n <= kMaxDevicesOfAKind; ++n) {
      v_.EntryNat = 0;
      std::string name;
      if (!GetReplyField(devices_, "ptp", n, 2, name)) continue;
      std::optional<std::string> own = From(devices_, "device " + name);
      if (!own) break;
      const std::string spec = Field(*own, "device " + name, 1, 4);
      if (!Contains(spec, "//bun") || !Contains(spec, "mode")) continue;
      v_.EntryProtocol = kRouted;
      if (Contains(spec, "dhcp")) {
        v_.AutoWanCheck = 1;
        v_.EntryWanIp.clear();
        v_.EntryWanMask.clear();
      } else {
        v_.AutoWanCheck = 0;
        const std::string device = Field(*own, "//bun", 1, 2);
        v_.EntryWanIp = Field(*own, device, 1, 7);
        v_.EntryWanMask = DecimalMask(subnets_, device);
      }
      v_.EntryFraming = Contains(spec, "mode=llcrouted") ? 0 : 1;
      v_.EntryVpi = VpiVciOf(spec, VpiVci::Vpi);
      v_.EntryVci = VpiVciOf(spec, VpiVci::Vci);
      v_.EntryNat = HasNatOn(name) ? 1 : 0;
      AddReadVpiVci(rows);
    }
    return rows;
  }

  std::vector<PvcRow> IpoaDevices() {
    std::vector<PvcRow> rows;
    for (int n = 1; n <= kMaxDevicesOfAKind; ++n) {
      v_.EntryNat = 0;
      std::string name;
      if (!GetReplyField(devices_, "atm", n, 2, name)) continue;
      // Bridged and routed PVCs name their mode; IPoA devices do not.
      if (Contains(Field(devices_, "atm", n, 4), "mode")) continue;
      v_.EntryProtocol = kIpoa;
      std::optional<std::string> own = From(devices_, "device " + name);
      if (!own) break;
      v_.EntryWanIp = Field(*own, name, 1, 7);
      v_.EntryWanMask = DecimalMask(subnets_, name);
      const std::string pvcs = fetch_("ip ipatm pvc\r\n");
      const std::string pvc = Field(pvcs, name, 1, 5);
      v_.EntryRemoteIp.clear();
      if (Field(pvcs, name, 1, 8) == "remoteip") v_.EntryRemoteIp = Field(pvcs, name, 1, 9);
      v_.EntryNat = HasNatOn(name) ? 1 : 0;
      v_.EntryFraming = 0;
      AddRead(rows, pvc, pvc == line_.ReadVpi + "/" + line_.ReadVci);
      v_.EntryRemoteIp.clear();
    }
    return rows;
  }

  PvcValues& v_;
  LineState& line_;
  int& dnsDiscoveryAllowed_;
  const ReplyFetcher& fetch_;
  std::string bridge_, devices_, subnets_, ppp_;
};

}  // namespace

std::vector<PvcRow> ReadRouterPvcs(PvcValues& values, LineState& line, int& dnsDiscoveryAllowed,
                                   const ReplyFetcher& fetch) {
  return PvcReader(values, line, dnsDiscoveryAllowed, fetch).Read();
}

}  // namespace tarnwick
