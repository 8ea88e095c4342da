// The preset configurations, as the lines the program's own scripts send.
#include "routersim/Presets.h"

#include <utility>

namespace tarnwick::routersim {

namespace {

std::string Pvc(const std::string& mode, int vpi, int vci) {
  std::string p = std::to_string(vpi), c = std::to_string(vci);
  return "//bun/port=atm/rfc1483=true/mode=" + mode + "/txvpi=" + p + "/txvci=" + c +
         "/rxvpi=" + p + "/rxvci=" + c;
}

std::vector<std::string> Lan(const std::string& lan) {
  return {"ip device flush", "ip subnet flush", "ip device add lan ether //edd " + lan,
          "ip subnet add lan.home . " + lan + " ff:ff:ff:0"};
}

void Append(std::vector<std::string>& lines, std::vector<std::string> more) {
  for (auto& line : more) lines.push_back(std::move(line));
}

const char kLogin[] = "ppp 1 welogin subscriber@isp.example s3cret";

}  // namespace

const std::vector<std::string>& PresetNames() {
  static const std::vector<std::string> names{"bridged", "routed",      "ipoa", "pppoa",
                                              "pppoe",   "transparent", "mixed"};
  return names;
}

// WAN addresses come from the documentation ranges: nothing ever dials them.
bool PresetLines(const std::string& name, const std::string& lan, std::vector<std::string>& lines) {
  lines.clear();
  if (name == "transparent") {
    lines = {"ip device flush",
             "ip subnet flush",
             "bridge device add edd",
             "bridge device add " + Pvc("llcbridged", 0, 35),
             "ip device add bridge ether //bridge " + lan,
             "ip subnet add bridge.home . " + lan + " ff:ff:ff:0"};
    return true;
  }
  lines = Lan(lan);
  if (name == "bridged") {
    Append(lines, {"bridge device add " + Pvc("llcbridged", 0, 35),
                   "ip device add wandevice bridge //bridge 192.0.2.10",
                   "ip subnet add wandevice.home . 192.0.2.10 ff:ff:ff:0",
                   "ip route add default 0.0.0.0 192.0.2.1 0:0:0:0", "ip nat add wandevice"});
  } else if (name == "routed") {
    Append(lines, {"ip device add wan1 ptp " + Pvc("llcrouted", 8, 35) + " 198.51.100.2",
                   "ip subnet add wan1.home . 198.51.100.2 ff:ff:ff:fc",
                   "ip route add default 0.0.0.0 198.51.100.1 0:0:0:0", "ip nat add wan1"});
  } else if (name == "ipoa") {
    Append(lines,
           {"ip device add wanIPOA1 atm //atm 203.0.113.2",
            "ip subnet add wanIPOA1.home . 203.0.113.2 ff:ff:ff:0",
            "ip route add default 0.0.0.0 203.0.113.1 0:0:0:0",
            "ip ipatm pvc add wanIPOA1 atm 0/38 remoteip 203.0.113.1", "ip nat add wanIPOA1"});
  } else if (name == "pppoa") {
    Append(lines, {"ip device add ppp_device ether //ppp/DEVICE=1", "ppp 1 pvc 0 38 ip", kLogin,
                   "ppp 1 enableprimarydns relay", "ppp 1 enable", "ip nat add ppp_device",
                   "ppp 1 llc 0", "ppp 1 gateway local", "ppp 1 echo every 10"});
  } else if (name == "pppoe") {
    Append(lines, {"ip device add ppp_device ether //ppp/DEVICE=1 mtu 1492", "ppp 1 pppoe 8 35",
                   kLogin, "ppp 1 gateway local", "ppp 1 enable", "ip nat add ppp_device",
                   "ppp 1 llc 0", "ppp 1 echo every 10"});
  } else if (name == "mixed") {
    // Every kind of PVC at once, as the multiple-PVC dialog writes them.
    Append(lines, {"ip device add wandevice bridge //bridge 192.0.2.10",
                   "ip subnet add wandevice.home . 192.0.2.10 ff:ff:ff:0",
                   "ip nat add wandevice",
                   "bridge device add " + Pvc("llcbridged", 0, 35),
                   "bridge device add " + Pvc("vcmuxbridged", 0, 36),
                   "ip device add wan1 ptp " + Pvc("llcrouted", 8, 35) + " 198.51.100.2",
                   "ip subnet add wan1.home . 198.51.100.2 ff:ff:ff:fc",
                   "ip nat add wan1",
                   "ip device add wan2 ptp " + Pvc("vcmuxrouted", 8, 36) + " 198.51.100.6",
                   "ip subnet add wan2.home . 198.51.100.6 ff:ff:ff:fc",
                   "ip device add wanIPOA1 atm //atm 203.0.113.2",
                   "ip subnet add wanIPOA1.home . 203.0.113.2 ff:ff:ff:0",
                   "ip ipatm pvc add wanIPOA1 atm 0/38 remoteip 203.0.113.1",
                   "ip device add ppp_device ether //ppp/DEVICE=1",
                   "ppp 1 pvc 0 40 ip",
                   kLogin,
                   "ppp 1 gateway local",
                   "ppp 1 enable",
                   "ppp 1 llc 1",
                   "ppp 1 echo every 10",
                   "ip route add default 0.0.0.0 192.0.2.1 0:0:0:0"});
  } else {
    lines.clear();
    return false;
  }
  return true;
}

}  // namespace tarnwick::routersim
