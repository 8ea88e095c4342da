// The router state's own rules: DSL showtime, line figures, ATM channels, the LAN address.
#include "routersim/Router.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tarnwick::routersim {

void DslLine::Settle(Millis now) {
  if (showtimeSince >= 0) {
    showtimeBefore += std::max<Millis>(0, now - showtimeSince);
    showtimeSince = InShowtime(now) ? now : -1;
  } else if (InShowtime(now)) {
    // Showtime began at upAt, possibly before this call.
    showtimeBefore += now - upAt;
    showtimeSince = now;
  }
}

Millis DslLine::ShowtimeMs(Millis now) const {
  if (showtimeSince >= 0) return showtimeBefore + std::max<Millis>(0, now - showtimeSince);
  if (InShowtime(now)) return showtimeBefore + (now - upAt);
  return showtimeBefore;
}

void DslLine::GoDown(Millis now) {
  Settle(now);
  adminUp = false;
  showtimeSince = -1;
}

void DslLine::Retrain(Millis now, Millis retrainMs) {
  Settle(now);
  adminUp = true;
  upAt = now + std::max<Millis>(0, retrainMs);
  showtimeSince = -1;
  figures = TrainFigures(mode, ++trainings);
}

DslFigures DslLine::FiguresAt(Millis now, Millis driftPeriodMs) const {
  DslFigures f = figures;
  if (driftPeriodMs <= 0 || !InShowtime(now)) return f;
  // 0 at the training, 1 half a period later: the trained figures are the best ones.
  const double phase = 2 * 3.14159265358979 * static_cast<double>((now - upAt) % driftPeriodMs) /
                       static_cast<double>(driftPeriodMs);
  const double depth = (1 - std::cos(phase)) / 2;
  f.downMargin -= 2.0 * depth;
  f.upMargin -= 1.0 * depth;
  // Rate adaptation in 32 kbps steps, never above the trained rate.
  f.downInterleavedKbps -= 32 * static_cast<int>(std::lround(4 * depth));
  f.upInterleavedKbps -= 32 * static_cast<int>(std::lround(depth));
  return f;
}

const char* ModeName(DslMode mode) {
  switch (mode) {
    case DslMode::Multi:
      return "multi";
    case DslMode::Gdmt:
      return "gdmt";
    case DslMode::Glite:
      return "glite";
    case DslMode::Ansi:
      return "Ansi";
  }
  return "multi";
}

// The mode commands are lower case; only the listing spells ANSI as "Ansi".
const char* ModeCommand(DslMode mode) { return mode == DslMode::Ansi ? "ansi" : ModeName(mode); }

namespace {

// Small deterministic spread so that each retrain gives slightly different figures.
class Spread {
 public:
  explicit Spread(unsigned seed) : state_(seed * 2654435761u + 12345u) {}
  // A value in [-range, range].
  int Next(int range) {
    state_ = state_ * 1103515245u + 12345u;
    if (range <= 0) return 0;
    return static_cast<int>((state_ >> 8) % static_cast<unsigned>(2 * range + 1)) - range;
  }

 private:
  unsigned state_;
};

}  // namespace

DslFigures TrainFigures(DslMode mode, unsigned seed) {
  Spread s(seed);
  DslFigures f;
  // A loop of about 3 km: full G.dmt rates are not reached.
  int down = 7616, up = 832;
  switch (mode) {
    case DslMode::Multi:
    case DslMode::Gdmt:
      f.operationMode = "G.dmt";
      break;
    case DslMode::Glite:
      f.operationMode = "G.lite";
      down = 1536;
      up = 512;
      break;
    case DslMode::Ansi:
      f.operationMode = "T1.413";
      down = 6944;
      up = 640;
      break;
  }
  f.downInterleavedKbps = down + (mode == DslMode::Glite ? 0 : 32 * s.Next(8));
  f.upInterleavedKbps = up + (mode == DslMode::Glite ? 0 : 32 * s.Next(2));
  f.downFastKbps = 0;
  f.upFastKbps = 0;
  f.downMargin = 9.0 + s.Next(25) / 10.0;
  f.upMargin = 12.0 + s.Next(20) / 10.0;
  f.downAttenuation = 32.5 + s.Next(5) / 10.0;
  f.upAttenuation = 18.0 + s.Next(5) / 10.0;
  f.downPower = (mode == DslMode::Glite ? 16.5 : 19.5) + s.Next(3) / 10.0;
  f.upPower = 12.0 + s.Next(3) / 10.0;
  return f;
}

AtmCounters CountersFor(const AtmChannel& channel, Millis showtimeMs) {
  const auto t = static_cast<std::uint64_t>(std::max<Millis>(0, showtimeMs));
  const auto w = static_cast<std::uint64_t>(std::max(1, channel.weight));
  AtmCounters c;
  c.tx = t * w * 3 / 1000;  // 3 cells a second per unit of weight
  c.rxGood = t * w * 5 / 1000;
  c.rxBad = w > 1 ? t / 120000 : 0;  // the odd errored cell on busy channels
  return c;
}

namespace {

// The value after key up to the next "/" or blank; -1 when absent or not a number.
int SettingNumber(const std::string& settings, const std::string& key) {
  auto at = settings.find(key);
  if (at == std::string::npos) return -1;
  at += key.size();
  auto end = settings.find_first_of("/ ", at);
  std::string digits = settings.substr(at, end == std::string::npos ? std::string::npos : end - at);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  // More digits than an int holds are no number either.
  int value = 0;
  if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc())
    return -1;
  return value;
}

}  // namespace

std::string Device::ListedSettings() const {
  // IPoA devices are given as //atm and run over the ATM bundle.
  std::string listed = settings == "//atm" ? "//bun/port=atm" : settings;
  return Leased() ? listed + "/dhcp" : listed;
}

std::vector<AtmChannel> Router::AtmChannels() const {
  std::vector<AtmChannel> channels{{"oam", 0, 16, 1}, {"edd", 0, 0, 1}};
  auto add = [&channels](const std::string& name, const std::string& settings) {
    int vpi = SettingNumber(settings, "txvpi=");
    int vci = SettingNumber(settings, "txvci=");
    if (vpi >= 0 && vci >= 0) channels.push_back({name, vpi, vci, 40});
  };
  for (std::size_t i = 0; i < bridgePorts.size(); ++i)
    add("bridge" + std::to_string(i + 1), bridgePorts[i]);
  for (const Device& d : devices) add(d.name, d.settings);
  for (const IpoaPvc& p : ipoaPvcs) channels.push_back({p.device, p.vpi, p.vci, 40});
  for (const PppChannel& p : ppp)
    if (!p.transport.empty())
      channels.push_back({"ppp" + std::to_string(p.number), p.vpi, p.vci, 40});
  // The factory PVC when nothing else is configured.
  if (channels.size() == 2) channels.push_back({"rfc1483-0", 0, 35, 40});
  return channels;
}

Route* Router::FindRoute(const std::string& label) {
  auto it =
      std::find_if(routes.begin(), routes.end(), [&](const Route& r) { return r.label == label; });
  return it == routes.end() ? nullptr : &*it;
}

Device* Router::FindDevice(const std::string& name) {
  auto it =
      std::find_if(devices.begin(), devices.end(), [&](const Device& d) { return d.name == name; });
  return it == devices.end() ? nullptr : &*it;
}

std::string Router::LanAddress() const {
  for (const char* name : {"lan", "bridge"}) {
    for (const Device& d : devices)
      if (d.name == name && !d.address.empty() && !d.Leased()) return d.address;
  }
  return "";
}

void Router::FlushDevices() {
  devices.clear();
  nat.clear();
  ipoaPvcs.clear();
}

Router FactoryRouter(const std::string& password, const std::string& firmware,
                     const std::string& lanAddress, Millis now) {
  Router r;
  r.password = password;
  r.firmwareVersion = firmware;
  r.devices.push_back({"lan", "ether", "//edd", 1500, lanAddress});
  r.subnets.push_back({"lan.home", lanAddress, "ff:ff:ff:0"});
  r.snmp.push_back({false, "public", ""});
  r.dsl.mode = DslMode::Multi;
  r.dsl.adminUp = true;
  r.dsl.upAt = now;
  r.dsl.figures = TrainFigures(r.dsl.mode, 0);
  r.dsl.showtimeSince = now;
  return r;
}

}  // namespace tarnwick::routersim
