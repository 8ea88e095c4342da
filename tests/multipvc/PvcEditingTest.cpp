// Editing the table: Add's checks in their order, the limit, Remove, enabled states, octets.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "PvcDialogBench.h"

namespace tarnwick {
namespace {

using testing::CannedPvcRig;
using testing::Entry;
using testing::Table;

// The protocol radio buttons.
constexpr int kBridgedButton = IDC_MULTIPVC_BRIDGED;
constexpr int kRoutedButton = IDC_MULTIPVC_ROUTED;
constexpr int kIpoaButton = IDC_MULTIPVC_IPOA;
constexpr int kAutoWan = IDC_MULTIPVC_AUTOWAN;

// A routed PVC at 10.0.0.9 and a bridged one, carrying the WAN address 10.0.0.1 if asked.
void Prefill(CannedPvcRig& rig, bool addressedBridge) {
  rig.Open();
  rig.dialog.AddPvcRow(kRouted, "8/35", 0, 0, "10.0.0.9", "255.255.255.0", "");
  rig.dialog.AddPvcRow(kBridged, "0/35", 0, 0, addressedBridge ? "10.0.0.1" : "", "", "");
}

TEST(PvcEditing, AddChecksInOrderAndPutsTheNewRowOnTop) {
  struct Case {
    bool addressedBridge;
    Entry entry;
    std::string outcome;  // the refusal, or the new top row
  };
  const std::string m = "255.255.255.0";
  const std::vector<Case> cases = {
      {true, {0, "1", "32"}, "Please select the protocol of the PVC."},
      {true,
       {kRoutedButton, "", "", "10.0.0", m},
       "Please set Wan IP in the format xxx xxx xxx xxx."},
      {true,
       {kRoutedButton, "", "", "10.0.0.2", "255.255.255"},
       "Please set Wan Subnet in the format xxx xxx xxx xxx."},
      {true, {kRoutedButton, "", "32", "10.0.0.2", m}, "Please set VPI."},
      {true, {kRoutedButton, "256", "32", "10.0.0.2", m}, "Error in VPI."},
      {true, {kRoutedButton, "0001", "32", "10.0.0.2", m}, "Error in VPI."},
      {true, {kRoutedButton, "1", "", "10.0.0.2", m}, "Please set VCI."},
      {true, {kRoutedButton, "1", "65536", "10.0.0.2", m}, "Error in VCI."},
      {true,
       {kRoutedButton, "0", "35", "10.0.0.2", m},
       "Duplication of PVC setting is not allowed."},
      // 00/35 is not 0/35, but the bridged row carries 10.0.0.1.
      {true, {kRoutedButton, "00", "35", "10.0.0.1", m}, "Duplication of Wan IP is not allowed."},
      {true, {kIpoaButton, "1", "32", "10.0.0.2", "255.0.0.256"}, "Error in Wan Subnet4."},
      {true,
       {kRoutedButton, "1", "32", "10.0.0.2", m, "", true, true},
       "RFC 1483 Routed|1/32|Enable|VC MUX|10.0.0.2|255.255.255.0|"},
      {true,
       {kIpoaButton, "0", "38", "10.0.0.3", m, "10.0.0"},
       "RFC 1577(IPoA)|0/38|Disable|LLC SNAP|10.0.0.3|255.255.255.0|"},
      {true, {kBridgedButton, "0", "36"}, "RFC 1483 Bridged|0/36|Disable|LLC SNAP|||"},
      {false,
       {kBridgedButton, "0", "36", "10.0.0.9", m},
       "RFC 1483 Bridged|0/36|Disable|LLC SNAP|10.0.0.9|255.255.255.0|"},
      {false,
       {kBridgedButton, "0", "36", "", "", "", false, false, true},
       "RFC 1483 Bridged|0/36|Disable|LLC SNAP|dhcp||"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outcome);
    CannedPvcRig rig;
    Prefill(rig, c.addressedBridge);
    testing::Rows rows = rig.Shown();
    rig.Add(c.entry);
    if (c.outcome.find('|') == std::string::npos) {
      EXPECT_EQ(rig.bench.ui.Texts(), std::vector<std::string>{c.outcome});
      EXPECT_EQ(rig.bench.ui.messages.at(0).caption, "Error");
      EXPECT_EQ(rig.bench.view.GetText(IDC_MULTIPVC_VCI), c.entry.vci) << "entries stay";
    } else {
      EXPECT_TRUE(rig.bench.ui.messages.empty());
      rows.insert(rows.begin(), Table({c.outcome})[0]);
      EXPECT_EQ(rig.bench.view.GetText(IDC_MULTIPVC_VPI), "") << "entries cleared";
      EXPECT_TRUE(rig.bench.view.IsChecked(IDC_MULTIPVC_LLC));
    }
    EXPECT_EQ(rig.Shown(), rows);
  }
}

TEST(PvcEditing, ANinthAddIsRefusedUntilARowIsRemoved) {
  CannedPvcRig rig;
  rig.Open();
  for (int vci = 32; vci < 40; ++vci)
    rig.dialog.AddPvcRow(kBridged, "0/" + std::to_string(vci), 0, 0, "", "", "");
  rig.Add({kBridgedButton, "0", "40"});
  EXPECT_EQ(rig.bench.ui.Texts(),
            std::vector<std::string>{"Maximum Multiple PVC limit is 8,you cannot add anymore."});
  EXPECT_EQ(rig.bench.ui.messages.at(0).caption, "Limit");
  EXPECT_EQ(rig.bench.view.GetText(IDC_MULTIPVC_VCI), "") << "entries cleared";
  EXPECT_FALSE(rig.bench.view.IsEnabled(IDC_MULTIPVC_ADD));
  rig.Click(IDC_MULTIPVC_REMOVE);
  EXPECT_EQ(rig.Shown().size(), 8u) << "nothing selected";
  rig.bench.view.SelectRows(IDC_MULTIPVC_LIST, {2});
  rig.Click(IDC_MULTIPVC_REMOVE);
  EXPECT_EQ(rig.Shown()[2][1], "0/36") << "0/37, the third row, is gone";
  EXPECT_TRUE(rig.bench.view.IsEnabled(IDC_MULTIPVC_ADD));
}

TEST(PvcEditing, EachProtocolButtonSetsWhatCanBeEntered) {
  struct Case {
    std::vector<int> clicks;
    bool addressedBridge;
    std::string version;
    // '1' per group enabled: framing, NAT, automatic WAN, WAN group, remote group.
    std::string enabled;
  };
  const std::vector<Case> cases = {
      {{kBridgedButton}, false, "Version 9.2", "11110"},
      {{kBridgedButton}, false, "Software Version 10.1", "11010"},
      {{kBridgedButton}, true, "Version 9.2", "10000"},
      {{kBridgedButton, kAutoWan}, false, "", "11100"},
      {{kBridgedButton, kAutoWan, kAutoWan}, false, "", "11100"},  // unticking releases nothing
      {{kAutoWan, kRoutedButton}, true, "", "11010"},
      {{kAutoWan, kIpoaButton}, true, "", "01011"},
  };
  const std::vector<std::vector<int>> groups = {
      {IDC_MULTIPVC_LLC, IDC_MULTIPVC_VCMUX},
      {IDC_MULTIPVC_NAT},
      {kAutoWan},
      {IDC_MULTIPVC_WANIP_LABEL, IDC_MULTIPVC_WANIP1, IDC_MULTIPVC_WANMASK4},
      {IDC_MULTIPVC_REMOTE_LABEL, IDC_MULTIPVC_REMOTE1, IDC_MULTIPVC_REMOTE4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.clicks));
    CannedPvcRig rig;
    rig.Serve("version", c.version + "\r\n");
    Prefill(rig, c.addressedBridge);
    // Each control starts the other way, so the handlers must set it.
    for (std::size_t g = 0; g < groups.size(); ++g)
      for (int id : groups[g]) rig.bench.view.Enable(id, c.enabled[g] == '0');
    for (int id : c.clicks) rig.Click(id);
    for (std::size_t g = 0; g < groups.size(); ++g)
      for (int id : groups[g]) EXPECT_EQ(rig.bench.view.IsEnabled(id), c.enabled[g] == '1') << id;
    if (c.clicks.back() != kAutoWan) {
      EXPECT_EQ(rig.bench.view.IsChecked(kAutoWan), false);
    }
  }
}

TEST(PvcEditing, AnOctetThatIsNoOctetTakesTheFocusBackWhenLeft) {
  CannedPvcRig rig;
  rig.Open();
  for (const auto& [id, text, message] : std::vector<std::tuple<int, std::string, std::string>>{
           {IDC_MULTIPVC_WANIP3, "256", "Error in Wan IP3 address."},
           {IDC_MULTIPVC_REMOTE4, "1 2", "Error in Remote IP4 address."},
           {IDC_MULTIPVC_VPI, "99999", ""}}) {
    rig.bench.ui.messages.clear();
    rig.bench.view.focused = 0;
    rig.bench.view.SetText(id, text);
    rig.dialog.OnFocusLeave(id);
    EXPECT_EQ(rig.bench.ui.Texts(),
              message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
    EXPECT_EQ(rig.bench.view.focused, message.empty() ? 0 : id);
    if (!message.empty()) {
      EXPECT_TRUE(rig.bench.view.focusSelectsAll);
    }
  }
}

}  // namespace
}  // namespace tarnwick
