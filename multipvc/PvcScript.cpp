// Writing the table: the tear-down, the checks made before it, and one group of lines per row.
#include <algorithm>

#include "channel/TextHelpers.h"
#include "multipvc/PvcTable.h"
#include "ui/CommandText.h"

namespace tarnwick {
namespace {

ScriptItem Send(std::string line) { return {ScriptItem::Kind::Line, std::move(line)}; }
ScriptItem Step() { return {ScriptItem::Kind::Step, {}}; }

bool IsPpp(const PvcRow& row) {
  return row.protocol == PvcProtocolName(kPppoa) || row.protocol == PvcProtocolName(kPppoe);
}

// The Subnet cell (dotted when added, colon form when read) as the router takes it.
std::string HexMask(std::string subnet) {
  std::replace(subnet.begin(), subnet.end(), '.', ':');
  ColonQuadToHex(subnet);
  return subnet;
}

class ScriptWriter {
 public:
  ScriptWriter(const PvcValues& values, int normalMode) : v_(values), normal_(normalMode == 1) {}

  void Lan() {
    if (normal_) {
      Add("batch add ip device add lan ether //edd " + v_.LanIp);
      Step();
      Add("batch add ip subnet add lan.home . " + v_.LanIp + " " + v_.LanMask);
      Step();
    } else {
      Add("batch add bridge device add edd");
      Add("batch add ip device add bridge ether //bridge " + v_.LanIp);
      Step();
      Add("batch add ip subnet add bridge.home . " + v_.LanIp + " " + v_.LanMask);
      Step();
    }
  }

  void Row(const PvcRow& row) {
    const std::size_t slash = row.pvc.find('/');
    vpi_ = row.pvc.substr(0, slash);
    vci_ = row.pvc.substr(slash + 1);
    mask_ = HexMask(row.subnet);
    llc_ = row.framing == "LLC SNAP";
    natOn_ = row.nat == "Enable";
    if (row.protocol == PvcProtocolName(kBridged) ||
        row.protocol == PvcProtocolName(kTransparentBridge))
      Bridged(row);
    else if (row.protocol == PvcProtocolName(kRouted))
      Routed(row);
    else if (row.protocol == PvcProtocolName(kPppoa))
      Pppoa(row);
    else if (row.protocol == PvcProtocolName(kIpoa))
      Ipoa(row);
    else if (row.protocol == PvcProtocolName(kPppoe))
      Pppoe();
  }

  void Routing() {
    if (!v_.DefaultGateway.empty())
      Add("batch add ip route add default 0.0.0.0 " + v_.DefaultGateway + " 0:0:0:0");
    Step();
    Step();
    Add("batch add ip rip accept all none");
    Add("batch add ip rip send all none");
    Add("batch add ip relay all");
    Add("batch add ip ping " + v_.LanIp);
  }

  PvcScript Take() { return std::move(script_); }

 private:
  void Add(const std::string& line) { script_.items.push_back(Send(line + "\r\n")); }
  void Step() { script_.items.push_back(tarnwick::Step()); }

  // "txvpi=..." through "rxvci=..." of an RFC 1483 device spec.
  std::string Circuit() const {
    return vpi_ + "/txvci=" + vci_ + "/rxvpi=" + vpi_ + "/rxvci=" + vci_;
  }

  void Bridged(const PvcRow& row) {
    // Only one bridged PVC carries the router's WAN address.
    if (normal_ && !wanDeviceTaken_ && !row.ip.empty()) {
      wanDeviceTaken_ = true;
      if (row.ip == "dhcp") {
        Add("batch add ip device add wandevice bridge //bridge dhcp");
      } else {
        Add("batch add ip device add wandevice bridge //bridge " + row.ip);
        Add("batch add ip subnet add wandevice.home . " + row.ip + " " + mask_);
      }
      if (natOn_) Add("batch add ip nat add wandevice");
    }
    Add(std::string("batch add bridge device add //bun/port=atm/rfc1483=true/mode=") +
        (llc_ ? "llcbridged" : "vcmuxbridged") + "/txvpi=" + Circuit());
  }

  void Routed(const PvcRow& row) {
    const std::string device = "wan" + std::to_string(++routed_);
    const std::string spec = std::string("ptp //bun/port=atm/rfc1483=true/mode=") +
                             (llc_ ? "llcrouted" : "vcmuxrouted") + "/txvpi=" + Circuit();
    // The dialog's automatic-WAN box decides for every routed PVC, whatever its IP cell.
    if (v_.AutoWanCheck == 1) {
      Add("batch add ip device add " + device + " " + spec + " dhcp");
    } else {
      Add("batch add ip device add " + device + " " + spec + " " + row.ip);
      Add("batch add ip subnet add " + device + ".home . " + row.ip + " " + mask_);
    }
    if (natOn_) Add("batch add ip nat add " + device);
  }

  void Ipoa(const PvcRow& row) {
    const std::string device = "wanIPOA" + std::to_string(++ipoa_);
    Add("batch add ip device add " + device + " atm //atm " + row.ip);
    Add("batch add ip subnet add " + device + ".home . " + row.ip + " " + mask_);
    Add("batch add ip ipatm pvc add " + device + " atm " + vpi_ + "/" + vci_ +
        (row.remoteIp.empty() ? "" : " remoteip " + row.remoteIp));
    if (natOn_) Add("batch add ip nat add " + device);
  }

  void Pppoa(const PvcRow& row) {
    const std::string device =
        "batch add ip device add ppp_device ether //ppp/DEVICE=" + v_.PppChannel;
    if (row.ip == "dhcp") {
      Add(device);
    } else {
      Add(device + " " + row.ip);
      Add("batch add ip subnet add ppp_device.home . " + row.ip + " " + mask_);
      Add("batch add ppp interface " + v_.PppChannel + " localip " + row.ip + " ");
    }
    Add("batch add ppp " + v_.PppChannel + " pvc " + vpi_ + " " + vci_ + " ip");
    PppLink();
  }

  void Pppoe() {
    Add("batch add ip device add ppp_device ether //ppp/DEVICE=" + v_.PppChannel + " mtu 1492 ");
    Add("batch add ppp " + v_.PppChannel + " pppoe " + vpi_ + " " + vci_ + " ");
    PppLink();
  }

  // The lines PPPoA and PPPoE share; DNS relay and the local gateway always name channel 1.
  void PppLink() {
    const std::string ppp = "batch add ppp " + v_.PppChannel;
    Add(ppp + " welogin " + v_.PppUserName + " " + v_.PppPassword);
    if (v_.DnsRelay == 1) {
      Add("batch add ppp 1 enableprimarydns relay");
      script_.relaysDns = true;
    }
    Add("batch add ppp 1 gateway local");
    Add(ppp + " enable");
    if (natOn_) Add("batch add ip nat add ppp_device");
    Add(ppp + (llc_ ? " llc 1" : " llc 0"));
    Add(ppp + " echo every 10");
  }

  const PvcValues& v_;
  const bool normal_;
  PvcScript script_;
  bool wanDeviceTaken_ = false;
  int routed_ = 0;
  int ipoa_ = 0;
  // The row being written.
  std::string vpi_, vci_, mask_;
  bool llc_ = true;
  bool natOn_ = false;
};

}  // namespace

const std::vector<std::string>& PvcTearDownLines() {
  static const std::vector<std::string> kLines = [] {
    std::vector<std::string> lines = {
        "ip nat delete wandevice\r\n",   "ip ipatm pvc flush\r\n",
        "ip nat delete ppp_device\r\n",  "ip nat delete pppoe_device\r\n",
        "batch add ip device flush\r\n", "batch add ip subnet flush\r\n",
        "ip route delete default\r\n",   "batch add bridge device flush\r\n",
        "batch add config reset ppp\r\n"};
    for (int n = 1; n <= 8; ++n) lines.push_back("ip nat delete wan" + std::to_string(n) + "\r\n");
    for (int n = 1; n <= 8; ++n)
      lines.push_back("ip nat delete wanIPOA" + std::to_string(n) + "\r\n");
    return lines;
  }();
  return kLines;
}

std::optional<std::string> PvcApplyRefusal(const std::vector<PvcRow>& rows,
                                           const PvcValues& values) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].pvc.find('/') == std::string::npos)
      return "Row " + std::to_string(i + 1) + " holds the PVC \"" + rows[i].pvc +
             "\", which has no \"/\" between VPI and VCI. Remove the row and apply again; "
             "nothing was sent to the router.";
  }
  const auto ppp = std::count_if(rows.begin(), rows.end(), IsPpp);
  if (ppp > 1)
    return "Only one PPPoA or PPPoE PVC can be applied: the router has one PPP connection. "
           "Remove the others and apply again; nothing was sent to the router.";
  if (ppp == 1 && !IsCommandToken(values.PppUserName))
    return "The PPP user name may not contain blanks or control characters.";
  if (ppp == 1 && !IsCommandToken(values.PppPassword))
    return "The PPP password may not contain blanks or control characters.";
  return std::nullopt;
}

PvcScript BuildPvcScript(const std::vector<PvcRow>& rows, const PvcValues& values, int normalMode) {
  ScriptWriter writer(values, normalMode);
  writer.Lan();
  for (const PvcRow& row : rows) writer.Row(row);
  writer.Routing();
  return writer.Take();
}

}  // namespace tarnwick
