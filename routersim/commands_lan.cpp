// LAN services: the DHCP server, configured in its own syntax, and the DNS relay.
#include <algorithm>

#include "routersim/CommandTable.h"

namespace tarnwick::routersim {

namespace {

bool HasSubnet(const std::vector<std::string>& config) {
  return std::any_of(config.begin(), config.end(),
                     [](const std::string& line) { return line.rfind("subnet ", 0) == 0; });
}

// Braces must pair up, or the server would not start on it.
bool Balanced(const std::vector<std::string>& config) {
  int depth = 0;
  for (const std::string& line : config) {
    for (char ch : line) {
      if (ch == '{') ++depth;
      if (ch == '}' && --depth < 0) return false;
    }
  }
  return depth == 0;
}

void Save(const Router& r, std::vector<std::string>& lines) {
  lines.push_back("dhcpserver config flush");
  for (const std::string& line : r.dhcp.current) lines.push_back("dhcpserver config add " + line);
  lines.push_back("dhcpserver config confirm");
  lines.push_back(r.dnsRelay.on ? "dnsrelay server " + r.dnsRelay.server : "dnsrelay config reset");
}

}  // namespace

void RegisterLanCommands(CommandTable& table) {
  table.Add(
      "dhcpserver config",
      [](CommandContext& c) {
        if (!c.rest.empty())
          return void(c.out.Error("usage: dhcpserver config [flush|add|confirm]"));
        const auto& config = c.router.dhcp.current;
        if (!HasSubnet(config)) return;
        // An opening brace given on a line of its own is printed where it belongs.
        std::vector<std::string> lines;
        for (const std::string& line : config) {
          if (line == "{" && !lines.empty())
            lines.back() += " {";
          else
            lines.push_back(line);
        }
        for (const std::string& line : lines) c.out.Line(line);
      },
      "show the DHCP server configuration");
  table.Add(
      "dhcpserver config flush", [](CommandContext& c) { c.router.dhcp.pending.clear(); },
      "empty the pending DHCP configuration");
  table.Add(
      "dhcpserver config add",
      [](CommandContext& c) {
        if (c.rest.empty()) return void(c.out.Error("dhcpserver config add needs a line"));
        c.router.dhcp.pending.push_back(c.rest);
      },
      "add a line to the pending DHCP configuration");
  table.Add(
      "dhcpserver config confirm",
      [](CommandContext& c) {
        DhcpServer& d = c.router.dhcp;
        if (!Balanced(d.pending))
          return void(c.out.Error("DHCP configuration has unbalanced braces, not confirmed"));
        d.current = d.pending;
      },
      "make the pending DHCP configuration current");
  table.Add(
      "dhcpserver reset", [](CommandContext& c) { c.out.Line("DHCP server restarted"); },
      "restart the DHCP server");

  table.Add(
      "dnsrelay status",
      [](CommandContext& c) {
        const DnsRelay& r = c.router.dnsRelay;
        if (!r.on) return void(c.out.Line("DNS relay: discovery incomplete"));
        c.out.Line("DNS relay: active");
        c.out.Field("DNS server address", r.server);
      },
      "DNS relay state and server");
  table.Add(
      "dnsrelay server",
      [](CommandContext& c) {
        if (c.args.size() != 1 || !IsDottedQuad(c.args[0]))
          return void(c.out.Error("usage: dnsrelay server ADDRESS"));
        c.router.dnsRelay = {true, c.args[0]};
      },
      "relay DNS to a server");
  table.Add(
      "dnsrelay config reset", [](CommandContext& c) { c.router.dnsRelay = {}; },
      "stop relaying DNS");

  table.AddConfigWriter(ConfigStage::Services, Save);
}

}  // namespace tarnwick::routersim
