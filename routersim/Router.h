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

// An interface or bridge port; settings holds its option text (such as /txvpi=8/txvci=35).
struct Device {
  std::string name;
  std::string type;
  std::string settings;
  std::string address;
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
  std::vector<Device> bridgeDevices;
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
};

// A router as shipped: no routes, a read community "public", the line in multi mode
// and up from `now`.
Router FactoryRouter(const std::string& password, const std::string& firmware, Millis now);

}  // namespace tarnwick::routersim
