#include "monitor/CMONITOR.h"

#include "channel/TextHelpers.h"

namespace tarnwick {
namespace {

constexpr Millis kReplyLimitMs = 5000;
constexpr int kMaxAtmChannels = 8;

bool Contains(const std::string& text, const char* key) {
  return text.find(key) != std::string::npos;
}

// Splits "a/b" at its first "/"; leaves both outputs alone without one.
void SplitAtSlash(const std::string& text, std::string& before, std::string& after) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return;
  before = text.substr(0, slash);
  after = text.substr(slash + 1);
}

}  // namespace

CMONITOR::CMONITOR(Session& session) : session_(session) {
  bindings_.Text(kLinkStatus, LinkStatus)
      .Text(kAdslMode, AdslMode)
      .Text(kOperationMode, OperationMode)
      .Text(kDownFastRate, DownFastRate)
      .Text(kDownInterleavedRate, DownInterleavedRate)
      .Text(kDownNoiseMargin, DownNoiseMargin)
      .Text(kDownAttenuation, DownAttenuation)
      .Text(kDownOutputPower, DownOutputPower)
      .Text(kUpFastRate, UpFastRate)
      .Text(kUpInterleavedRate, UpInterleavedRate)
      .Text(kUpNoiseMargin, UpNoiseMargin)
      .Text(kUpAttenuation, UpAttenuation)
      .Text(kUpOutputPower, UpOutputPower)
      .Text(kPacketsTransmitted, PacketsTransmitted)
      .Text(kPacketsReceivedGood, PacketsReceivedGood)
      .Text(kPacketsReceivedBad, PacketsReceivedBad)
      .Text(kTransmitVpi, TransmitVpi)
      .Text(kTransmitVci, TransmitVci)
      .Radio(kModeFirst, 4, ModeChoice);
  modeBinding_.Radio(kModeFirst, 4, ModeChoice);
}

void CMONITOR::OnInitDialog() {
  std::string reply;
  // On the log-in connection; activation reconnects afterwards.
  session_.channel.ExecuteCommand("bsp mode\r\n", reply, kReplyLimitMs);
  std::string mode;
  if (GetReplyField(reply, "Modem Mode", 1, 5, mode)) {
    // Only these spellings are the router's; anything else leaves the choice as it was.
    if (mode == "multi")
      ModeChoice = 0;
    else if (mode == "gdmt")
      ModeChoice = 1;
    else if (mode == "glite")
      ModeChoice = 2;
    else if (mode == "Ansi")
      ModeChoice = 3;
  }
  bindings().Show(view());
}

void CMONITOR::OnSetActive() {
  session_.channel.ReconnectRouter(0);
  Refresh();
  view().StartTimer(kPollTimer, kPollPeriodMs);
}

void CMONITOR::OnKillActive() { view().StopTimer(kPollTimer); }

void CMONITOR::OnTimer(int timerId) {
  if (timerId != kPollTimer) return;
  // Stopped during the refresh: the next tick comes a full period after it ends.
  view().StopTimer(kPollTimer);
  Refresh();
  view().StartTimer(kPollTimer, kPollPeriodMs);
}

void CMONITOR::OnCommand(int id) {
  if (id == kReconnect) OnReconnect();
}

void CMONITOR::ClearLineValues() {
  for (std::string* value :
       {&DownFastRate, &UpFastRate, &DownInterleavedRate, &UpInterleavedRate, &PacketsTransmitted,
        &PacketsReceivedGood, &PacketsReceivedBad, &TransmitVpi, &TransmitVci, &OperationMode,
        &DownNoiseMargin, &DownAttenuation, &DownOutputPower, &UpNoiseMargin, &UpAttenuation,
        &UpOutputPower})
    value->clear();
}

void CMONITOR::ReadAtmChannel(const std::string& channelList) {
  // The management channels (oam, edd) come first; the first other one is the user's.
  for (int i = 1; i <= kMaxAtmChannels; ++i) {
    std::string name;
    if (!GetReplyField(channelList, "TxPkts", i, 3, name)) return;
    if (Contains(name, "oam") || Contains(name, "edd")) continue;

    std::string transmitted;
    if (GetReplyField(channelList, "TxPkts", i, 5, transmitted)) {
      if (transmitted.size() > 2) transmitted.resize(transmitted.size() - 2);
      PacketsTransmitted = transmitted;
    }
    std::string received;
    if (GetReplyField(channelList, "TxPkts", i, 7, received))
      SplitAtSlash(received, PacketsReceivedGood, PacketsReceivedBad);
    std::string vpiVci;
    if (GetReplyField(channelList, "TxPkts", i, 9, vpiVci))
      SplitAtSlash(vpiVci, TransmitVpi, TransmitVci);
    return;
  }
}

void CMONITOR::Refresh() {
  std::string channelReply, modeReply, lineReply, channelList;
  session_.channel.ExecuteCommand("bsp channel\r\n", channelReply, kReplyLimitMs);
  session_.channel.ExecuteCommand("bsp mode\r\n", modeReply, kReplyLimitMs);
  session_.channel.ExecuteCommand("bsp line\r\n", lineReply, kReplyLimitMs);
  session_.channel.ExecuteCommand("bun list channels\r\n", channelList, kReplyLimitMs);

  // Each value whose key line is missing keeps its previous text.
  GetReplyField(modeReply, "Modem Mode", 1, 5, AdslMode);

  if (!Contains(channelReply, "Modem is NOT in SHOWTIME yet")) {
    LinkStatus = "Alive";
    GetReplyField(channelReply, "NEAR END FAST CHANNEL", 1, 8, DownFastRate);
    GetReplyField(channelReply, "FAR END FAST CHANNEL", 1, 8, UpFastRate);
    GetReplyField(channelReply, "NEAR END INTERLEAVED CHANNEL", 1, 8, DownInterleavedRate);
    GetReplyField(channelReply, "FAR END INTERLEAVED CHANNEL", 1, 8, UpInterleavedRate);
    // The router's own spelling.
    if (Contains(lineReply, "Operation Mode Seletected")) {
      GetReplyField(lineReply, "Operation Mode Seletected", 1, 5, OperationMode);
      GetReplyField(lineReply, "Downstream Noise", 1, 5, DownNoiseMargin);
      GetReplyField(lineReply, "Downstream Attenuation", 1, 4, DownAttenuation);
      GetReplyField(lineReply, "Downstream Output Power", 1, 5, DownOutputPower);
      GetReplyField(lineReply, "Upstream Noise", 1, 5, UpNoiseMargin);
      GetReplyField(lineReply, "Upstream Attenuation", 1, 4, UpAttenuation);
      GetReplyField(lineReply, "Upstream Output Power", 1, 5, UpOutputPower);
    }
    ReadAtmChannel(channelList);
  } else {
    LinkStatus = "Idle";
    ClearLineValues();
  }
  // A mode the user has picked but not yet applied with Reconnect must survive the refresh.
  modeBinding_.Load(view());
  bindings().Show(view());
}

void CMONITOR::OnReconnect() {
  bindings().Load(view());
  static constexpr const char* kModeCommands[] = {"bsp multi\r\n", "bsp gdmt\r\n", "bsp glite\r\n",
                                                  "bsp ansi\r\n"};
  if (ModeChoice >= 0 && ModeChoice < 4) session_.channel.SendCommand(kModeCommands[ModeChoice]);
  session_.channel.SendCommand("config save\r\n");
  // The leading blanks are part of the router's retrain commands.
  session_.channel.SendCommand(" bsp down\r\n");
  session_.channel.SendCommand(" bsp up\r\n");
}

}  // namespace tarnwick
