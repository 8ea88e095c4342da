// The DSL Monitoring page: line state, rates and ATM counters polled while shown; mode and retrain.
#pragma once

#include <functional>
#include <string>

#include "monitor/CMONITORIds.h"
#include "monitor/LineHistory.h"
#include "monitor/LinePlot.h"
#include "ui/Page.h"
#include "ui/PollTimer.h"
#include "ui/Session.h"

namespace tarnwick {

// What one refresh shows.
struct DslReadings {
  std::string LinkStatus;
  std::string AdslMode;
  std::string OperationMode;
  std::string DownFastRate;
  std::string DownInterleavedRate;
  std::string DownNoiseMargin;
  std::string DownAttenuation;
  std::string DownOutputPower;
  std::string UpFastRate;
  std::string UpInterleavedRate;
  std::string UpNoiseMargin;
  std::string UpAttenuation;
  std::string UpOutputPower;
  std::string PacketsTransmitted;
  std::string PacketsReceivedGood;
  std::string PacketsReceivedBad;
  std::string TransmitVpi;
  std::string TransmitVci;
};

// The replies of one refresh, in the order they are asked.
struct DslReplies {
  std::string channel;   // "bsp channel"
  std::string mode;      // "bsp mode"
  std::string line;      // "bsp line"
  std::string channels;  // "bun list channels"
};

// Updates the readings from one refresh; a value whose key line is missing keeps its text.
void ScanDslReplies(const DslReplies& replies, DslReadings& readings);
// The mode choice "bsp mode" reports (0 multi .. 3 ANSI), or -1 for anything else.
int ScanModemMode(const std::string& reply);
// Runs the four listings of a refresh in order, each bounded by limitMs, on the current
// connection. False when any of them did not complete; the others still ran.
bool ReadDslReplies(Router& router, DslReplies& replies, Millis limitMs);

class CMONITOR : public Page, public DslReadings {
 public:
  static constexpr PollTimer kPoll{1, 3000};

  explicit CMONITOR(Session& session);

  int TemplateId() const override { return IDD_MONITOR; }
  std::string Caption() const override { return "DSL Monitoring"; }

  void OnInitDialog() override;
  void OnSetActive() override;
  void OnKillActive() override;
  void OnTimer(int timerId) override;

  void Refresh();
  void OnReconnect();

  int ModeChoice = -1;  // 0 Multi, 1 G.Dmt, 2 G.Lite, 3 ANSI; -1 none checked

  // Every refresh adds what it read, as the Line History window shows it.
  HistoryPlot History;
  std::function<UtcMillis()> UtcNow = SystemUtcNow;
};

}  // namespace tarnwick
