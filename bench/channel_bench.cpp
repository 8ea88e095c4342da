// Channel costs against the simulator on loopback. The channel's fixed pauses run on a
// SkippingClock, so every figure is the real time that remains: our own overhead plus the
// loopback round trips.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Figures.h"
#include "channel/Clock.h"
#include "channel/CommandChannel.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

constexpr std::size_t kBigReply = 4u << 20;

class QuietUi final : public Ui {
 public:
  Answer Message(WindowRef, const std::string& text, const std::string& caption, Buttons) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return Answer::Ok;
  }
  void ShowPossibleErrors() override { std::fprintf(stderr, "Possible Errors\n"); }
  std::unique_ptr<WaitWindow> OpenWait(const std::string&) override { return nullptr; }
  void Trace(const std::string&) override {}
  void PumpPaint() override {}
};

struct Rig {
  explicit Rig(std::size_t padReplyTo = 0) {
    routersim::Options options;
    options.port = 0;
    options.faults.padReplyTo = padReplyTo;
    simulator = std::make_unique<routersim::Simulator>(options, clock);
    std::string error;
    if (!simulator->Start(&error)) {
      std::fprintf(stderr, "simulator: %s\n", error.c_str());
      std::exit(1);
    }
    channel.RouterAddress = simulator->Address();
    channel.RouterPassword = "admin";
  }
  ~Rig() {
    channel.DropConnection();
    simulator->Stop();
  }

  SkippingClock clock;
  QuietUi ui;
  std::unique_ptr<SocketFactory> sockets = MakePlatformSocketFactory(true);
  CommandChannel channel{*sockets, clock, ui};
  std::unique_ptr<routersim::Simulator> simulator;
};

double Seconds(Steady::duration d) { return std::chrono::duration<double>(d).count(); }

struct Figures {
  double executeMs = 0;
  double loginMs = 0;
  double collectBytesPerSecond = 0;
  double plainBytesPerSecond = 0;
  double ratio = 0;
} figures;

void Report(benchmark::State& state, std::vector<double>& samples, double& figure) {
  figure = tarnwick::bench::Median(samples) * 1000;
  state.counters["median_ms"] = figure;
}

void BM_ExecuteCommand(benchmark::State& state) {
  Rig rig;
  if (!rig.channel.ConnectAndLogin()) state.SkipWithError("log-in failed");
  std::vector<double> samples;
  std::string reply;
  for (auto _ : state) {
    auto start = Steady::now();
    bool ok = rig.channel.ExecuteCommand("version\r\n", reply, 5000);
    double elapsed = Seconds(Steady::now() - start);
    if (!ok) state.SkipWithError("command failed");
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
  }
  Report(state, samples, figures.executeMs);
}

void BM_ConnectAndLogin(benchmark::State& state) {
  Rig rig;
  std::vector<double> samples;
  for (auto _ : state) {
    auto start = Steady::now();
    bool ok = rig.channel.ConnectAndLogin();
    double elapsed = Seconds(Steady::now() - start);
    if (!ok) state.SkipWithError("log-in failed");
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
    rig.channel.DropConnection();
  }
  Report(state, samples, figures.loginMs);
}

// A fresh log-in, which has read its own padded "home " answer, so that the next bytes on the
// connection are the measured command's reply.
void LogInQuietly(Rig& rig, benchmark::State& state) {
  rig.channel.DropConnection();
  if (!rig.channel.ConnectAndLogin()) state.SkipWithError("log-in failed");
}

// Seconds to collect the big reply with the channel's own loop.
double CollectOnce(Rig& rig, benchmark::State& state) {
  LogInQuietly(rig, state);
  Socket& socket = *rig.channel.TelnetSocket();
  auto start = Steady::now();
  socket.Send("version\r\n", 9);
  auto collected = CollectReply(socket, rig.clock, rig.ui, "version\r\n", 2048, 60000);
  double elapsed = Seconds(Steady::now() - start);
  if (!collected || collected->size() < kBigReply) state.SkipWithError("reply incomplete");
  return elapsed;
}

// The floor: the same bytes through the same receives, with no scanning or keeping; it
// stops at the prompt's last two bytes.
double PlainOnce(Rig& rig, benchmark::State& state) {
  LogInQuietly(rig, state);
  Socket& socket = *rig.channel.TelnetSocket();
  std::vector<char> buffer(2048);
  auto start = Steady::now();
  socket.Send("version\r\n", 9);
  char tail[2] = {0, 0};
  while (!(tail[0] == '>' && tail[1] == ' ')) {
    int got = socket.Receive(buffer.data(), static_cast<int>(buffer.size()), 5000);
    if (got <= 0) {
      state.SkipWithError("receive failed");
      break;
    }
    std::size_t n = static_cast<std::size_t>(got);
    tail[0] = n >= 2 ? buffer[n - 2] : tail[1];
    tail[1] = buffer[n - 1];
  }
  return Seconds(Steady::now() - start);
}

// Both loops in turn on the same simulator, order alternating, so that a busy machine
// slows both alike; the ratio is the median of the pairs' ratios.
void BM_Reply4MiB(benchmark::State& state) {
  Rig rig(kBigReply);
  std::vector<double> collect, plain, ratios;
  bool collectFirst = true;
  for (auto _ : state) {
    double c, p;
    if (collectFirst) {
      c = CollectOnce(rig, state);
      p = PlainOnce(rig, state);
    } else {
      p = PlainOnce(rig, state);
      c = CollectOnce(rig, state);
    }
    collectFirst = !collectFirst;
    state.SetIterationTime(c);
    collect.push_back(static_cast<double>(kBigReply) / c);
    plain.push_back(static_cast<double>(kBigReply) / p);
    ratios.push_back(p / c);
  }
  figures.collectBytesPerSecond = tarnwick::bench::Median(collect);
  figures.plainBytesPerSecond = tarnwick::bench::Median(plain);
  figures.ratio = tarnwick::bench::Median(ratios);
  state.counters["ratio"] = figures.ratio;
}

BENCHMARK(BM_ExecuteCommand)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConnectAndLogin)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Reply4MiB)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitialiseSocketLayer();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const double mib = 1024.0 * 1024.0;
  std::printf("\nmedian ExecuteCommand beyond its 100 ms pause:   %8.3f ms (target <= 1 ms)\n",
              figures.executeMs);
  std::printf("median ConnectAndLogin beyond its 600 ms pauses: %8.3f ms (target <= 2 ms)\n",
              figures.loginMs);
  std::printf("4 MiB reply, CollectReply:   %8.1f MiB/s (median)\n",
              figures.collectBytesPerSecond / mib);
  std::printf("4 MiB reply, plain receives: %8.1f MiB/s (median)\n",
              figures.plainBytesPerSecond / mib);
  std::printf("throughput ratio:            %8.2f (median of pairs) (target >= 0.8)\n",
              figures.ratio);
  for (const std::string& line : tarnwick::bench::Figures()) std::printf("%s\n", line.c_str());
  return 0;
}
