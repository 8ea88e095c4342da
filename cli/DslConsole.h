// tarnwick-cli dsl: the page's DSL figures polled over time into a CSV file and an SVG plot.
#pragma once

#include <functional>
#include <string>

#include "channel/CommandChannel.h"
#include "cli/ConsoleSession.h"
#include "cli/Grammar.h"
#include "monitor/LineHistory.h"

namespace tarnwick {

struct DslPolling {
  Millis everyMs = 3000;
  long count = 0;  // 0: until stopped
  Millis timeoutMs = 5000;
};

// Polls with the page's four listings and its scanner, handing each sample on as it comes.
// Polls start everyMs apart, start to start; one that overran lets the next start at once.
// After a poll that did not complete, the next logs in afresh first. stop is asked between
// commands and between pauses. Returns how many polls ran.
long PollDsl(CommandChannel& channel, const DslPolling& polling,
             const std::function<UtcMillis()>& utcNow,
             const std::function<void(const DslSample&)>& sampled,
             const std::function<bool()>& stop);

// The dsl command: polls into the CSV file until the count or Ctrl-C, then writes the plot.
// Returns the exit status: 0 when the polls ran to their count or Ctrl-C stopped them, 1 when
// a file could not be written, 2 for a failed log-in.
int RunDsl(const ConsoleTarget& target, const std::string& host, const DslOptions& options,
           SocketFactory& sockets, Clock& clock, Ui& ui);

}  // namespace tarnwick
