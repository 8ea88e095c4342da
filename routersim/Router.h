// The simulated router's configuration and running state, and the DSL line model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channel/Clock.h"

namespace tarnwick::routersim {

struct Route {
  std::string label;
  std::string destination;  // dotted decimal
  std::string nextHop;      // dotted decimal
  std::string mask;         // lower-case hexadecimal parts joined by ":"
  std::string cost = "1";
  std::string timeout = "0";
};

struct SnmpAccess {
  bool write = false;
  std::string community;
  std::string address;  // empty: any manager
};

// An IP interface. settings is its spec token as given (such as
// //bun/port=atm/rfc1483=true/mode=llcrouted/txvpi=8/txvci=35/rxvpi=8/rxvci=35).
struct Device {
  std::string name;
  std::string type;  // ether, ptp, atm or bridge
  std::string settings;
  int mtu = 1500;
  std::string address;  // dotted; "dhcp" when leased; empty when none
  bool Leased() const { return address == "dhcp"; }
  // As "ip device" lists it.
  std::string ListedSettings() const;
};

struct Subnet {
  std::string name;  // the device's name followed by ".home"
  std::string address;
  std::string mask;  // lower-case hexadecimal parts joined by ":"
};

// The Ethernet port "edd" or an ATM PVC given by its spec token.
using BridgePort = std::string;

struct IpoaPvc {
  std::string device;
  int vpi = 0;
  int vci = 0;
  std::string remoteIp;  // empty: none
};

// Port forwarding from a WAN interface to a LAN host.
struct InboundRule {
  std::string iface;     // as given
  std::string port;      // decimal
  std::string protocol;  // tcp or udp
  std::string host;
};

// One PPP channel's stored settings.
struct PppChannel {
  int number = 1;
  std::string transport;  // "pvc" (PPPoA) or "pppoe"; empty: no PVC yet
  int vpi = 0;
  int vci = 0;
  std::string localIp;
  std::string login;  // user name and password as typed, blanks and all
  int llc = -1;       // -1: not set
  bool relayDns = false;
  bool gatewayLocal = false;
  bool enabled = false;
  int echoSeconds = 0;  // 0: not set
};

// The DHCP server's configuration as lines of its own syntax. Changes build up in pending
// until confirmed.
struct DhcpServer {
  std::vector<std::string> current;
  std::vector<std::string> pending;
};

struct DnsRelay {
  bool on = false;
  std::string server;
};

enum class DslMode { Multi, Gdmt, Glite, Ansi };

// What the line trained to; chosen afresh at every retrain.
struct DslFigures {
  std::string operationMode;  // "G.dmt", "G.lite", "T1.413"
  int downFastKbps = 0, upFastKbps = 0;
  int downInterleavedKbps = 0, upInterleavedKbps = 0;
  double downMargin = 0, upMargin = 0;            // dB
  double downAttenuation = 0, upAttenuation = 0;  // dB
  double downPower = 0, upPower = 0;              // dBm
};

struct AtmChannel {
  std::string name;
  int vpi = 0;
  int vci = 0;
  int weight = 1;  // share of the traffic, so counters differ between channels
};

struct AtmCounters {
  std::uint64_t tx = 0, rxGood = 0, rxBad = 0;
};

struct DslLine {
  DslMode mode = DslMode::Multi;  // configured; takes effect at the next retrain
  bool adminUp = true;
  Millis upAt = 0;  // showtime from this clock time on while adminUp
  unsigned trainings = 0;
  DslFigures figures;
  // Showtime accumulated before showtimeSince; counters grow with showtime only.
  Millis showtimeBefore = 0;
  Millis showtimeSince = -1;  // -1: not counting

  bool InShowtime(Millis now) const { return adminUp && now >= upAt; }
  // Folds elapsed showtime into showtimeBefore; call before any change of line state.
  void Settle(Millis now);
  Millis ShowtimeMs(Millis now) const;
  void GoDown(Millis now);
  // Starts a retrain that ends retrainMs from now, in the configured mode.
  void Retrain(Millis now, Millis retrainMs);
  // The figures as the line reports them now: those it trained to, drifted since.
  DslFigures FiguresAt(Millis now, Millis driftPeriodMs) const;
};

const char* ModeName(DslMode mode);     // as "bsp mode" lists it: multi, gdmt, glite, Ansi
const char* ModeCommand(DslMode mode);  // as set: multi, gdmt, glite, ansi
DslFigures TrainFigures(DslMode mode, unsigned seed);
AtmCounters CountersFor(const AtmChannel& channel, Millis showtimeMs);

// The router's whole configuration and running state.
struct Router {
  std::string password;
  std::string firmwareVersion;
  std::vector<Device> devices;
  std::vector<BridgePort> bridgePorts;  // "Port N" is the N-th, from 1
  std::vector<Subnet> subnets;
  std::vector<IpoaPvc> ipoaPvcs;
  std::vector<std::string> nat;  // interfaces that translate addresses
  std::vector<InboundRule> inbound;
  std::vector<PppChannel> ppp;  // by channel number
  DhcpServer dhcp;
  DnsRelay dnsRelay;
  std::vector<Route> routes;
  std::vector<SnmpAccess> snmp;  // besides the log-in password, always a write community
  DslLine dsl;

  std::vector<std::string> batchQueue;
  int batchDelaySeconds = 0;

  // The configuration "config save" stored, as the command lines that rebuild it.
  std::vector<std::string> savedConfig;

  // Channels "bun list channels" shows: management ones, then one per configured PVC.
  std::vector<AtmChannel> AtmChannels() const;

  Route* FindRoute(const std::string& label);
  Device* FindDevice(const std::string& name);
  // The address of the LAN interface ("lan", or "bridge" when the Ethernet port is
  // bridged); empty when there is none with a fixed address.
  std::string LanAddress() const;
  // Removes every device, and the NAT and IPoA PVCs bound to them.
  void FlushDevices();
};

// A router as shipped: its LAN device "lan" at lanAddress/24, no WAN, no routes, a read
// community "public", the line in multi mode and up from `now`.
Router FactoryRouter(const std::string& password, const std::string& firmware,
                     const std::string& lanAddress, Millis now);

}  // namespace tarnwick::routersim
