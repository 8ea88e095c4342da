// The console's two paces side by side, in real time against the in-process simulator on
// loopback: show all, save and a one-page apply, each at the program's pace and at fast pace,
// beside the floor of show all (its own lines, one at a time, by a client that does nothing
// but wait for each prompt) and the figure of a common network-automation library for the same
// readings. Nothing is skipped here: the clock is the real one.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Figures.h"
#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "cli/SettingsCommands.h"
#include "cli/Show.h"
#include "routersim/Simulator.h"
#include "support/SimSetups.h"
#include "ui/Router.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

// Fast runs are short: their median over this many runs; the program's pace runs once.
constexpr int kFastRuns = 15;
// Log-in plus 32 reading commands, with the library's default telnet driver, on one machine.
constexpr double kPeerSeconds = 21.9;
constexpr int kPeerReadings = 32;

class QuietUi final : public Ui {
 public:
  Answer Message(WindowRef, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    if (caption == "Error") std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
  }
  void ShowPossibleErrors() override { std::fprintf(stderr, "Possible Errors\n"); }
  std::unique_ptr<WaitWindow> OpenWait(const std::string&) override { return nullptr; }
  void Trace(const std::string&) override {}
  void PumpPaint() override {}
};

// One simulated router, started in a set-up, its line figures steady.
struct SimRouter {
  explicit SimRouter(const std::vector<std::string>& commands = {}) {
    routersim::Options options;
    options.port = 0;
    options.preset = "pppoe";
    options.dslDriftPeriodMs = 0;
    sim = std::make_unique<routersim::Simulator>(options, clock);
    std::string error;
    if (!sim->Start(&error)) {
      std::fprintf(stderr, "simulator: %s\n", error.c_str());
      std::exit(1);
    }
    for (const std::string& command : commands) sim->RunCommand(command);
  }
  ~SimRouter() { sim->Stop(); }
  ConsoleTarget Target(Pace pace) const { return {sim->Address(), "admin", 5000, pace}; }

  SteadyClock clock;
  std::unique_ptr<routersim::Simulator> sim;
};

double Seconds(Steady::duration d) { return std::chrono::duration<double>(d).count(); }

template <typename Run>
double Timed(const Run& run, benchmark::State& state) {
  const auto start = Steady::now();
  if (run() != kConsoleDone) state.SkipWithError("a console command failed");
  return Seconds(Steady::now() - start);
}

// Receives until needle has come; false when the connection ended or stayed silent.
bool ReadUntil(Socket& socket, const std::string& needle) {
  std::string text;
  char buffer[1024];
  while (text.find(needle) == std::string::npos) {
    const int got = socket.Receive(buffer, sizeof buffer, 5000);
    if (got <= 0) return false;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// Every line a session sent, replayed on a fresh connection with nothing but the wait for each
// one's echo and prompt: the round trips alone.
double RoundTrips(SimRouter& router, const std::vector<std::string>& lines,
                  benchmark::State& state) {
  QuietUi ui;
  auto sockets = MakePlatformSocketFactory(true);
  std::unique_ptr<Socket> socket = sockets->Make();
  std::string host;
  std::uint16_t port = 0;
  SplitHostPort(router.sim->Address(), host, port);
  const auto start = Steady::now();
  if (!socket->Create() || !socket->Connect(host, port)) state.SkipWithError("connect failed");
  // The password request, the password (not echoed) and its prompt, then each line up to
  // its echo and prompt.
  bool ok = ReadUntil(*socket, "password");
  for (std::size_t i = 0; ok && i < lines.size(); ++i) {
    ok = socket->Send(lines[i].data(), static_cast<int>(lines[i].size())) > 0 &&
         (i == 0 ? ReadUntil(*socket, ">")
                 : CollectReply(*socket, router.clock, ui, lines[i], 2048, 5000).has_value());
  }
  if (!ok) state.SkipWithError("a reply did not come");
  const double elapsed = Seconds(Steady::now() - start);
  socket->Close();
  return elapsed;
}

struct Row {
  const char* what;
  double program = 0;
  double fast = 0;
};

void BM_ConsolePace(benchmark::State& state) {
  QuietUi ui;
  auto sockets = MakePlatformSocketFactory(true);
  const std::string file = "/tmp/tarnwick-pace-bench.json";
  const std::string page = "/tmp/tarnwick-pace-bench-dhcp.json";
  Row lines32{"log-in + 32 router lines"}, show{"show all"}, save{"save"},
      apply{"apply, one page (DHCP)"};
  double floor = 0;
  std::size_t lines = 0;
  for (auto _ : state) {
    SimRouter reading;
    reading.sim->ClearTranscript();
    std::string out;
    auto runShow = [&](Pace pace) {
      return RunShow(reading.Target(pace), "all", false, *sockets, reading.clock, ui, out);
    };
    auto runSave = [&](Pace pace) {
      return RunSave(reading.Target(pace), {file}, *sockets, reading.clock, ui);
    };
    show.program = Timed([&] { return runShow(Pace::Program); }, state);
    // The peer's readings: 32 of show all's lines, as router lines (tarnwick-cli HOST LINE...).
    const std::vector<std::string> sent = reading.sim->TranscriptLines();
    if (sent.size() < 2 + kPeerReadings) state.SkipWithError("show all sent too few lines");
    const std::vector<std::string> readings(sent.begin() + 2, sent.begin() + 2 + kPeerReadings);
    auto runLines = [&](Pace pace) {
      CommandChannel channel(*sockets, reading.clock, ui);
      channel.RouterAddress = reading.sim->Address();
      channel.RouterPassword = "admin";
      channel.pace = pace;
      Router router(channel);
      if (!router.Login()) return kConsoleLoginFailed;
      std::string reply;
      for (const std::string& line : readings)
        if (!router.Ask(line, reply, 5000)) return kConsoleCommandFailed;
      router.Drop();
      return kConsoleDone;
    };
    lines32.program = Timed([&] { return runLines(Pace::Program); }, state);
    save.program = Timed([&] { return runSave(Pace::Program); }, state);
    std::vector<double> lineRuns, shows, saves, floors;
    for (int i = 0; i < kFastRuns; ++i) {
      lineRuns.push_back(Timed([&] { return runLines(Pace::Fast); }, state));
      reading.sim->ClearTranscript();
      shows.push_back(Timed([&] { return runShow(Pace::Fast); }, state));
      const std::vector<std::string> shown = reading.sim->TranscriptLines();
      lines = shown.size();
      floors.push_back(RoundTrips(reading, shown, state));
      saves.push_back(Timed([&] { return runSave(Pace::Fast); }, state));
    }
    lines32.fast = bench::Median(lineRuns);
    show.fast = bench::Median(shows);
    save.fast = bench::Median(saves);
    floor = bench::Median(floors);

    // The DHCP page of a router that serves addresses, applied to one that does not.
    {
      SimRouter server(tarnwick::testing::kDhcpServerSetup);
      if (RunSave(server.Target(Pace::Fast), {file}, *sockets, server.clock, ui) != kConsoleDone)
        state.SkipWithError("save failed");
      std::ifstream in(file);
      nlohmann::ordered_json json = nlohmann::ordered_json::parse(in);
      for (const char* other : {"line", "pvc", "routes", "nat", "snmp", "dsl"}) json.erase(other);
      std::ofstream(page) << json.dump();
    }
    const SettingsRequest request{page, true, false, false, true};
    auto runApply = [&](Pace pace) {
      SimRouter fresh;
      std::string report;
      return Timed(
          [&] { return RunApply(fresh.Target(pace), request, *sockets, fresh.clock, ui, report); },
          state);
    };
    apply.program = runApply(Pace::Program);
    std::vector<double> applies;
    for (int i = 0; i < kFastRuns; ++i) applies.push_back(runApply(Pace::Fast));
    apply.fast = bench::Median(applies);
    state.SetIterationTime(show.fast);
  }
  std::remove(file.c_str());
  std::remove(page.c_str());

  auto& figures = bench::Figures();
  char line[240];
  figures.push_back(
      "\nconsole pace, real time against the simulator on loopback (fast: median of " +
      std::to_string(kFastRuns) + " runs)");
  figures.push_back("                           program pace    fast pace   faster");
  for (const Row& row : {lines32, show, save, apply}) {
    std::snprintf(line, sizeof line, "%-26s %10.3f s %10.2f ms %7.0fx", row.what, row.program,
                  row.fast * 1000, row.program / row.fast);
    figures.push_back(line);
  }
  std::snprintf(line, sizeof line,
                "show all's %zu lines one at a time, nothing but their round trips: %.1f ms; "
                "fast pace takes %.2fx that (goal <= 3x)",
                lines, floor * 1000, show.fast / floor);
  figures.push_back(line);
  std::snprintf(line, sizeof line,
                "peer: a common network-automation library (default telnet driver), log-in + "
                "%d readings: %.1f s (quoted, not run here), %.0fx the fast pace's",
                kPeerReadings, kPeerSeconds, kPeerSeconds / lines32.fast);
  figures.push_back(line);
  state.counters["show_fast_ms"] = show.fast * 1000;
  state.counters["show_program_s"] = show.program;
}

BENCHMARK(BM_ConsolePace)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
