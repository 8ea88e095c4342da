// The pages' listing scans on long replies of short rows, as a faulty or hostile router could
// send them up to the reply cap: the scan runs on the user-interface thread, and the Route
// Table lists again every five seconds.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Figures.h"
#include "lan/CINBOUND.h"
#include "routing/CROUTE.h"
#include "routing/CSMNP.h"

namespace {

using namespace tarnwick;
using Steady = std::chrono::steady_clock;

constexpr std::size_t kMiB = 1u << 20;

// The reply as the listing loop returns it: echo, rows up to about mib MiB, prompt.
std::string Listing(const std::string& head, const std::string& row, std::size_t mib) {
  std::string text = head;
  text.reserve(mib * kMiB + 64);
  while (text.size() + row.size() <= mib * kMiB) text += row;
  return text + "router> ";
}

struct Scan {
  const char* name;
  std::string head;
  std::string row;
  std::function<std::size_t(const std::string&)> rows;
};

const Scan kScans[] = {
    {"ScanRouteListing", "ip route\r\n", "add r 1 1 f 1\r\n",
     [](const std::string& reply) { return ScanRouteListing(reply)->size(); }},
    {"ScanCommunityListing", "snmp access list\r\n", "access read p\r\n",
     [](const std::string& reply) { return ScanCommunityListing(reply).size(); }},
    {"ScanInboundListing", "nat inbound list\r\n(NATINBOUNDLIST):\r\n", "1: WAN1 8/TCP 1\r\n",
     [](const std::string& reply) { return ScanInboundListing(reply).size(); }},
};

void BM_ScanLongListing(benchmark::State& state) {
  const Scan& scan = kScans[state.range(0)];
  const auto mib = static_cast<std::size_t>(state.range(1));
  const std::string reply = Listing(scan.head, scan.row, mib);
  const std::size_t expected = (reply.size() - scan.head.size()) / scan.row.size();
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = Steady::now();
    const std::size_t rows = scan.rows(reply);
    const double elapsed = std::chrono::duration<double>(Steady::now() - start).count();
    if (rows != expected) state.SkipWithError("rows lost");
    state.SetIterationTime(elapsed);
    samples.push_back(elapsed);
  }
  char line[160];
  std::snprintf(line, sizeof line, "%-20s %zu MiB of short rows (%zu): %9.1f ms (target < 500 ms)",
                scan.name, mib, expected, bench::Median(samples) * 1000);
  bench::Figures().push_back(line);
}

BENCHMARK(BM_ScanLongListing)
    ->ArgsProduct({{0, 1, 2}, {1, 4, 8}})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
