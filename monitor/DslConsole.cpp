// tarnwick-cli dsl: polls on a schedule, streams CSV rows, and plots what it kept on the way out.
#include "monitor/DslConsole.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "channel/Socket.h"
#include "monitor/CMONITOR.h"
#include "monitor/HistoryCsv.h"
#include "monitor/LinePlot.h"
#include "ui/SvgWriter.h"

namespace tarnwick {
namespace {

// How soon a pause between polls notices Ctrl-C.
constexpr Millis kStopCheckMs = 100;
constexpr float kSvgWidth = 1000;
constexpr float kSvgHeight = 600;

// Set by Ctrl-C; a signal handler may touch nothing else.
volatile std::sig_atomic_t stopRequested = 0;
extern "C" void RequestStop(int) { stopRequested = 1; }

const char kUsage[] =
    "usage: tarnwick-cli dsl [--port N] [--timeout MS] --every SECONDS [--count N]\n"
    "                        --csv FILE [--svg FILE] HOST\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "tarnwick-cli dsl: %s\n%s", problem, kUsage);
  return 2;
}

bool ParseNumber(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool Write(std::FILE* file, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
}

bool WriteWhole(const std::string& path, const std::string& text) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size()) return false;
  return std::fclose(file.release()) == 0;
}

}  // namespace

long PollDsl(CommandChannel& channel, const DslPolling& polling,
             const std::function<UtcMillis()>& utcNow,
             const std::function<void(const DslSample&)>& sampled,
             const std::function<bool()>& stop) {
  Clock& clock = channel.clock();
  Router router(channel);
  long polls = 0;
  bool reconnect = false;
  Millis nextStart = clock.Now();
  while (polling.count == 0 || polls < polling.count) {
    for (Millis left; !stop() && (left = nextStart - clock.Now()) > 0;)
      clock.Sleep(std::min(left, kStopCheckMs));
    if (stop()) break;
    const Millis started = clock.Now();
    const UtcMillis time = utcNow();
    // A router that restarted or dropped us is found again, so a night's run survives it.
    if (reconnect) channel.ReconnectRouter(0);
    DslReplies replies;
    const bool complete = ReadDslReplies(router, replies, polling.timeoutMs);
    sampled(MakeSample(time, replies, complete));
    ++polls;
    reconnect = !complete;
    nextStart = started + polling.everyMs;
  }
  return polls;
}

int RunDslConsole(int argc, char** argv, Ui& ui, const std::function<std::string()>& password) {
  long port = 0;
  long timeoutMs = 5000;
  long everySeconds = 0;
  long count = 0;
  std::string csvPath;
  std::string svgPath;
  std::string host;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option.rfind("--", 0) != 0) {
      if (!host.empty()) return Usage("one HOST only");
      host = option;
      continue;
    }
    if (i + 1 >= argc) return Usage("missing value");
    const char* value = argv[++i];
    if (option == "--port") {
      if (!ParseNumber(value, 1, 65535, port)) return Usage("bad port");
    } else if (option == "--timeout") {
      if (!ParseNumber(value, 0, 24L * 3600 * 1000, timeoutMs)) return Usage("bad timeout");
    } else if (option == "--every") {
      if (!ParseNumber(value, 1, 24L * 3600, everySeconds)) return Usage("bad --every");
    } else if (option == "--count") {
      if (!ParseNumber(value, 1, 1L << 30, count)) return Usage("bad --count");
    } else if (option == "--csv") {
      csvPath = value;
    } else if (option == "--svg") {
      svgPath = value;
    } else {
      return Usage("unknown option");
    }
  }
  if (everySeconds == 0) return Usage("--every SECONDS is needed");
  if (csvPath.empty()) return Usage("--csv FILE is needed");
  if (host.empty()) return Usage("HOST is needed");

  File csv(std::fopen(csvPath.c_str(), "wb"));
  if (!csv || !Write(csv.get(), CsvHeader())) {
    std::fprintf(stderr, "tarnwick-cli dsl: cannot write %s\n", csvPath.c_str());
    return 1;
  }

  if (!InitialiseSocketLayer()) {
    ui.Message(nullptr, "Unable to create a winsock connection\n", "Error", Buttons::Ok);
    return 2;
  }
  SteadyClock clock;
  auto sockets = MakePlatformSocketFactory();
  CommandChannel channel(*sockets, clock, ui);
  channel.RouterAddress = port ? host + ":" + std::to_string(port) : host;
  channel.RouterPassword = password();
  if (!channel.ConnectAndLogin()) return 2;

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  DslPolling polling;
  polling.everyMs = everySeconds * 1000;
  polling.count = count;
  polling.timeoutMs = timeoutMs;
  // The plot keeps a day at this period, and never less than the page keeps.
  LineHistory history(std::max<std::size_t>(LineHistory::kDayAtPagePeriod,
                                            static_cast<std::size_t>(86400 / everySeconds)));
  bool csvOk = true;
  PollDsl(
      channel, polling, SystemUtcNow,
      [&](const DslSample& sample) {
        history.Append(sample);
        if (csvOk && !Write(csv.get(), CsvRow(sample))) {
          std::fprintf(stderr, "tarnwick-cli dsl: cannot write %s\n", csvPath.c_str());
          csvOk = false;
        }
      },
      [&] { return stopRequested != 0 || !csvOk; });
  channel.DropConnection();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);

  int status = csvOk ? 0 : 1;
  if (!svgPath.empty()) {
    PlotOptions options;
    options.periodMs = polling.everyMs;
    options.everySample = true;
    const Drawing drawing = DrawLineHistory(history, SvgCanvas(kSvgWidth, kSvgHeight), options);
    if (!WriteWhole(svgPath, WriteSvg(drawing, "DSL line history of " + host))) {
      std::fprintf(stderr, "tarnwick-cli dsl: cannot write %s\n", svgPath.c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace tarnwick
