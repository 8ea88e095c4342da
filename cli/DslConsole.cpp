// tarnwick-cli dsl: polls on a schedule, streams CSV rows, and plots what it kept on the way out.
#include "cli/DslConsole.h"

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

int RunDsl(const ConsoleTarget& target, const std::string& host, const DslOptions& options,
           SocketFactory& sockets, Clock& clock, Ui& ui) {
  const std::string& csvPath = options.csvPath;
  const std::string& svgPath = options.svgPath;
  File csv(std::fopen(csvPath.c_str(), "wb"));
  if (!csv || !Write(csv.get(), CsvHeader())) {
    std::fprintf(stderr, "tarnwick-cli dsl: cannot write %s\n", csvPath.c_str());
    return kConsoleCommandFailed;
  }

  CommandChannel channel(sockets, clock, ui);
  channel.RouterAddress = target.address;
  channel.RouterPassword = target.password;
  channel.pace = target.pace;
  if (!channel.ConnectAndLogin()) return kConsoleLoginFailed;

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  DslPolling polling;
  polling.everyMs = options.everySeconds * 1000;
  polling.count = options.count;
  polling.timeoutMs = target.replyLimit.value_or(polling.timeoutMs);
  // The plot keeps a day at this period, and never less than the page keeps.
  LineHistory history(std::max<std::size_t>(
      LineHistory::kDayAtPagePeriod, static_cast<std::size_t>(86400 / options.everySeconds)));
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

  int status = csvOk ? kConsoleDone : kConsoleCommandFailed;
  if (!svgPath.empty()) {
    PlotOptions options;
    options.periodMs = polling.everyMs;
    options.everySample = true;
    const Drawing drawing = DrawLineHistory(history, SvgCanvas(kSvgWidth, kSvgHeight), options);
    if (!WriteWhole(svgPath, WriteSvg(drawing, "DSL line history of " + host))) {
      std::fprintf(stderr, "tarnwick-cli dsl: cannot write %s\n", svgPath.c_str());
      status = kConsoleCommandFailed;
    }
  }
  return status;
}

}  // namespace tarnwick
