// Interfaces and what hangs on them: devices, subnets, bridge ports, IPoA PVCs, NAT, RIP.
#include <algorithm>
#include <cctype>

#include "routersim/CommandTable.h"

namespace tarnwick::routersim {

namespace {

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

bool SameName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

// "VPI/VCI" in decimal.
bool ParsePair(const std::string& text, int& vpi, int& vci) {
  auto slash = text.find('/');
  if (slash == std::string::npos) return false;
  std::string a = text.substr(0, slash), b = text.substr(slash + 1);
  if (!IsNumber(a) || !IsNumber(b) || a.size() > 3 || b.size() > 5) return false;
  vpi = std::stoi(a);
  vci = std::stoi(b);
  return true;
}

std::string DeviceLine(const Device& d) {
  std::string line = d.name + " " + d.type + " " + d.settings;
  if (d.mtu != 1500) line += " mtu " + std::to_string(d.mtu);
  if (!d.address.empty()) line += " " + d.address;
  return line;
}

std::string PvcLine(const IpoaPvc& p) {
  std::string line = p.device + " atm " + std::to_string(p.vpi) + "/" + std::to_string(p.vci);
  return p.remoteIp.empty() ? line : line + " remoteip " + p.remoteIp;
}

void AddDevice(CommandContext& c) {
  const auto& a = c.args;
  auto usage = [&c] {
    c.out.Error("usage: ip device add NAME ether|ptp|atm|bridge SPEC [mtu N] [ADDRESS|dhcp]");
  };
  if (a.size() < 3 || a.size() > 6) return usage();
  Device d;
  d.name = a[0];
  d.type = a[1];
  d.settings = a[2];
  if (d.type != "ether" && d.type != "ptp" && d.type != "atm" && d.type != "bridge")
    return void(c.out.Error("bad device type " + d.type));
  if (d.settings.rfind("//", 0) != 0) return void(c.out.Error("bad device spec " + a[2]));
  std::size_t i = 3;
  if (i < a.size() && a[i] == "mtu") {
    if (i + 1 >= a.size() || !IsNumber(a[i + 1]) || a[i + 1].size() > 5) return usage();
    d.mtu = std::stoi(a[i + 1]);
    if (d.mtu < 68 || d.mtu > 9000) return void(c.out.Error("bad mtu " + a[i + 1]));
    i += 2;
  }
  if (i < a.size()) {
    if (a[i] != "dhcp" && !IsDottedQuad(a[i])) return void(c.out.Error("bad address " + a[i]));
    d.address = a[i++];
  }
  if (i != a.size()) return usage();
  if (c.router.FindDevice(d.name)) return void(c.out.Error("device " + d.name + " already exists"));
  c.router.devices.push_back(d);
}

void AddSubnet(CommandContext& c) {
  const auto& a = c.args;
  if (a.size() != 4 || a[1] != ".")
    return void(c.out.Error("usage: ip subnet add NAME.home . ADDRESS MASK"));
  if (!IsDottedQuad(a[2])) return void(c.out.Error("bad address " + a[2]));
  if (!IsHexColonQuad(a[3])) return void(c.out.Error("bad mask " + a[3]));
  auto& list = c.router.subnets;
  if (std::any_of(list.begin(), list.end(), [&](const Subnet& s) { return s.name == a[0]; }))
    return void(c.out.Error("subnet " + a[0] + " already exists"));
  list.push_back({a[0], a[2], a[3]});
}

void AddIpoaPvc(CommandContext& c) {
  const auto& a = c.args;
  IpoaPvc p;
  bool remote = a.size() == 5 && a[3] == "remoteip";
  if ((a.size() != 3 && !remote) || a[1] != "atm" || !ParsePair(a[2], p.vpi, p.vci))
    return void(c.out.Error("usage: ip ipatm pvc add NAME atm VPI/VCI [remoteip ADDRESS]"));
  if (remote && !IsDottedQuad(a[4])) return void(c.out.Error("bad remote address " + a[4]));
  const Device* d = c.router.FindDevice(a[0]);
  if (!d || d->type != "atm") return void(c.out.Error("no ATM device " + a[0]));
  auto& list = c.router.ipoaPvcs;
  if (std::any_of(list.begin(), list.end(), [&](const IpoaPvc& x) { return x.device == a[0]; }))
    return void(c.out.Error("device " + a[0] + " already has a PVC"));
  p.device = a[0];
  if (remote) p.remoteIp = a[4];
  list.push_back(p);
}

void AddInbound(CommandContext& c) {
  const auto& a = c.args;
  if (a.size() != 3) return void(c.out.Error("usage: nat inbound add IFACE PORT/tcp|udp HOST"));
  auto slash = a[1].find('/');
  std::string port = a[1].substr(0, slash);
  std::string protocol = slash == std::string::npos ? "" : Upper(a[1].substr(slash + 1));
  if (!IsNumber(port) || port.size() > 5 || std::stol(port) > 65535 ||
      (protocol != "TCP" && protocol != "UDP"))
    return void(c.out.Error("bad port " + a[1]));
  if (!IsDottedQuad(a[2])) return void(c.out.Error("bad host " + a[2]));
  const auto& devices = c.router.devices;
  if (std::none_of(devices.begin(), devices.end(),
                   [&](const Device& d) { return SameName(d.name, a[0]); }))
    return void(c.out.Error("interface " + a[0] + " does not exist"));
  c.router.inbound.push_back({a[0], port, protocol == "TCP" ? "tcp" : "udp", a[2]});
}

// Bridge ports, then devices, then the PVCs bound to them.
void SaveInterfaces(const Router& r, std::vector<std::string>& lines) {
  lines.push_back("bridge device flush");
  for (const BridgePort& p : r.bridgePorts) lines.push_back("bridge device add " + p);
  lines.push_back("ip device flush");
  for (const Device& d : r.devices) lines.push_back("ip device add " + DeviceLine(d));
  for (const IpoaPvc& p : r.ipoaPvcs) lines.push_back("ip ipatm pvc add " + PvcLine(p));
}

void SaveSubnets(const Router& r, std::vector<std::string>& lines) {
  lines.push_back("ip subnet flush");
  for (const Subnet& s : r.subnets)
    lines.push_back("ip subnet add " + s.name + " . " + s.address + " " + s.mask);
}

void SaveNat(const Router& r, std::vector<std::string>& lines) {
  for (const std::string& name : r.nat) lines.push_back("ip nat add " + name);
  lines.push_back("nat inbound flush");
  for (const InboundRule& rule : r.inbound)
    lines.push_back("nat inbound add " + rule.iface + " " + rule.port + "/" + rule.protocol + " " +
                    rule.host);
}

}  // namespace

void RegisterWanCommands(CommandTable& table) {
  table.Add(
      "ip device",
      [](CommandContext& c) {
        if (!c.rest.empty()) return void(c.out.Error("usage: ip device [add|flush]"));
        for (const Device& d : c.router.devices)
          c.out.Line("device " + d.name + " " + d.type + " " + d.ListedSettings() + " mtu " +
                     std::to_string(d.mtu) + " " + (d.address.empty() ? "0.0.0.0" : d.address));
      },
      "list IP devices");
  table.Add("ip device add", AddDevice, "add an IP device");
  table.Add(
      "ip device flush", [](CommandContext& c) { c.router.FlushDevices(); },
      "delete every IP device with its NAT and PVC");

  table.Add(
      "ip subnet",
      [](CommandContext& c) {
        if (!c.rest.empty()) return void(c.out.Error("usage: ip subnet [add|flush]"));
        for (const Subnet& s : c.router.subnets)
          c.out.Line("subnet " + s.name + " . " + s.address + " " + s.mask);
      },
      "list subnets");
  table.Add("ip subnet add", AddSubnet, "add a subnet (mask as ff:ff:ff:0)");
  table.Add(
      "ip subnet flush", [](CommandContext& c) { c.router.subnets.clear(); },
      "delete every subnet");

  table.Add(
      "bridge device",
      [](CommandContext& c) {
        if (!c.rest.empty()) return void(c.out.Error("usage: bridge device [add|flush]"));
        const auto& ports = c.router.bridgePorts;
        for (std::size_t i = 0; i < ports.size(); ++i)
          c.out.Line("Port " + std::to_string(i + 1) + ": " + ports[i]);
      },
      "list bridge ports");
  table.Add(
      "bridge device add",
      [](CommandContext& c) {
        if (c.args.size() != 1 || (c.args[0] != "edd" && c.args[0].rfind("//", 0) != 0))
          return void(c.out.Error("usage: bridge device add SPEC|edd"));
        c.router.bridgePorts.push_back(c.args[0]);
      },
      "bridge a PVC, or the Ethernet port edd");
  table.Add(
      "bridge device flush", [](CommandContext& c) { c.router.bridgePorts.clear(); },
      "remove every bridge port");

  table.Add(
      "ip ipatm pvc",
      [](CommandContext& c) {
        if (!c.rest.empty()) return void(c.out.Error("usage: ip ipatm pvc [add|flush]"));
        for (const IpoaPvc& p : c.router.ipoaPvcs)
          c.out.Line("ipatm pvc " + p.device + " atm " + std::to_string(p.vpi) + "/" +
                     std::to_string(p.vci) + " encap llc" +
                     (p.remoteIp.empty() ? "" : " remoteip " + p.remoteIp));
      },
      "list IPoA PVCs");
  table.Add("ip ipatm pvc add", AddIpoaPvc, "give an ATM device its PVC");
  table.Add(
      "ip ipatm pvc flush", [](CommandContext& c) { c.router.ipoaPvcs.clear(); },
      "delete every IPoA PVC");

  table.Add(
      "ip nat",
      [](CommandContext& c) {
        if (!c.rest.empty()) return void(c.out.Error("usage: ip nat [add|delete] NAME"));
        for (const std::string& name : c.router.nat) c.out.Line("nat add " + name);
      },
      "list interfaces with NAT");
  table.Add(
      "ip nat add",
      [](CommandContext& c) {
        if (c.args.size() != 1) return void(c.out.Error("usage: ip nat add NAME"));
        auto& nat = c.router.nat;
        if (!c.router.FindDevice(c.args[0])) return void(c.out.Error("no device " + c.args[0]));
        if (std::find(nat.begin(), nat.end(), c.args[0]) == nat.end()) nat.push_back(c.args[0]);
      },
      "translate addresses on an interface");
  table.Add(
      "ip nat delete",
      [](CommandContext& c) {
        if (c.args.size() != 1) return void(c.out.Error("usage: ip nat delete NAME"));
        auto& nat = c.router.nat;
        auto it = std::find(nat.begin(), nat.end(), c.args[0]);
        if (it == nat.end()) return void(c.out.Error("no NAT on " + c.args[0]));
        nat.erase(it);
      },
      "stop translating addresses on an interface");

  table.Add(
      "nat inbound list",
      [](CommandContext& c) {
        c.out.Line("(NATINBOUNDLIST):");
        int n = 0;
        for (const InboundRule& r : c.router.inbound)
          c.out.Line(std::to_string(++n) + ": " + Upper(r.iface) + " " + r.port + "/" +
                     Upper(r.protocol) + " " + r.host);
      },
      "list inbound port forwarding");
  table.Add("nat inbound add", AddInbound, "forward a WAN port to a LAN host");
  table.Add(
      "nat inbound delete",
      [](CommandContext& c) {
        auto& rules = c.router.inbound;
        if (c.args.size() != 1 || !IsNumber(c.args[0]) || c.args[0].size() > 4)
          return void(c.out.Error("usage: nat inbound delete N"));
        std::size_t n = std::stoul(c.args[0]);
        if (n < 1 || n > rules.size()) return void(c.out.Error("no inbound rule " + c.args[0]));
        rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(n - 1));
      },
      "delete the N-th inbound rule");
  table.Add(
      "nat inbound flush", [](CommandContext& c) { c.router.inbound.clear(); },
      "delete every inbound rule");

  // Routing protocol and broadcast relay settings are taken, not modelled.
  auto taken = [](std::string usage, std::size_t words) {
    return [usage, words](CommandContext& c) {
      if (c.args.size() != words) c.out.Error("usage: " + usage);
    };
  };
  table.Add("ip rip accept", taken("ip rip accept IFACE MODE", 2), "RIP accepted (all none)");
  table.Add("ip rip send", taken("ip rip send IFACE MODE", 2), "RIP sent (all none)");
  table.Add("ip relay", taken("ip relay IFACE", 1), "relay broadcasts (all)");

  table.AddConfigWriter(ConfigStage::Interfaces, SaveInterfaces);
  table.AddConfigWriter(ConfigStage::Addresses, SaveSubnets);
  table.AddConfigWriter(ConfigStage::Routing, SaveNat);
}

}  // namespace tarnwick::routersim
