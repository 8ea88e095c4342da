// The protocol decision and each protocol's values, read from the router's listings.
#include "line/LineReading.h"

#include "channel/TextHelpers.h"
#include "line/LineScripts.h"

namespace tarnwick {
namespace {

// The n-th field of the first line holding key; empty when no line holds it.
std::string Field(const std::string& reply, const std::string& key, int m) {
  std::string out;
  GetReplyField(reply, key, 1, m, out);
  return out;
}

class Reader {
 public:
  Reader(const LineListings& l, const AskRouter& ask, LineReading& r) : l_(l), ask_(ask), r_(r) {}

  void Run() {
    const int protocol = Decide();
    switch (protocol) {
      case kPppoe:
        Pppoe();
        break;
      case kPppoa:
        Pppoa();
        break;
      case kBridged:
        Bridged();
        break;
      case kTransparentBridge:
        TransparentBridge();
        break;
      case kRouted:
        Routed();
        break;
      case kIpoa:
        Ipoa();
        break;
      default:
        break;
    }
    if (bridgePvc_) BridgePvc();
    // By the page's protocol, which keeps its value when no rule set one.
    FurtherPvcs(r_.values.Protocol);
  }

 private:
  // The protocol the listings show, or -1 when no rule sets one.
  int Decide() {
    const std::string& d = l_.device;
    if (Contains(d, "//ppp/") && Contains(d, "mtu 1492") && Contains(l_.ppp, "pppoe"))
      return Set(kPppoe);
    if (Contains(d, "//ppp/") && Contains(l_.ppp, "pvc atm ")) return Set(kPppoa);
    if (Contains(l_.bridge, "atm")) {
      bridgePvc_ = true;
      if (!Contains(l_.bridge, "edd"))
        return Contains(d, "//bridge") && Contains(d, "//edd") ? Set(kBridged) : -1;
      return Contains(d, "//bridge") ? Set(kTransparentBridge) : -1;
    }
    if (!Contains(d, "//bun") || !Contains(d, "//edd") || !Contains(d, "ptp"))
      return Contains(d, "//edd") && Contains(d, "//bun") && Contains(d, "atm") ? Set(kIpoa) : -1;
    return Set(kRouted);
  }
  int Set(int protocol) {
    r_.values.Protocol = protocol;
    return protocol;
  }

  // Device lookup with a marker: the device's name, its address and its mask.
  std::string Lookup(const char* marker, std::string& address, std::string& mask) {
    std::string name;
    if (!GetReplyField(l_.device, marker, 1, 2, name)) return name;
    GetReplyField(l_.device, name, 1, 7, address);
    if (GetReplyField(l_.subnet, name + ".home", 1, 5, mask)) HexColonQuadToDecimal(mask);
    return name;
  }
  std::string LanLookup(const char* marker) {
    return Lookup(marker, r_.texts.LanIpText, r_.texts.LanMaskText);
  }
  std::string WanLookup(const char* marker) {
    return Lookup(marker, r_.texts.WanIpText, r_.texts.WanMaskText);
  }

  void NatTest(const std::string& name) {
    r_.values.NatEnabled = Contains(l_.nat, "nat add " + name) ? 1 : 0;
  }

  void GatewayRead() {
    const std::string reply = ask_("ip route\r\n");
    if (Contains(reply, "route add"))
      GetReplyField(reply, "0.0.0.0", 1, 5, r_.texts.RemoteGatewayText);
    else
      r_.texts.RemoteGatewayText.clear();
  }

  std::string DeviceName(const char* marker) { return Field(l_.device, marker, 2); }

  void PppLogin() {
    GetReplyField(l_.ppp, "welogin", 1, 1, r_.values.Channel);
    GetReplyField(l_.ppp, "welogin", 1, 3, r_.values.UserName);
    GetReplyField(l_.ppp, "welogin", 1, 4, r_.values.Password);
    std::string llc;
    if (!GetReplyField(l_.ppp, "llc", 1, 3, llc))
      r_.values.Framing = 1;
    else
      // A router that wrote VC MUX as "llc 0" must read back as VC MUX, not as neither.
      r_.values.Framing = Contains(llc, "1") ? 0 : 1;
  }

  void PppLan() {
    if (Contains(l_.device, "//edd"))
      LanLookup("//edd");
    else
      LanLookup("//bridge");
    NatTest(DeviceName("//ppp/"));
  }

  void Pppoe() {
    PppLan();
    PppLogin();
    GetReplyField(l_.ppp, "pppoe", 1, 4, r_.values.Vpi);
    GetReplyField(l_.ppp, "pppoe", 1, 5, r_.values.Vci);
    r_.values.DnsDiscovery = Contains(l_.ppp, "enableprimarydns") ? 1 : 0;
  }

  void Pppoa() {
    PppLan();
    if (!Contains(l_.ppp, "localip")) {
      r_.values.AutoWan = 1;
    } else {
      WanLookup("//ppp");
      GatewayRead();
    }
    PppLogin();
    GetReplyField(l_.ppp, "pvc atm", 1, 4, r_.values.Vpi);
    GetReplyField(l_.ppp, "pvc atm", 1, 5, r_.values.Vci);
    r_.values.DnsDiscovery = Contains(l_.ppp, "enableprimarydns") ? 1 : 0;
  }

  void Bridged() {
    if (Contains(l_.device, "dhcp")) {
      r_.values.AutoWan = 1;
      r_.texts.WanIpText.clear();
      r_.texts.WanMaskText.clear();
      r_.texts.RemoteGatewayText.clear();
    } else {
      r_.values.AutoWan = 0;
      WanLookup("//bridge");
    }
    LanLookup("//edd");
    GatewayRead();
    NatTest(DeviceName("//bridge"));
  }

  void TransparentBridge() {
    r_.texts.LanIpText.clear();
    r_.texts.LanMaskText.clear();
    if (Contains(l_.device, "//bridge")) LanLookup("//bridge");
  }

  void BridgePvc() {
    r_.values.Framing = Contains(l_.bridge, "mode=vcmuxbridged") ? 1 : 0;
    r_.values.Vpi = "0";
    r_.values.Vci = "0";
    if (Contains(l_.bridge, "/txvpi=")) {
      r_.values.Vpi = Field(l_.bridge, "/txvpi=", 3);
      ExtractVpiVci(r_.values.Vpi, VpiVci::Vpi);
    }
    if (Contains(l_.bridge, "/txvci=")) {
      r_.values.Vci = Field(l_.bridge, "/txvci=", 3);
      ExtractVpiVci(r_.values.Vci, VpiVci::Vci);
    }
  }

  void Routed() {
    LanLookup("//edd");
    WanLookup("ptp");
    NatTest(DeviceName("ptp"));
    GatewayRead();
    const std::string spec = Field(l_.device, "ptp", 4);
    r_.values.Framing = Contains(spec, "mode=llcrouted") ? 0 : 1;
    r_.values.Vpi = spec;
    ExtractVpiVci(r_.values.Vpi, VpiVci::Vpi);
    r_.values.Vci = spec;
    ExtractVpiVci(r_.values.Vci, VpiVci::Vci);
    // A second "ptp" device past the first one's spec token is a further PVC. The cut
    // never reaches past the end of the list.
    const std::size_t cut = l_.device.find("ptp") + spec.size();
    if (cut < l_.device.size() && Contains(l_.device.substr(cut), "ptp")) r_.SinglePvc = 0;
  }

  void Ipoa() {
    LanLookup("//edd");
    const std::string name = WanLookup("//bun");
    GatewayRead();
    const std::string reply = ask_("ip ipatm pvc\r\n");
    std::string pair;
    GetReplyField(reply, name, 1, 5, pair);
    if (const std::size_t slash = pair.find('/'); slash != std::string::npos) {
      r_.values.Vpi = pair.substr(0, slash);
      r_.values.Vci = pair.substr(slash + 1);
    } else {
      r_.values.Vpi.clear();
      r_.values.Vci.clear();
    }
    const std::size_t slash = reply.find('/');
    if (Contains(slash == std::string::npos ? reply : reply.substr(slash), "atm")) r_.SinglePvc = 0;
    NatTest(name);
  }

  void FurtherPvcs(int protocol) {
    const std::string& d = l_.device;
    const std::string& b = l_.bridge;
    bool further = false;
    switch (protocol) {
      case kPppoa:
      case kPppoe:
        further = (Contains(d, "bun") && Contains(d, "ptp")) || Contains(d, "atm") ||
                  Contains(d, "//bridge") || Contains(b, "edd");
        break;
      case kTransparentBridge:
        further = Contains(b, "Port 3:") || (Contains(d, "bun") && Contains(d, "ptp")) ||
                  Contains(d, "atm");
        break;
      case kRouted:
        further = Contains(b, "Port 1:") || Contains(ask_("ip ipatm pvc\r\n"), "/");
        break;
      case kBridged:
        further = Contains(b, "Port 2:") || Contains(d, "bun");
        break;
      default:
        break;
    }
    if (further) r_.SinglePvc = 0;
  }

  const LineListings& l_;
  const AskRouter& ask_;
  LineReading& r_;
  bool bridgePvc_ = false;
};

}  // namespace

LineReading ReadLineState(const LineListings& listings, const AskRouter& ask, LineReading start) {
  start.SinglePvc = 1;
  Reader(listings, ask, start).Run();
  return start;
}

}  // namespace tarnwick
