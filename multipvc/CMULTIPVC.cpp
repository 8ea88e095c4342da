// The Multiple PVC dialog: reading the table, editing it and applying it as one script.
#include "multipvc/CMULTIPVC.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "channel/TextHelpers.h"
#include "ui/CommandText.h"
#include "ui/WaitProgress.h"

namespace tarnwick {
namespace {

constexpr Millis kReplyLimitMs = 5000;
constexpr int kFinalSteps = 5;
constexpr Millis kFinalStepPauseMs = 200;

const std::vector<int> kWanGroup = {IDC_MULTIPVC_WANIP_LABEL, IDC_MULTIPVC_WANMASK_LABEL,
                                    IDC_MULTIPVC_WANIP1,      IDC_MULTIPVC_WANIP2,
                                    IDC_MULTIPVC_WANIP3,      IDC_MULTIPVC_WANIP4,
                                    IDC_MULTIPVC_WANMASK1,    IDC_MULTIPVC_WANMASK2,
                                    IDC_MULTIPVC_WANMASK3,    IDC_MULTIPVC_WANMASK4};
const std::vector<int> kRemoteGroup = {IDC_MULTIPVC_REMOTE_LABEL, IDC_MULTIPVC_REMOTE1,
                                       IDC_MULTIPVC_REMOTE2, IDC_MULTIPVC_REMOTE3,
                                       IDC_MULTIPVC_REMOTE4};
const std::vector<int> kFraming = {IDC_MULTIPVC_LLC, IDC_MULTIPVC_VCMUX};
// What transparent-bridge mode leaves out: everything but bridged PVCs and their framing.
const std::vector<int> kNotTransparent = {
    IDC_MULTIPVC_ROUTED,       IDC_MULTIPVC_IPOA,        IDC_MULTIPVC_AUTOWAN,
    IDC_MULTIPVC_NAT,          IDC_MULTIPVC_WANIP_LABEL, IDC_MULTIPVC_WANMASK_LABEL,
    IDC_MULTIPVC_REMOTE_LABEL, IDC_MULTIPVC_WANIP1,      IDC_MULTIPVC_WANIP2,
    IDC_MULTIPVC_WANIP3,       IDC_MULTIPVC_WANIP4,      IDC_MULTIPVC_WANMASK1,
    IDC_MULTIPVC_WANMASK2,     IDC_MULTIPVC_WANMASK3,    IDC_MULTIPVC_WANMASK4,
    IDC_MULTIPVC_REMOTE1,      IDC_MULTIPVC_REMOTE2,     IDC_MULTIPVC_REMOTE3,
    IDC_MULTIPVC_REMOTE4};

const OctetMessages kWanIpMessages{"",
                                   {"Error in Wan IP1 address.", "Error in Wan IP2 address.",
                                    "Error in Wan IP3 address.", "Error in Wan IP4 address."}};
const OctetMessages kWanMaskMessages{"",
                                     {"Error in Wan Subnet1.", "Error in Wan Subnet2.",
                                      "Error in Wan Subnet3.", "Error in Wan Subnet4."}};
const OctetMessages kRemoteMessages{
    "",
    {"Error in Remote IP1 address.", "Error in Remote IP2 address.", "Error in Remote IP3 address.",
     "Error in Remote IP4 address."}};

// ATM carries VPIs up to 255 and VCIs up to 65535; leading zeros make different PVCs, within
// the digits the router takes.
bool FitsAtm(const std::string& text, std::size_t maxDigits, long maxValue) {
  return IsAllDigits(text) && text.size() <= maxDigits &&
         std::strtol(text.c_str(), nullptr, 10) <= maxValue;
}

}  // namespace

CMULTIPVC::CMULTIPVC(Session& session) : DialogModel(session) {
  // Enable NAT has no handler: it is read when Add runs.
  Description& d = description_;
  d.Radio({IDC_MULTIPVC_BRIDGED, IDC_MULTIPVC_ROUTED, IDC_MULTIPVC_IPOA}, ProtocolChoice);
  d.On(IDC_MULTIPVC_BRIDGED, [this] { OnPvcBridged(); });
  d.On(IDC_MULTIPVC_ROUTED, [this] { OnPvcRouted(); });
  d.On(IDC_MULTIPVC_IPOA, [this] { OnPvcIpoa(); });
  d.Check(IDC_MULTIPVC_AUTOWAN, AutoWanCheck).On(IDC_MULTIPVC_AUTOWAN, [this] { OnPvcAutoWan(); });
  d.Text(IDC_MULTIPVC_VPI, EditVpi).Text(IDC_MULTIPVC_VCI, EditVci);
  d.Check(IDC_MULTIPVC_NAT, NatCheck).Radio({IDC_MULTIPVC_LLC, IDC_MULTIPVC_VCMUX}, FramingChoice);
  d.Address(EditWanIpOctets).Address(EditWanMaskOctets).Address(EditRemoteIpOctets);
  d.List(IDC_MULTIPVC_LIST, {{"Protocol", "Protocol"},
                             {"Pvc", "PVC"},
                             {"Nat", "NAT"},
                             {"FramingMode", "Framing Mode"},
                             {"Ip", "IP"},
                             {"Subnet", "Subnet"},
                             {"RemoteIp", "RemoteIp"}});
  d.Setting("PvcTable", "").Rows(IDC_MULTIPVC_ADD, IDC_MULTIPVC_REMOVE);
  d.Button(IDC_MULTIPVC_ADD, [this] { OnAddPvc(); });
  d.Button(IDC_MULTIPVC_REMOVE, [this] { OnRemovePvc(); });
  d.Button(IDC_MULTIPVC_APPLY, [this] { OnApplyPvcs(); }).Writes();
  d.Button(IDC_MULTIPVC_CLOSE, [this] { OnCloseMultiPvc(); });
  for (OctetField* field : {&EditWanIpOctets, &EditWanMaskOctets, &EditRemoteIpOctets})
    Declare(ControlKind::Edit, std::vector<int>(field->ids().begin(), field->ids().end()));
  Declare(ControlKind::Any,
          {IDC_MULTIPVC_WANIP_LABEL, IDC_MULTIPVC_WANMASK_LABEL, IDC_MULTIPVC_REMOTE_LABEL});
}

void CMULTIPVC::ReadExistingPvcs() {
  Show();
  AddEqualColumns(view(), IDC_MULTIPVC_LIST, description_.Headings(IDC_MULTIPVC_LIST));
  LineState& line = session().line;
  const ReplyFetcher fetch = [this](const std::string& command) {
    return router().Ask(command, kReplyLimitMs);
  };
  for (const PvcRow& row : ReadRouterPvcs(*this, line, session().DnsDiscoveryAllowed, fetch))
    InsertRow(row);
  if (line.PvcModeNormal == 0) EnableAll(view(), kNotTransparent, false);
  Show();
  MarkRead();
}

bool CMULTIPVC::AddPvcRow(int protocol, const std::string& pvc, int nat, int framing,
                          const std::string& ip, const std::string& subnet,
                          const std::string& remoteIp) {
  const std::optional<PvcRow> row = MakePvcRow(protocol, pvc, nat, framing, ip, subnet, remoteIp);
  if (!row) return false;
  InsertRow(*row);
  return true;
}

void CMULTIPVC::InsertRow(const PvcRow& row) {
  InsertListRow(
      view(), IDC_MULTIPVC_LIST, 0,
      std::array{row.protocol, row.pvc, row.nat, row.framing, row.ip, row.subnet, row.remoteIp});
}

int CMULTIPVC::RowCount() const { return view().ListRowCount(IDC_MULTIPVC_LIST); }

std::vector<PvcRow> CMULTIPVC::Rows() const {
  std::vector<PvcRow> rows;
  for (int r = 0; r < RowCount(); ++r) {
    auto cell = [&](int column) { return view().ListCell(IDC_MULTIPVC_LIST, r, column); };
    rows.push_back({cell(0), cell(1), cell(2), cell(3), cell(4), cell(5), cell(6)});
  }
  return rows;
}

std::optional<std::string> CMULTIPVC::OctetFault(int id) {
  const std::array<std::pair<OctetField*, const OctetMessages*>, 3> groups = {
      {{&EditWanIpOctets, &kWanIpMessages},
       {&EditWanMaskOctets, &kWanMaskMessages},
       {&EditRemoteIpOctets, &kRemoteMessages}}};
  for (const auto& [field, messages] : groups) {
    for (std::size_t i = 0; i < 4; ++i) {
      if (field->ids()[i] != id) continue;
      std::string octet = field->octets[i];
      if (octet.empty() || (IsValidOctet(octet) && IsCommandToken(octet))) return std::nullopt;
      return messages->invalid[i];
    }
  }
  return std::nullopt;
}

bool CMULTIPVC::EnterRow(int, const ListRow& row) {
  static const std::vector<std::pair<int, int>> kFormProtocols = {
      {kBridged, IDC_MULTIPVC_BRIDGED}, {kRouted, IDC_MULTIPVC_ROUTED}, {kIpoa, IDC_MULTIPVC_IPOA}};
  int radio = 0;
  for (const auto& [protocol, id] : kFormProtocols)
    if (row.at("Protocol") == PvcProtocolName(protocol)) radio = id;
  const std::string& pvc = row.at("Pvc");
  const std::size_t slash = pvc.find('/');
  if (radio == 0 || slash == std::string::npos) return false;
  for (const auto& [protocol, id] : kFormProtocols) view().SetChecked(id, id == radio);
  OnCommand(radio);
  view().SetText(IDC_MULTIPVC_VPI, pvc.substr(0, slash));
  view().SetText(IDC_MULTIPVC_VCI, pvc.substr(slash + 1));
  view().SetChecked(IDC_MULTIPVC_NAT, row.at("Nat") == "Enable");
  view().SetChecked(IDC_MULTIPVC_LLC, row.at("FramingMode") != "VC MUX");
  view().SetChecked(IDC_MULTIPVC_VCMUX, row.at("FramingMode") == "VC MUX");
  if (row.at("Ip") == "dhcp") {
    view().SetChecked(IDC_MULTIPVC_AUTOWAN, true);
    OnCommand(IDC_MULTIPVC_AUTOWAN);
  } else {
    std::string mask = row.at("Subnet");
    std::replace(mask.begin(), mask.end(), ':', '.');
    TypeAddress(view(), EditWanIpOctets.ids(), row.at("Ip"));
    TypeAddress(view(), EditWanMaskOctets.ids(), mask);
  }
  TypeAddress(view(), EditRemoteIpOctets.ids(), row.at("RemoteIp"));
  return true;
}

std::optional<ListRow> CMULTIPVC::PutRows(int listId, const std::vector<ListRow>& rows) {
  // The table is written as a whole, so it is rebuilt as a user would: every row the form can
  // add goes, then the rows are added in order, each at the top, which the router's listing
  // then gives back as they were. The form asks for the WAN address of a bridged PVC only
  // while no bridged row holds one, and the row that holds it must stand first among the
  // bridged ones: it is added first, and again once the others are in.
  auto formCanAdd = [](const ListRow& row) {
    return row.at("Protocol") == PvcProtocolName(kBridged) ||
           row.at("Protocol") == PvcProtocolName(kRouted) ||
           row.at("Protocol") == PvcProtocolName(kIpoa);
  };
  // A PVC stands in the table once; rows the form added show their mask with dots.
  auto find = [&](const std::vector<ListRow>& in, const ListRow& row) {
    return std::find_if(in.begin(), in.end(),
                        [&](const ListRow& r) { return r.at("Pvc") == row.at("Pvc"); });
  };
  auto remove = [&](const ListRow& row) {
    const std::vector<ListRow> shown = RowsOf(listId);
    const auto at = find(shown, row);
    if (at == shown.end()) return;
    view().ListSelect(listId, static_cast<int>(at - shown.begin()));
    OnRemovePvc();
  };
  auto add = [&](const ListRow& row) {
    if (!EnterRow(listId, row)) return false;
    OnAddPvc();
    return true;
  };
  for (const ListRow& row : RowsOf(listId))
    if (formCanAdd(row) || std::find(rows.begin(), rows.end(), row) == rows.end()) remove(row);
  const auto wan = std::find_if(rows.begin(), rows.end(), [](const ListRow& row) {
    return row.at("Protocol") == PvcProtocolName(kBridged) && !row.at("Ip").empty();
  });
  if (wan != rows.end() && !add(*wan)) return *wan;
  for (auto row = rows.begin(); row != rows.end(); ++row) {
    const std::vector<ListRow> shown = RowsOf(listId);
    if (row == wan || find(shown, *row) != shown.end()) continue;
    if (!add(*row)) return *row;
  }
  if (wan != rows.end()) {
    remove(*wan);
    add(*wan);
  }
  return std::nullopt;
}

void CMULTIPVC::OnFocusLeave(int id) {
  Load();
  if (const std::optional<std::string> fault = OctetFault(id)) {
    Error(*fault);
    view().Focus(id, true);
  }
}

void CMULTIPVC::OnPvcAutoWan() {
  Load();
  LineState& line = session().line;
  if (AutoWanCheck == 1) line.WanFieldsEnabled = 0;
  EnableAll(view(), kWanGroup, line.WanFieldsEnabled == 1);
  if (line.WanFieldsEnabled == 1) view().Enable(IDC_MULTIPVC_NAT, true);
}

void CMULTIPVC::OnPvcRouted() {
  Load();
  session().line.WanFieldsEnabled = 1;
  view().Enable(IDC_MULTIPVC_AUTOWAN, false);
  EnableAll(view(), kFraming, true);
  view().Enable(IDC_MULTIPVC_NAT, true);
  EnableAll(view(), kWanGroup, true);
  EnableAll(view(), kRemoteGroup, false);
  AutoWanCheck = 0;
  Show();
}

void CMULTIPVC::OnPvcIpoa() {
  Load();
  OnPvcRouted();
  EnableAll(view(), kFraming, false);
  EnableAll(view(), kRemoteGroup, true);
  Show();
}

void CMULTIPVC::OnPvcBridged() {
  LineState& line = session().line;
  line.PvcModeNormal = 1;
  line.WanFieldsEnabled = 1;
  Load();
  view().Enable(IDC_MULTIPVC_AUTOWAN, false);
  view().Enable(IDC_MULTIPVC_NAT, false);
  EnableAll(view(), kFraming, true);
  const std::vector<PvcRow> rows = Rows();
  for (const PvcRow& row : rows) {
    if (row.protocol == PvcProtocolName(kTransparentBridge)) {
      line.PvcModeNormal = 0;
      break;
    }
  }
  if (line.PvcModeNormal == 0) {
    line.WanFieldsEnabled = 0;
  } else {
    // Only one bridged PVC carries the router's WAN address.
    for (const PvcRow& row : rows) {
      if (row.protocol == PvcProtocolName(kBridged) && !row.ip.empty()) {
        line.WanFieldsEnabled = 0;
        OnPvcAutoWan();
      }
    }
  }
  if (line.WanFieldsEnabled == 1 && line.PvcModeNormal == 1) {
    // Firmware 10 cannot take its bridged WAN address by DHCP.
    const std::string version = router().Ask("version\r\n", kReplyLimitMs);
    view().Enable(IDC_MULTIPVC_AUTOWAN, !Contains(version, "Version 10"));
  }
  OnPvcAutoWan();
  EnableAll(view(), kRemoteGroup, false);
  Show();
}

void CMULTIPVC::ResetEntries() {
  NatCheck = 0;
  AutoWanCheck = 0;
  EditVpi.clear();
  EditVci.clear();
  FramingChoice = 0;
  ProtocolChoice = -1;
  EditWanIpOctets.Clear();
  EditWanMaskOctets.Clear();
  EditRemoteIpOctets.Clear();
  Show();
}

void CMULTIPVC::OnAddPvc() {
  const int count = RowCount();
  Load();
  if (count >= kMaxRows) {
    Tell("Maximum Multiple PVC limit is 8,you cannot add anymore.", "Limit");
    view().Enable(IDC_MULTIPVC_ADD, false);
    ResetEntries();
    return;
  }
  if (ProtocolChoice < kBridged || ProtocolChoice > kIpoa)
    return Error("Please select the protocol of the PVC.");
  const LineState& line = session().line;
  if (AutoWanCheck == 0 && line.WanFieldsEnabled == 1) {
    if (EditWanIpOctets.AnyEmpty())
      return Error("Please set Wan IP in the format xxx xxx xxx xxx.");
    if (EditWanMaskOctets.AnyEmpty())
      return Error("Please set Wan Subnet in the format xxx xxx xxx xxx.");
  }
  if (EditVpi.empty()) return Error("Please set VPI.");
  if (!FitsAtm(EditVpi, 3, 255)) return Error("Error in VPI.");
  if (EditVci.empty()) return Error("Please set VCI.");
  if (!FitsAtm(EditVci, 5, 65535)) return Error("Error in VCI.");

  const std::string pvc = EditVpi + "/" + EditVci;
  const std::vector<PvcRow> rows = Rows();
  for (const PvcRow& row : rows)
    if (row.pvc == pvc) return Error("Duplication of PVC setting is not allowed.");

  // The octet boxes are checked as the focus leaves them; a text set or pasted past that
  // check must still not reach a cell.
  std::string ip, mask, remote;
  if (line.WanFieldsEnabled == 1 || ProtocolChoice == kRouted) {
    if (auto fault = EditWanIpOctets.Fault(kWanIpMessages)) return Error(*fault);
    if (auto fault = EditWanMaskOctets.Fault(kWanMaskMessages)) return Error(*fault);
    ip = EditWanIpOctets.Join('.');
    mask = EditWanMaskOctets.Join('.');
  }
  if (ProtocolChoice == kIpoa && !EditRemoteIpOctets.AnyEmpty()) {
    if (auto fault = EditRemoteIpOctets.Fault(kRemoteMessages)) return Error(*fault);
    remote = EditRemoteIpOctets.Join('.');
  }
  Load();
  if (ProtocolChoice == kRouted || ProtocolChoice == kIpoa) {
    for (const PvcRow& row : rows)
      if (row.ip == ip) return Error("Duplication of Wan IP is not allowed.");
  }
  if (FramingChoice == -1) FramingChoice = 0;
  if (AutoWanCheck == 1) ip = "dhcp";
  AddPvcRow(ProtocolChoice, pvc, NatCheck, FramingChoice, ip, mask, remote);
  ResetEntries();
}

void CMULTIPVC::OnRemovePvc() {
  const std::vector<int> selected = view().ListSelectedRows(IDC_MULTIPVC_LIST);
  if (selected.empty()) return;
  view().ListDeleteRow(IDC_MULTIPVC_LIST, selected.front());
  if (RowCount() < kMaxRows) view().Enable(IDC_MULTIPVC_ADD, true);
}

void CMULTIPVC::OnCloseMultiPvc() {
  Load();
  view().EndDialog(1);
}

void CMULTIPVC::TearDownPvcs(WriteScript& script) {
  for (const std::string& line : PvcTearDownLines())
    if (!script.Send(line)) return;
}

void CMULTIPVC::OnApplyPvcs() {
  Load();
  const std::vector<PvcRow> rows = Rows();
  if (const std::optional<std::string> refusal = PvcApplyRefusal(rows, *this))
    return Error(*refusal);
  LineState& line = session().line;
  const PvcScript body = BuildPvcScript(rows, *this, line.PvcModeNormal);

  // A line that never left stops the script: no success is shown and nothing is recorded.
  WriteScript script(session());
  if (!script.Reconnect(0)) return;
  WaitProgress wait(session().ui, session().clock, session().channel.pace);
  wait.Show("");
  wait.Step();
  TearDownPvcs(script);
  if (!script.Play(body.items, wait)) return;
  script.Execute("batch delay 5\r\n", kReplyLimitMs);
  script.Execute("batch execute\r\n", kReplyLimitMs);
  // Executing the batch rebuilds the router's interfaces.
  if (!script.Reconnect(5000)) return;
  for (int i = 0; i < kFinalSteps; ++i) {
    wait.Step();
    session().clock.Sleep(kFinalStepPauseMs);
  }
  wait.Close();
  Tell("Configuration Successful", "Complete");
  line.SinglePvc = 0;
  line.BridgeLossAccepted = 0;
  session().ConfigChanged = true;
  if (body.relaysDns) session().DnsDiscoveryAllowed = 1;
}

}  // namespace tarnwick
