// The Multiple PVC dialog against the simulator on loopback: opening it (reading every PVC)
// and one Apply of eight rows. The pauses the dialogue mandates (100 ms per command, the
// log-ins, the Wait box steps, the 5000 ms reconnect) run on a SkippingClock, so each figure
// is the real time above them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Figures.h"
#include "channel/Socket.h"
#include "multipvc/CMULTIPVC.h"
#include "routersim/Simulator.h"
#include "support/Clocks.h"
#include "support/MemorySettings.h"
#include "ui/Session.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

class CountingUi final : public Ui {
 public:
  Answer Message(WindowRef, const std::string& text, const std::string&, Buttons) override {
    messages.push_back(text);
    return Answer::Ok;
  }
  void ShowPossibleErrors() override { messages.push_back("Possible Errors"); }
  std::unique_ptr<WaitWindow> OpenWait(const std::string&) override { return nullptr; }
  void Trace(const std::string&) override {}
  void PumpPaint() override {}
  std::vector<std::string> messages;
};

// Controls as plain state, as the dialog needs them and no more.
class HeadlessView final : public View {
 public:
  std::string GetText(int id) const override {
    auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetText(int id, const std::string& text) override { texts_[id] = text; }
  bool IsChecked(int id) const override { return checked_.count(id) != 0; }
  void SetChecked(int id, bool checked) override {
    if (checked)
      checked_.insert(id);
    else
      checked_.erase(id);
  }
  void Enable(int, bool) override {}
  void Focus(int, bool) override {}
  void StartTimer(int, int) override {}
  void StopTimer(int) override {}
  void Repaint() override {}
  WindowRef Window() const override { return nullptr; }
  int ListOuterWidth(int) const override { return 700; }
  void ListAddColumn(int, int, const std::string&, int) override {}
  int ListRowCount(int) const override { return static_cast<int>(rows_.size()); }
  void ListInsertRow(int, int row, const std::string& text) override {
    rows_.insert(rows_.begin() + row, std::vector<std::string>(7));
    rows_[static_cast<std::size_t>(row)][0] = text;
  }
  void ListSetCell(int, int row, int column, const std::string& text) override {
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
  }
  std::string ListCell(int, int row, int column) const override {
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  }
  void ListDeleteRow(int, int row) override { rows_.erase(rows_.begin() + row); }
  void ListDeleteAll(int) override { rows_.clear(); }
  std::vector<int> ListSelectedRows(int) const override { return {}; }
  int RunModal(DialogModel&) override { return 1; }
  void EndDialog(int) override {}
  void CancelToClose() override {}
  void ShowPlot(PlotSource&) override {}

 private:
  std::map<int, std::string> texts_;
  std::set<int> checked_;
  std::vector<std::vector<std::string>> rows_;
};

// The simulator started with every kind of PVC, and a session logged in to it.
struct Rig {
  Rig() {
    routersim::Options options;
    options.port = 0;
    options.preset = "mixed";
    simulator = std::make_unique<routersim::Simulator>(options, clock);
    std::string error;
    if (!simulator->Start(&error)) {
      std::fprintf(stderr, "simulator: %s\n", error.c_str());
      std::exit(1);
    }
    session.channel.RouterAddress = simulator->Address();
    session.channel.RouterPassword = options.password;
    session.line.PvcModeNormal = 1;
    if (!session.channel.ConnectAndLogin()) std::exit(1);
  }
  ~Rig() {
    session.channel.DropConnection();
    simulator->Stop();
  }

  // A dialog as the Line page opens it, on its own view.
  struct Opened {
    explicit Opened(Session& session) : dialog(session) {
      dialog.LanIp = "127.0.0.1";
      dialog.LanMask = "ff:ff:ff:0";
      dialog.Attach(&view);
    }
    HeadlessView view;
    CMULTIPVC dialog;
  };

  SkippingClock clock;
  CountingUi ui;
  testing::MemorySettings settings;
  std::unique_ptr<SocketFactory> sockets = MakePlatformSocketFactory(true);
  Session session{*sockets, clock, ui, settings};
  std::unique_ptr<routersim::Simulator> simulator;
};

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t mid = samples.size() / 2;
  return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

struct Figures {
  double readingMs = 0;
  std::size_t rowsRead = 0;
  double applyMs = 0;
  std::size_t rowsApplied = 0;
  std::size_t linesApplied = 0;
} figures;

void BM_OpenDialog(benchmark::State& state) {
  Rig rig;
  std::vector<double> samples;
  for (auto _ : state) {
    Rig::Opened opened(rig.session);
    const auto start = Steady::now();
    opened.dialog.OnInitDialog();
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
    figures.rowsRead = opened.dialog.Rows().size();
  }
  if (!rig.ui.messages.empty()) state.SkipWithError(rig.ui.messages.front().c_str());
  figures.readingMs = Median(samples) * 1000;
  state.counters["median_ms"] = figures.readingMs;
  char line[160];
  std::snprintf(line, sizeof line,
                "median Multiple PVC opening, %zu rows read, beyond its pauses: %7.3f ms "
                "(target < 10 ms)",
                figures.rowsRead, figures.readingMs);
  tarnwick::bench::Figures().push_back(line);
}

void BM_ApplyEightRows(benchmark::State& state) {
  Rig rig;
  Rig::Opened opened(rig.session);
  opened.dialog.OnInitDialog();
  opened.dialog.AddPvcRow(kPvcRouted, "8/37", 1, 0, "198.51.100.10", "255.255.255.252", "");
  opened.dialog.AddPvcRow(kPvcIpoa, "0/39", 0, 0, "203.0.113.6", "255.255.255.0", "");
  figures.rowsApplied = opened.dialog.Rows().size();
  std::vector<double> samples;
  for (auto _ : state) {
    rig.ui.messages.clear();
    rig.simulator->ClearTranscript();
    const auto start = Steady::now();
    opened.dialog.OnApplyPvcs();
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
    if (rig.ui.messages.empty() || rig.ui.messages.back() != "Configuration Successful")
      state.SkipWithError("apply failed");
  }
  figures.linesApplied = rig.simulator->TranscriptLines().size();
  figures.applyMs = Median(samples) * 1000;
  state.counters["median_ms"] = figures.applyMs;
  char line[160];
  std::snprintf(line, sizeof line,
                "median Multiple PVC Apply of %zu rows (%zu lines), beyond its pauses: %7.3f ms "
                "(target < 20 ms)",
                figures.rowsApplied, figures.linesApplied, figures.applyMs);
  tarnwick::bench::Figures().push_back(line);
}

BENCHMARK(BM_OpenDialog)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyEightRows)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace
