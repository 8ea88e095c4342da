// Static routes and the SNMP community access list.
#include <algorithm>

#include "routersim/CommandTable.h"

namespace tarnwick::routersim {

namespace {

void AddCommunity(CommandContext& c, bool write) {
  if (c.args.empty() || c.args.size() > 2) {
    c.out.Error(std::string("usage: ip snmp access ") + (write ? "write" : "read") +
                " COMMUNITY [ADDRESS]");
    return;
  }
  const std::string& community = c.args[0];
  std::string address = c.args.size() == 2 ? c.args[1] : "";
  if (!address.empty() && !IsDottedQuad(address)) {
    c.out.Error("bad manager address " + address);
    return;
  }
  if (community == c.router.password) {
    c.out.Error("community " + community + " is the log-in password");
    return;
  }
  auto& list = c.router.snmp;
  auto it = std::find_if(list.begin(), list.end(), [&](const SnmpAccess& a) {
    return a.community == community && a.address == address;
  });
  if (it != list.end()) {
    it->write = write;  // the right of an existing entry is changed in place
    return;
  }
  list.push_back({write, community, address});
}

}  // namespace

void RegisterRoutingCommands(CommandTable& table) {
  table.Add(
      "ip route",
      [](CommandContext& c) {
        if (!c.rest.empty()) {
          c.out.Error("usage: ip route [add|delete|flush]");
          return;
        }
        if (c.router.routes.empty()) {
          c.out.Line("Routing table is empty");
          return;
        }
        // The form the routes were added in, so a listing replays as commands.
        for (const Route& r : c.router.routes)
          c.out.Line("route add " + r.label + " " + r.destination + " " + r.nextHop + " " + r.mask +
                     " " + r.cost + " " + r.timeout);
      },
      "list static routes");
  table.Add(
      "ip route add",
      [](CommandContext& c) {
        const auto& a = c.args;
        if (a.size() < 4 || a.size() > 6) {
          c.out.Error("usage: ip route add LABEL DEST NEXTHOP MASK [COST [TIMEOUT]]");
          return;
        }
        Route r{a[0], a[1], a[2], a[3], a.size() > 4 ? a[4] : "1", a.size() > 5 ? a[5] : "0"};
        if (!IsDottedQuad(r.destination)) return void(c.out.Error("bad destination " + a[1]));
        if (!IsDottedQuad(r.nextHop)) return void(c.out.Error("bad next hop " + a[2]));
        if (!IsHexColonQuad(r.mask)) return void(c.out.Error("bad mask " + a[3]));
        if (!IsNumber(r.cost)) return void(c.out.Error("bad cost " + r.cost));
        if (!IsNumber(r.timeout)) return void(c.out.Error("bad timeout " + r.timeout));
        if (c.router.FindRoute(r.label))
          return void(c.out.Error("route " + r.label + " already exists"));
        c.router.routes.push_back(r);
      },
      "add a static route (mask as ff:ff:ff:0)");
  table.Add(
      "ip route delete",
      [](CommandContext& c) {
        if (c.args.size() != 1) return void(c.out.Error("usage: ip route delete LABEL"));
        auto& routes = c.router.routes;
        auto it = std::find_if(routes.begin(), routes.end(),
                               [&](const Route& r) { return r.label == c.args[0]; });
        if (it == routes.end()) return void(c.out.Error("no route " + c.args[0]));
        routes.erase(it);
      },
      "delete a static route");
  table.Add(
      "ip route flush", [](CommandContext& c) { c.router.routes.clear(); },
      "delete every static route");

  table.Add(
      "snmp access list",
      [](CommandContext& c) {
        // The log-in password is always a write community.
        c.out.Line("access write " + c.router.password);
        for (const SnmpAccess& a : c.router.snmp)
          c.out.Line(std::string("access ") + (a.write ? "write " : "read ") + a.community +
                     (a.address.empty() ? "" : " " + a.address));
      },
      "list SNMP communities");
  table.Add(
      "ip snmp access write", [](CommandContext& c) { AddCommunity(c, true); },
      "add a write community");
  table.Add(
      "ip snmp access read", [](CommandContext& c) { AddCommunity(c, false); },
      "add a read community");
  table.Add(
      "ip snmp access delete",
      [](CommandContext& c) {
        if (c.args.empty() || c.args.size() > 2)
          return void(c.out.Error("usage: ip snmp access delete COMMUNITY [ADDRESS]"));
        const std::string& community = c.args[0];
        std::string address = c.args.size() == 2 ? c.args[1] : "";
        if (community == c.router.password)
          return void(c.out.Error("the log-in password cannot be removed"));
        auto& list = c.router.snmp;
        auto it = std::find_if(list.begin(), list.end(), [&](const SnmpAccess& a) {
          return a.community == community && a.address == address;
        });
        if (it == list.end()) return void(c.out.Error("no community " + community));
        list.erase(it);
      },
      "delete a community");

  table.AddConfigWriter(ConfigStage::Routing, [](const Router& r, std::vector<std::string>& lines) {
    for (const Route& route : r.routes)
      lines.push_back("ip route add " + route.label + " " + route.destination + " " +
                      route.nextHop + " " + route.mask + " " + route.cost + " " + route.timeout);
  });
  table.AddConfigWriter(
      ConfigStage::Services, [](const Router& r, std::vector<std::string>& lines) {
        // Saved as the whole list, so that removing the factory entry survives a restart.
        lines.push_back("snmp access clear");
        for (const SnmpAccess& a : r.snmp)
          lines.push_back(std::string("ip snmp access ") + (a.write ? "write " : "read ") +
                          a.community + (a.address.empty() ? "" : " " + a.address));
      });
  table.Add(
      "snmp access clear", [](CommandContext& c) { c.router.snmp.clear(); },
      "remove every community but the log-in password");
}

}  // namespace tarnwick::routersim
