// The PPP links of PPPoA and PPPoE: per-channel settings kept as the stored PPP script.
#include <algorithm>

#include "routersim/CommandTable.h"

namespace tarnwick::routersim {

namespace {

constexpr int kChannels = 8;

PppChannel& Channel(Router& r, int number) {
  auto it = std::find_if(r.ppp.begin(), r.ppp.end(),
                         [&](const PppChannel& p) { return p.number == number; });
  if (it != r.ppp.end()) return *it;
  PppChannel p;
  p.number = number;
  it = std::upper_bound(
      r.ppp.begin(), r.ppp.end(), p,
      [](const PppChannel& a, const PppChannel& b) { return a.number < b.number; });
  return *r.ppp.insert(it, p);
}

int ChannelNumber(const std::string& text) {
  if (!IsNumber(text) || text.size() > 2) return -1;
  int n = std::stoi(text);
  return n >= 1 && n <= kChannels ? n : -1;
}

// Each stored setting as the script lists it (after the channel number) and as the words
// after "ppp CH " that set it; an empty second means it is set some other way.
std::vector<std::pair<std::string, std::string>> Settings(const PppChannel& p) {
  std::vector<std::pair<std::string, std::string>> s;
  std::string pvc = std::to_string(p.vpi) + " " + std::to_string(p.vci);
  auto same = [&s](const std::string& text) { s.emplace_back(text, text); };
  if (p.transport == "pvc") s.emplace_back("pvc atm " + pvc, "pvc " + pvc + " ip");
  if (p.transport == "pppoe") s.emplace_back("pppoe atm " + pvc, "pppoe " + pvc);
  if (!p.localIp.empty()) s.emplace_back("localip " + p.localIp, "");
  if (!p.login.empty()) same("welogin " + p.login);
  if (p.llc >= 0) same("llc " + std::to_string(p.llc));
  if (p.relayDns) same("enableprimarydns relay");
  if (p.gatewayLocal) same("gateway local");
  if (p.enabled) same("enable");
  if (p.echoSeconds > 0) same("echo every " + std::to_string(p.echoSeconds));
  return s;
}

void List(CommandContext& c) {
  if (!c.rest.empty()) return void(c.out.Error("the PPP script listing takes no arguments"));
  for (const PppChannel& p : c.router.ppp)
    for (const auto& [listed, command] : Settings(p))
      c.out.Line(std::to_string(p.number) + " " + listed);
}

// "ppp CH KEYWORD ARGS..."
void Set(CommandContext& c) {
  const auto& a = c.args;
  int number = a.empty() ? -1 : ChannelNumber(a[0]);
  if (number < 0 || a.size() < 2)
    return void(c.out.Error("usage: ppp CHANNEL pvc|pppoe|welogin|llc|... ARGS"));
  const std::string& key = a[1];
  std::vector<std::string> rest(a.begin() + 2, a.end());
  auto bad = [&c, &key] { c.out.Error("bad ppp " + key + " settings"); };
  auto pvc = [&](std::size_t words, int& vpi, int& vci) {
    if (rest.size() != words || !IsNumber(rest[0]) || !IsNumber(rest[1]) || rest[0].size() > 3 ||
        rest[1].size() > 5)
      return false;
    vpi = std::stoi(rest[0]);
    vci = std::stoi(rest[1]);
    return true;
  };
  int vpi = 0, vci = 0;
  if (key == "pvc" || key == "pppoe") {
    // PPPoA takes "VPI VCI ip"; PPPoE "VPI VCI". Either replaces the other.
    bool ok = key == "pvc" ? pvc(3, vpi, vci) && rest[2] == "ip" : pvc(2, vpi, vci);
    if (!ok) return bad();
    PppChannel& p = Channel(c.router, number);
    p.transport = key;
    p.vpi = vpi;
    p.vci = vci;
  } else if (key == "welogin") {
    // A user name or password holding blanks is kept as typed: more words, not an error.
    if (rest.size() < 2) return bad();
    std::string login = rest[0];
    for (std::size_t i = 1; i < rest.size(); ++i) login += " " + rest[i];
    Channel(c.router, number).login = login;
  } else if (key == "llc") {
    if (rest.size() != 1 || (rest[0] != "0" && rest[0] != "1")) return bad();
    Channel(c.router, number).llc = rest[0] == "1";
  } else if (key == "enableprimarydns") {
    if (rest.size() != 1 || rest[0] != "relay") return bad();
    Channel(c.router, number).relayDns = true;
  } else if (key == "gateway") {
    if (rest.size() != 1 || rest[0] != "local") return bad();
    Channel(c.router, number).gatewayLocal = true;
  } else if (key == "enable") {
    if (!rest.empty()) return bad();
    Channel(c.router, number).enabled = true;
  } else if (key == "echo") {
    if (rest.size() != 2 || rest[0] != "every" || !IsNumber(rest[1]) || rest[1].size() > 4)
      return bad();
    Channel(c.router, number).echoSeconds = std::stoi(rest[1]);
  } else {
    c.out.Error("unknown ppp setting " + key);
  }
}

void Save(const Router& r, std::vector<std::string>& lines) {
  lines.push_back("config reset ppp");
  for (const PppChannel& p : r.ppp) {
    std::string ch = std::to_string(p.number);
    if (!p.localIp.empty()) lines.push_back("ppp interface " + ch + " localip " + p.localIp);
    for (const auto& [listed, command] : Settings(p))
      if (!command.empty()) lines.push_back("ppp " + ch + " " + command);
  }
}

}  // namespace

void RegisterPppCommands(CommandTable& table) {
  table.Add("ppp", Set, "set a PPP channel: pvc, pppoe, welogin, llc, enable, ...");
  table.Add(
      "ppp interface",
      [](CommandContext& c) {
        const auto& a = c.args;
        int number = a.empty() ? -1 : ChannelNumber(a[0]);
        if (number < 0 || a.size() != 3 || a[1] != "localip" || !IsDottedQuad(a[2]))
          return void(c.out.Error("usage: ppp interface CHANNEL localip ADDRESS"));
        Channel(c.router, number).localIp = a[2];
      },
      "a PPP channel's own WAN address");
  table.Add("ppp config", List, "list the stored PPP script");
  table.Add("flashfs cat initppp", List, "show the stored PPP script");
  table.Add(
      "config reset ppp", [](CommandContext& c) { c.router.ppp.clear(); },
      "forget every PPP setting");

  table.AddConfigWriter(ConfigStage::Services, Save);
}

}  // namespace tarnwick::routersim
