#pragma once

#include <string>

#include "app/Bindings.h"
#include "app/Session.h"

namespace tarnwick {

// The DSL Monitoring page: polls the line state, rates and ATM counters every three seconds
// while active; chooses the modulation mode and retrains the line.
class CMONITOR : public DialogModel {
 public:
  static constexpr int kTemplateId = 139;
  static constexpr int kLinkStatus = 1084;
  static constexpr int kAdslMode = 1125;
  static constexpr int kOperationMode = 1127;
  static constexpr int kDownFastRate = 1085;
  static constexpr int kDownInterleavedRate = 1087;
  static constexpr int kDownNoiseMargin = 1126;
  static constexpr int kDownAttenuation = 1128;
  static constexpr int kDownOutputPower = 1129;
  static constexpr int kUpFastRate = 1086;
  static constexpr int kUpInterleavedRate = 1088;
  static constexpr int kUpNoiseMargin = 1130;
  static constexpr int kUpAttenuation = 1131;
  static constexpr int kUpOutputPower = 1132;
  static constexpr int kPacketsTransmitted = 1089;
  static constexpr int kPacketsReceivedGood = 1093;
  static constexpr int kPacketsReceivedBad = 1092;
  static constexpr int kTransmitVpi = 1091;
  static constexpr int kTransmitVci = 1090;
  static constexpr int kModeFirst = 1133;  // Multi, G.Dmt, G.Lite, ANSI: 1133-1136
  static constexpr int kReconnect = 1137;
  static constexpr int kPollTimer = 1;
  static constexpr int kPollPeriodMs = 3000;

  explicit CMONITOR(Session& session);

  int TemplateId() const override { return kTemplateId; }
  std::string Caption() const override { return "DSL Monitoring"; }

  void OnInitDialog() override;
  void OnSetActive() override;
  void OnKillActive() override;
  void OnTimer(int timerId) override;
  void OnCommand(int id) override;
  void OnOK() override {}
  void OnCancel() override {}

  void Refresh();
  void OnReconnect();

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
  int ModeChoice = -1;  // 0 Multi, 1 G.Dmt, 2 G.Lite, 3 ANSI; -1 none checked

 private:
  void ReadAtmChannel(const std::string& channelList);
  void ClearLineValues();

  Session& session_;
  Bindings modeBinding_;
};

}  // namespace tarnwick
