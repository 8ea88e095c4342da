// Settings files against the simulator: save, diff, an apply that finds nothing to do and one
// that changes one page. Each is timed twice: the router dialogue's own pauses (skipped by the
// clock, but counted) plus the real time, and the real time alone above those pauses.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Figures.h"
#include "PageRig.h"
#include "app/SettingsApply.h"
#include "app/SettingsFile.h"
#include "ui/NotingUi.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

// A session of its own whose Ui notes refusals, as the console's is.
struct SettingsRig {
  SettingsRig() : rig("pppoe") {
    rig.session.channel.DropConnection();
    session.channel.RouterAddress = rig.session.channel.RouterAddress;
    session.channel.RouterPassword = rig.session.channel.RouterPassword;
    if (!session.router.Login()) std::exit(1);
  }
  ~SettingsRig() { session.router.Drop(); }

  bench::PageRig rig;
  NotingUi noted{rig.ui};
  Session session{*rig.sockets, rig.clock, noted, rig.settings};
};

struct Sample {
  std::vector<double> aboveMs;
  std::vector<double> withPausesMs;
};

// Times one run of work: the real time, and the pauses the clock skipped meanwhile.
template <typename Work>
void Time(benchmark::State& state, SettingsRig& r, Sample& sample, Work work) {
  const Millis skippedBefore = r.rig.clock.Skipped();
  const auto start = Steady::now();
  const bool ok = work();
  const double above = std::chrono::duration<double, std::milli>(Steady::now() - start).count();
  if (!ok) state.SkipWithError("the run failed");
  state.SetIterationTime(above / 1000);
  sample.aboveMs.push_back(above);
  sample.withPausesMs.push_back(above + double(r.rig.clock.Skipped() - skippedBefore));
}

void Summarise(const char* what, Sample& sample) {
  char line[200];
  std::snprintf(line, sizeof line,
                "median settings %-22s with the router's pauses %8.1f ms, above them %7.3f ms",
                what, bench::Median(sample.withPausesMs), bench::Median(sample.aboveMs));
  bench::Figures().push_back(line);
}

SettingsFile WithDhcpRange(SettingsFile file, const std::string& end, bool onlyDhcp) {
  std::vector<ShownPage> kept;
  for (ShownPage& page : file.pages) {
    if (page.key == "dhcp") {
      for (ShownValue& v : page.fields) {
        if (v.key == "DhcpEnabled") v.value = 1;
        if (v.key == "NetworkId") v.value = std::string("127.0.0.0");
        if (v.key == "SubnetMask") v.value = std::string("255.255.255.0");
        if (v.key == "RangeStart") v.value = std::string("127.0.0.100");
        if (v.key == "RangeEnd") v.value = end;
        if (v.key == "Gateway") v.value = std::string("127.0.0.1");
        if (v.key == "LeaseDays") v.value = std::string("3");
      }
    }
    if (!onlyDhcp || page.key == "dhcp") kept.push_back(page);
  }
  file.pages = kept;
  return file;
}

void BM_Save(benchmark::State& state) {
  SettingsRig r;
  Sample sample;
  for (auto _ : state)
    Time(state, r, sample, [&] {
      return !ReadSettings(r.session, UtcTimestamp()).pages.empty() && !r.noted.Failed();
    });
  Summarise("save", sample);
}

void BM_Diff(benchmark::State& state) {
  SettingsRig r;
  const SettingsFile wanted = WithDhcpRange(ReadSettings(r.session, ""), "127.0.0.150", false);
  Sample sample;
  for (auto _ : state)
    Time(state, r, sample,
         [&] { return CompareSettings(ReadSettings(r.session, ""), wanted).size() == 1; });
  Summarise("diff", sample);
}

void BM_ApplyUnchanged(benchmark::State& state) {
  SettingsRig r;
  const SettingsFile same = ReadSettings(r.session, "");
  Sample sample;
  for (auto _ : state)
    Time(state, r, sample, [&] {
      const ApplyReport report = ApplySettings(r.session, r.noted, same, false);
      return !report.Changed() && !report.Stopped();
    });
  Summarise("apply, unchanged", sample);
}

// Each run moves the DHCP range's end, so every apply has one page to write.
void ApplyOnePage(benchmark::State& state, bool onlyDhcp, const char* what) {
  SettingsRig r;
  const SettingsFile now = ReadSettings(r.session, "");
  const SettingsFile files[] = {WithDhcpRange(now, "127.0.0.150", onlyDhcp),
                                WithDhcpRange(now, "127.0.0.160", onlyDhcp)};
  Sample sample;
  int next = 0;
  for (auto _ : state) {
    const SettingsFile& file = files[next++ % 2];
    Time(state, r, sample, [&] {
      const ApplyReport report = ApplySettings(r.session, r.noted, file, false);
      int applied = 0;
      for (const PageApply& page : report.pages)
        applied += page.status == PageApply::Status::Applied;
      return applied == 1 && !report.Stopped();
    });
  }
  Summarise(what, sample);
}

void BM_ApplyOnePageWholeFile(benchmark::State& state) {
  ApplyOnePage(state, false, "apply, one page of all");
}
void BM_ApplyOnePageOnly(benchmark::State& state) {
  ApplyOnePage(state, true, "apply, a one-page file");
}

BENCHMARK(BM_Save)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diff)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyUnchanged)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyOnePageWholeFile)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyOnePageOnly)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
