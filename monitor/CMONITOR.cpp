// The DSL Monitoring page: the four listings of a refresh, their scan, and the retrain.
#include "monitor/CMONITOR.h"

#include "channel/TextHelpers.h"

namespace tarnwick {
namespace {

constexpr Millis kReplyLimitMs = 5000;
constexpr int kMaxAtmChannels = 8;

// The figures the page shows, as the console names them.
struct Figure {
  int id;
  std::string DslReadings::*member;
  const char* key;
  const char* label;
  const char* unit;
};
const Figure kFigures[] = {
    {IDC_DSL_LINK_STATUS, &DslReadings::LinkStatus, "LinkStatus", "Link Status", ""},
    {IDC_DSL_ADSL_MODE, &DslReadings::AdslMode, "AdslMode", "ADSL Mode", ""},
    {IDC_DSL_OPERATION_MODE, &DslReadings::OperationMode, "OperationMode", "Operation Mode", ""},
    {IDC_DSL_DOWN_FAST, &DslReadings::DownFastRate, "DownstreamRateFast", "Downstream Rate(Fast)",
     "Kbps"},
    {IDC_DSL_DOWN_INTERLEAVED, &DslReadings::DownInterleavedRate, "DownstreamRateInterleaved",
     "Downstream Rate(Interleaved)", "Kbps"},
    {IDC_DSL_DOWN_MARGIN, &DslReadings::DownNoiseMargin, "DownstreamNoiseMargin",
     "Downstream NoiseMargin", "dB"},
    {IDC_DSL_DOWN_ATTENUATION, &DslReadings::DownAttenuation, "DownstreamAttenuation",
     "Downstream Attenuation", "dB"},
    {IDC_DSL_DOWN_POWER, &DslReadings::DownOutputPower, "DownstreamOutputPower",
     "Downstream Output Power", "dBm"},
    {IDC_DSL_UP_FAST, &DslReadings::UpFastRate, "UpstreamRateFast", "UpStream Rate(Fast)", "Kbps"},
    {IDC_DSL_UP_INTERLEAVED, &DslReadings::UpInterleavedRate, "UpstreamRateInterleaved",
     "UpStream Rate(Interleaved)", "Kbps"},
    {IDC_DSL_UP_MARGIN, &DslReadings::UpNoiseMargin, "UpstreamNoiseMargin", "UpStream NoiseMargin",
     "dB"},
    {IDC_DSL_UP_ATTENUATION, &DslReadings::UpAttenuation, "UpstreamAttenuation",
     "UpStream Attenuation", "dB"},
    {IDC_DSL_UP_POWER, &DslReadings::UpOutputPower, "UpstreamOutputPower", "UpStream Output Power",
     "dBm"},
    {IDC_DSL_TX_PACKETS, &DslReadings::PacketsTransmitted, "PacketsTransmitted",
     "Packets Transmitted", "Packets"},
    {IDC_DSL_RX_GOOD, &DslReadings::PacketsReceivedGood, "PacketsReceivedGood",
     "Packets Received (Good)", "Packets"},
    {IDC_DSL_RX_BAD, &DslReadings::PacketsReceivedBad, "PacketsReceivedBad",
     "Packets Received (Bad)", "Packets"},
    {IDC_DSL_TX_VPI, &DslReadings::TransmitVpi, "TransmitVpi", "Transmit VPI", ""},
    {IDC_DSL_TX_VCI, &DslReadings::TransmitVci, "TransmitVci", "Transmit VCI", ""},
};

// Splits "a/b" at its first "/"; leaves both outputs alone without one.
void SplitAtSlash(const std::string& text, std::string& before, std::string& after) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return;
  before = text.substr(0, slash);
  after = text.substr(slash + 1);
}

void ClearLineValues(DslReadings& r) {
  for (std::string* value :
       {&r.DownFastRate, &r.UpFastRate, &r.DownInterleavedRate, &r.UpInterleavedRate,
        &r.PacketsTransmitted, &r.PacketsReceivedGood, &r.PacketsReceivedBad, &r.TransmitVpi,
        &r.TransmitVci, &r.OperationMode, &r.DownNoiseMargin, &r.DownAttenuation,
        &r.DownOutputPower, &r.UpNoiseMargin, &r.UpAttenuation, &r.UpOutputPower})
    value->clear();
}

void ReadAtmChannel(const std::string& channelList, DslReadings& r) {
  // The management channels (oam, edd) come first; the first other one is the user's.
  for (int i = 1; i <= kMaxAtmChannels; ++i) {
    std::string name;
    if (!GetReplyField(channelList, "TxPkts", i, 3, name)) return;
    if (Contains(name, "oam") || Contains(name, "edd")) continue;

    std::string transmitted;
    if (GetReplyField(channelList, "TxPkts", i, 5, transmitted)) {
      if (transmitted.size() > 2) transmitted.resize(transmitted.size() - 2);
      r.PacketsTransmitted = transmitted;
    }
    std::string received;
    if (GetReplyField(channelList, "TxPkts", i, 7, received))
      SplitAtSlash(received, r.PacketsReceivedGood, r.PacketsReceivedBad);
    std::string vpiVci;
    if (GetReplyField(channelList, "TxPkts", i, 9, vpiVci))
      SplitAtSlash(vpiVci, r.TransmitVpi, r.TransmitVci);
    return;
  }
}

}  // namespace

int ScanModemMode(const std::string& reply) {
  std::string mode;
  if (!GetReplyField(reply, "Modem Mode", 1, 5, mode)) return -1;
  // Only these spellings are the router's.
  if (mode == "multi") return 0;
  if (mode == "gdmt") return 1;
  if (mode == "glite") return 2;
  if (mode == "Ansi") return 3;
  return -1;
}

bool ReadDslReplies(Router& router, DslReplies& replies, Millis limitMs) {
  bool complete = router.Ask("bsp channel\r\n", replies.channel, limitMs);
  complete &= router.Ask("bsp mode\r\n", replies.mode, limitMs);
  complete &= router.Ask("bsp line\r\n", replies.line, limitMs);
  complete &= router.Ask("bun list channels\r\n", replies.channels, limitMs);
  return complete;
}

void ScanDslReplies(const DslReplies& replies, DslReadings& r) {
  GetReplyField(replies.mode, "Modem Mode", 1, 5, r.AdslMode);
  if (Contains(replies.channel, "Modem is NOT in SHOWTIME yet")) {
    r.LinkStatus = "Idle";
    ClearLineValues(r);
    return;
  }
  r.LinkStatus = "Alive";
  GetReplyField(replies.channel, "NEAR END FAST CHANNEL", 1, 8, r.DownFastRate);
  GetReplyField(replies.channel, "FAR END FAST CHANNEL", 1, 8, r.UpFastRate);
  GetReplyField(replies.channel, "NEAR END INTERLEAVED CHANNEL", 1, 8, r.DownInterleavedRate);
  GetReplyField(replies.channel, "FAR END INTERLEAVED CHANNEL", 1, 8, r.UpInterleavedRate);
  // The router's own spelling.
  if (Contains(replies.line, "Operation Mode Seletected")) {
    GetReplyField(replies.line, "Operation Mode Seletected", 1, 5, r.OperationMode);
    GetReplyField(replies.line, "Downstream Noise", 1, 5, r.DownNoiseMargin);
    GetReplyField(replies.line, "Downstream Attenuation", 1, 4, r.DownAttenuation);
    GetReplyField(replies.line, "Downstream Output Power", 1, 5, r.DownOutputPower);
    GetReplyField(replies.line, "Upstream Noise", 1, 5, r.UpNoiseMargin);
    GetReplyField(replies.line, "Upstream Attenuation", 1, 4, r.UpAttenuation);
    GetReplyField(replies.line, "Upstream Output Power", 1, 5, r.UpOutputPower);
  }
  ReadAtmChannel(replies.channels, r);
}

CMONITOR::CMONITOR(Session& session) : Page(session) {
  Description& d = description_;
  d.Radio(
      {IDC_DSL_MODE_MULTI, IDC_DSL_MODE_MULTI + 1, IDC_DSL_MODE_MULTI + 2, IDC_DSL_MODE_MULTI + 3},
      ModeChoice);
  d.Setting("ModeChoice", "ADSL Mode setting").Choices({"Multi", "G.Dmt", "G.Lite", "ANSI"});
  for (const Figure& f : kFigures) d.Text(f.id, this->*f.member).Reading(f.key, f.label, f.unit);
  d.Button(IDC_DSL_RECONNECT, [this] { OnReconnect(); }).Writes();
}

void CMONITOR::OnInitDialog() {
  // On the log-in connection; activation reconnects afterwards.
  const std::string reply = router().Ask("bsp mode\r\n", kReplyLimitMs);
  // Anything but the router's spellings leaves the choice as it was.
  if (const int mode = ScanModemMode(reply); mode >= 0) ModeChoice = mode;
  Show();
  MarkApplied();
}

void CMONITOR::OnSetActive() {
  router().Reconnect(0);
  Refresh();
  kPoll.Start(view());
}

void CMONITOR::OnKillActive() { kPoll.Stop(view()); }

void CMONITOR::OnTimer(int timerId) {
  kPoll.Tick(view(), timerId, [this] { Refresh(); });
}

void CMONITOR::Refresh() {
  const UtcMillis started = UtcNow();
  DslReplies replies;
  const bool complete = ReadDslReplies(router(), replies, kReplyLimitMs);
  ScanDslReplies(replies, *this);
  // A mode the user has picked but not yet applied with Reconnect must survive the refresh.
  description_.Load(view(), "ModeChoice");
  Show();
  History.Append(MakeSample(started, replies, complete));
}

void CMONITOR::OnReconnect() {
  Load();
  static constexpr const char* kModeCommands[] = {"bsp multi\r\n", "bsp gdmt\r\n", "bsp glite\r\n",
                                                  "bsp ansi\r\n"};
  // Each line's answer is waited for: the next refresh reads on this connection.
  if (ModeChoice >= 0 && ModeChoice < 4) router().SendAndSettle(kModeCommands[ModeChoice]);
  router().SendAndSettle("config save\r\n");
  // The leading blanks are part of the router's retrain commands.
  router().SendAndSettle(" bsp down\r\n");
  router().SendAndSettle(" bsp up\r\n");
  MarkApplied();
}

}  // namespace tarnwick
