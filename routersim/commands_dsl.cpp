// The ADSL line: status, modulation mode, retrain and ATM channel counters.
#include <cstdio>

#include "routersim/CommandTable.h"
#include "routersim/Simulator.h"

namespace tarnwick::routersim {

namespace {

constexpr const char kNotShowtime[] = "Modem is NOT in SHOWTIME yet";

std::string Kbps(int rate) { return std::to_string(rate); }

void SetMode(CommandContext& c, DslMode mode) {
  c.router.dsl.mode = mode;
  c.out.Line(std::string("Modem mode set to ") + ModeCommand(mode) +
             ", takes effect when the line retrains");
}

}  // namespace

void RegisterDslCommands(CommandTable& table) {
  table.Add(
      "bsp channel",
      [](CommandContext& c) {
        const DslLine& dsl = c.router.dsl;
        if (!dsl.InShowtime(c.now)) {
          c.out.Line(kNotShowtime);
          return;
        }
        const DslFigures f = dsl.FiguresAt(c.now, c.services.options().dslDriftPeriodMs);
        c.out.Line("NEAR END FAST CHANNEL BIT RATE : " + Kbps(f.downFastKbps) + " kbps");
        c.out.Line("FAR END FAST CHANNEL BIT RATE : " + Kbps(f.upFastKbps) + " kbps");
        c.out.Line("NEAR END INTERLEAVED CHANNEL BIT RATE : " + Kbps(f.downInterleavedKbps) +
                   " kbps");
        c.out.Line("FAR END INTERLEAVED CHANNEL BIT RATE : " + Kbps(f.upInterleavedKbps) + " kbps");
      },
      "line rates");
  table.Add(
      "bsp mode",
      [](CommandContext& c) {
        // Two leading blanks, as the modem driver prints it: the mode is field 5.
        c.out.Line(std::string("  Modem Mode  : ") + ModeName(c.router.dsl.mode));
      },
      "configured modulation mode");
  table.Add(
      "bsp line",
      [](CommandContext& c) {
        const DslLine& dsl = c.router.dsl;
        if (!dsl.InShowtime(c.now)) {
          c.out.Line(kNotShowtime);
          return;
        }
        const DslFigures f = dsl.FiguresAt(c.now, c.services.options().dslDriftPeriodMs);
        // "Seletected" is how the modem driver spells it; clients scan for that spelling.
        c.out.Field("Operation Mode Seletected", f.operationMode);
        c.out.Field("Downstream Noise Margin", FormatTenths(f.downMargin), "dB");
        c.out.Field("Downstream Attenuation", FormatTenths(f.downAttenuation), "dB");
        c.out.Field("Downstream Output Power", FormatTenths(f.downPower), "dBm");
        c.out.Field("Upstream Noise Margin", FormatTenths(f.upMargin), "dB");
        c.out.Field("Upstream Attenuation", FormatTenths(f.upAttenuation), "dB");
        c.out.Field("Upstream Output Power", FormatTenths(f.upPower), "dBm");
      },
      "line figures");
  table.Add(
      "bun list channels",
      [](CommandContext& c) {
        Millis up = c.router.dsl.ShowtimeMs(c.now);
        int id = 0;
        for (const AtmChannel& ch : c.router.AtmChannels()) {
          AtmCounters n = CountersFor(ch, up);
          // Counts carry a "pk" unit; vpi/vci last.
          c.out.Line("Channel " + std::to_string(id++) + " " + ch.name + " TxPkts: " +
                     std::to_string(n.tx) + "pk RxPkts(good/bad): " + std::to_string(n.rxGood) +
                     "/" + std::to_string(n.rxBad) + " vpi/vci: " + std::to_string(ch.vpi) + "/" +
                     std::to_string(ch.vci));
        }
      },
      "ATM channels and their counters");
  table.Add(
      "bsp multi", [](CommandContext& c) { SetMode(c, DslMode::Multi); }, "modulation: automatic");
  table.Add(
      "bsp gdmt", [](CommandContext& c) { SetMode(c, DslMode::Gdmt); }, "modulation: G.dmt");
  table.Add(
      "bsp glite", [](CommandContext& c) { SetMode(c, DslMode::Glite); }, "modulation: G.lite");
  table.Add(
      "bsp ansi", [](CommandContext& c) { SetMode(c, DslMode::Ansi); }, "modulation: ANSI T1.413");
  table.Add(
      "bsp down",
      [](CommandContext& c) {
        c.router.dsl.GoDown(c.sent);
        c.out.Line("Line going down");
      },
      "take the line down");
  table.Add(
      "bsp up",
      [](CommandContext& c) {
        c.router.dsl.Retrain(c.sent, c.services.options().retrainMs);
        c.out.Line(std::string("Line training in mode ") + ModeCommand(c.router.dsl.mode));
      },
      "bring the line up (retrain)");

  table.AddConfigWriter(ConfigStage::Line, [](const Router& r, std::vector<std::string>& lines) {
    lines.push_back(std::string("bsp ") + ModeCommand(r.dsl.mode));
  });
}

}  // namespace tarnwick::routersim
