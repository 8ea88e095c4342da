// The console's show: each page opened on a headless view, its members and lists as text or JSON.
#include "app/Show.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include "lan/CDHCP.h"
#include "lan/CINBOUND.h"
#include "line/CLINE.h"
#include "monitor/CMONITOR.h"
#include "multipvc/CMULTIPVC.h"
#include "routing/CROUTE.h"
#include "routing/CSMNP.h"
#include "ui/HeadlessView.h"
#include "ui/Settings.h"

namespace tarnwick {
namespace {

constexpr const char* kMask = "********";

const std::array<const char*, 6> kProtocolNames = {"RFC 1483 Bridged", "RFC 1483 Routed",
                                                   "RFC 1577 (IPoA)",  "RFC 2364 (PPPoA)",
                                                   "RFC2516 (PPPoE)",  "Transparent Bridge"};
const std::array<const char*, 2> kFramingNames = {"LLC SNAP", "VC MUX"};
const std::array<const char*, 4> kModeNames = {"Multi", "G.Dmt", "G.Lite", "ANSI"};

template <std::size_t N>
std::string NameOf(const std::array<const char*, N>& names, int index) {
  return index >= 0 && index < static_cast<int>(N) ? names[static_cast<std::size_t>(index)] : "";
}

ShownField Text(const std::string& name, const std::string& label, const std::string& value,
                const std::string& unit = "") {
  return {name, label, value, value.empty() || unit.empty() ? value : value + " " + unit};
}

ShownField Check(const std::string& name, const std::string& label, int value) {
  return {name, label, value, value == 1 ? "yes" : "no"};
}

ShownField Choice(const std::string& name, const std::string& label, int value,
                  const std::string& shown) {
  return {name, label, value, shown};
}

ShownField Secret(const std::string& name, const std::string& label, const std::string& value) {
  const std::string masked = value.empty() ? "" : kMask;
  return {name, label, masked, masked};
}

// Four octet boxes as one address: empty when every box is.
std::string Address(const OctetField& field, char separator = '.') {
  return field.AllEmpty() ? std::string() : field.Join(separator);
}

// Some page scans keep the blank that led the field on the router's line; a list view hides
// it, a script reading the value would not.
std::string Trimmed(const std::string& cell) {
  const auto first = cell.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return cell.substr(first, cell.find_last_not_of(' ') - first + 1);
}

ShownTable TableOf(const View& view, int listId, const std::string& name,
                   std::vector<ShownTable::Column> columns) {
  ShownTable table{name, std::move(columns), {}};
  for (int row = 0; row < view.ListRowCount(listId); ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < static_cast<int>(table.columns.size()); ++column)
      cells.push_back(Trimmed(view.ListCell(listId, row, column)));
    table.rows.push_back(std::move(cells));
  }
  return table;
}

ShownPage LinePage(const CLINE& p) {
  return {"line",
          p.Caption(),
          {Choice("Protocol", "Protocol", p.Protocol, NameOf(kProtocolNames, p.Protocol)),
           Text("Vpi", "VPI", p.Vpi), Text("Vci", "VCI", p.Vci),
           Check("NatEnabled", "Enable NAT", p.NatEnabled), Text("Channel", "Channel", p.Channel),
           Text("UserName", "User Name", p.UserName), Secret("Password", "Password", p.Password),
           Choice("Framing", "Framing Mode", p.Framing, NameOf(kFramingNames, p.Framing)),
           Check("AutoWan", "Obtain Wan Setting Automatically", p.AutoWan),
           Text("LanIp", "LAN IP Configuration", Address(p.LanIp)),
           Text("LanMask", "LAN Subnet Mask", Address(p.LanMask)),
           Text("WanIp", "WAN IP Configuration", Address(p.WanIp)),
           Text("RemoteGateway", "Remote Gateway", Address(p.RemoteGateway)),
           Text("WanMask", "WAN Subnet Mask", Address(p.WanMask)),
           Check("DnsDiscovery", "DNS Server Discovery", p.DnsDiscovery)},
          std::nullopt};
}

ShownPage PvcPage(const std::vector<PvcRow>& rows) {
  ShownTable table{"PvcTable",
                   {{"Protocol", "Protocol"},
                    {"Pvc", "PVC"},
                    {"Nat", "NAT"},
                    {"FramingMode", "Framing Mode"},
                    {"Ip", "IP"},
                    {"Subnet", "Subnet"},
                    {"RemoteIp", "RemoteIp"}},
                   {}};
  for (const PvcRow& r : rows)
    table.rows.push_back({r.protocol, r.pvc, r.nat, r.framing, r.ip, r.subnet, r.remoteIp});
  return {"pvc", "Multiple PVC", {}, std::move(table)};
}

ShownPage DhcpPage(const CDHCP& p) {
  return {"dhcp",
          p.Caption(),
          {Check("DhcpEnabled", "Enable DHCP", p.DhcpEnabled),
           Text("NetworkId", "Network ID", Address(p.NetworkIdOctets)),
           Text("SubnetMask", "Subnet Mask", Address(p.SubnetMaskOctets)),
           Text("RangeStart", "IP Range Start", Address(p.RangeStartOctets)),
           Text("RangeEnd", "IP Range End", Address(p.RangeEndOctets)),
           Text("Gateway", "Gateway IP", Address(p.GatewayOctets)),
           Text("LeaseDays", "Lease Live", p.LeaseDays, "days"),
           Check("DnsRelayEnabled", "Enable DNS Relay", p.DnsRelayEnabled),
           Text("PrimaryDns", "Primary DNS", Address(p.PrimaryDnsOctets)),
           Text("SecondaryDns", "Secondary DNS", Address(p.SecondaryDnsOctets))},
          std::nullopt};
}

ShownPage DslPage(const CMONITOR& p) {
  return {
      "dsl",
      p.Caption(),
      {Choice("ModeChoice", "ADSL Mode setting", p.ModeChoice, NameOf(kModeNames, p.ModeChoice)),
       Text("LinkStatus", "Link Status", p.LinkStatus), Text("AdslMode", "ADSL Mode", p.AdslMode),
       Text("OperationMode", "Operation Mode", p.OperationMode),
       Text("DownstreamRateFast", "Downstream Rate(Fast)", p.DownFastRate, "Kbps"),
       Text("DownstreamRateInterleaved", "Downstream Rate(Interleaved)", p.DownInterleavedRate,
            "Kbps"),
       Text("DownstreamNoiseMargin", "Downstream NoiseMargin", p.DownNoiseMargin, "dB"),
       Text("DownstreamAttenuation", "Downstream Attenuation", p.DownAttenuation, "dB"),
       Text("DownstreamOutputPower", "Downstream Output Power", p.DownOutputPower, "dBm"),
       Text("UpstreamRateFast", "UpStream Rate(Fast)", p.UpFastRate, "Kbps"),
       Text("UpstreamRateInterleaved", "UpStream Rate(Interleaved)", p.UpInterleavedRate, "Kbps"),
       Text("UpstreamNoiseMargin", "UpStream NoiseMargin", p.UpNoiseMargin, "dB"),
       Text("UpstreamAttenuation", "UpStream Attenuation", p.UpAttenuation, "dB"),
       Text("UpstreamOutputPower", "UpStream Output Power", p.UpOutputPower, "dBm"),
       Text("PacketsTransmitted", "Packets Transmitted", p.PacketsTransmitted, "Packets"),
       Text("PacketsReceivedGood", "Packets Received (Good)", p.PacketsReceivedGood, "Packets"),
       Text("PacketsReceivedBad", "Packets Received (Bad)", p.PacketsReceivedBad, "Packets"),
       Text("TransmitVpi", "Transmit VPI", p.TransmitVpi),
       Text("TransmitVci", "Transmit VCI", p.TransmitVci)},
      std::nullopt};
}

// Opens each page once, in one session, as the sheet does when its tab is first chosen.
class PageReader {
 public:
  explicit PageReader(Session& session) : session_(session) {}
  ~PageReader() {
    if (line_) LeavePage(*line_);
  }

  ShownPage Read(const std::string& name) {
    if (name == "line") return LinePage(Line());
    if (name == "pvc") return Pvc();
    if (name == "routes") return Routes();
    if (name == "dhcp") return Dhcp();
    if (name == "nat") return Nat();
    if (name == "snmp") return Snmp();
    return Dsl();
  }

 private:
  CLINE& Line() {
    if (!line_) {
      line_ = std::make_unique<CLINE>(session_);
      OpenPage(*line_, lineView_);
    }
    return *line_;
  }

  // What the Multiple PVC button opens on the page as it was read; an empty table when the
  // page refused to open it (its message has been shown).
  ShownPage Pvc() {
    CLINE& line = Line();
    std::vector<PvcRow> rows;
    lineView_.onModalOpen = [&rows](DialogModel& dialog) {
      if (auto* pvc = dynamic_cast<CMULTIPVC*>(&dialog)) rows = pvc->Rows();
    };
    line.OnCommand(IDC_LINE_MULTIPLE_PVC);
    lineView_.onModalOpen = nullptr;
    return PvcPage(rows);
  }

  ShownPage Routes() {
    CROUTE page(session_);
    HeadlessView view;
    OpenPage(page, view);
    LeavePage(page);
    return {"routes",
            page.Caption(),
            {},
            TableOf(view, IDC_ROUTE_LIST, "RouteList",
                    {{"Label", "Label"},
                     {"DestIp", "Dest IP"},
                     {"NextHop", "Next Hop"},
                     {"Mask", "Mask"}})};
  }

  ShownPage Dhcp() {
    CDHCP page(session_);
    HeadlessView view;
    OpenPage(page, view);
    LeavePage(page);
    return DhcpPage(page);
  }

  // The NAT inbound dialog lists the same rules whatever the line protocol it is opened with.
  ShownPage Nat() {
    CINBOUND dialog(session_, -1);
    HeadlessView opener;
    ShownTable table;
    opener.onModalOpen = [&table](DialogModel& opened) {
      table = TableOf(
          opened.view(), IDC_INBOUND_LIST, "InboundList",
          {{"Interface", "Interface"}, {"PortProto", "Port/Proto"}, {"NewIpAddr", "New IP Addr"}});
    };
    opener.RunModal(dialog);
    return {"nat", "Inbound", {}, std::move(table)};
  }

  ShownPage Snmp() {
    CSMNP page(session_);
    HeadlessView view;
    OpenPage(page, view);
    LeavePage(page);
    ShownTable table = TableOf(
        view, IDC_SNMP_LIST, "CommunityList",
        {{"AccessRight", "Access Right"}, {"Community", "Community"}, {"IpAddress", "IP Address"}});
    // The write community the user logged in with is the telnet password.
    for (auto& row : table.rows)
      if (row[1] == session_.channel.RouterPassword) row[1] = kMask;
    return {"snmp", page.Caption(), {}, std::move(table)};
  }

  ShownPage Dsl() {
    CMONITOR page(session_);
    HeadlessView view;
    OpenPage(page, view);
    LeavePage(page);
    return DslPage(page);
  }

  Session& session_;
  HeadlessView lineView_;
  std::unique_ptr<CLINE> line_;
};

// Forwards to the console; notes whether anything went wrong on the way, and answers every
// question No: a show agrees to no change.
class WatchingUi final : public Ui {
 public:
  explicit WatchingUi(Ui& inner) : inner_(inner) {}
  Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    if (caption == "Error") failed = true;
    const Answer shown = inner_.Message(owner, text, caption, buttons);
    return buttons == Buttons::YesNo ? Answer::No : shown;
  }
  void ShowPossibleErrors() override {
    failed = true;
    inner_.ShowPossibleErrors();
  }
  std::unique_ptr<WaitWindow> OpenWait(const std::string& text) override {
    return inner_.OpenWait(text);
  }
  void Trace(const std::string& line) override { inner_.Trace(line); }
  void PumpPaint() override { inner_.PumpPaint(); }

  bool failed = false;

 private:
  Ui& inner_;
};

// Nothing a show does keeps a setting; only an Apply would write one.
class NoSettings final : public Settings {
 public:
  std::optional<std::string> ReadIPAddress() override { return std::nullopt; }
  bool WriteIPAddress(const std::string&) override { return false; }
};

nlohmann::ordered_json PageJson(const ShownPage& page) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const ShownField& field : page.fields)
    std::visit([&](const auto& value) { object[field.name] = value; }, field.value);
  if (page.table) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& cells : page.table->rows) {
      nlohmann::ordered_json row = nlohmann::ordered_json::object();
      for (std::size_t c = 0; c < page.table->columns.size(); ++c)
        row[page.table->columns[c].name] = c < cells.size() ? cells[c] : "";
      rows.push_back(std::move(row));
    }
    object[page.table->name] = std::move(rows);
  }
  return object;
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

const std::vector<std::string>& ShowPageNames() {
  static const std::vector<std::string> names{"line", "pvc",  "routes", "dhcp",
                                              "nat",  "snmp", "dsl"};
  return names;
}

std::vector<ShownPage> ReadPages(Session& session, const std::vector<std::string>& names) {
  const Router::Mode wasMode = session.router.mode;
  session.router.mode = Router::Mode::ReadOnly;
  std::vector<ShownPage> pages;
  {
    PageReader reader(session);
    for (const std::string& name : names) {
      const auto& known = ShowPageNames();
      if (std::find(known.begin(), known.end(), name) != known.end())
        pages.push_back(reader.Read(name));
    }
  }
  session.router.mode = wasMode;
  return pages;
}

std::string ShowText(const std::vector<ShownPage>& pages) {
  std::string out;
  for (const ShownPage& page : pages) {
    if (!out.empty()) out += "\n";
    out += page.caption + "\n";
    std::size_t width = 0;
    for (const ShownField& field : page.fields) width = std::max(width, field.label.size());
    for (const ShownField& field : page.fields) {
      std::string line = "  " + Padded(field.label + ":", width + 2) + field.text;
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
    if (!page.table) continue;
    const ShownTable& table = *page.table;
    if (table.rows.empty()) {
      out += "  (none)\n";
      continue;
    }
    std::vector<std::size_t> widths;
    for (const auto& column : table.columns) widths.push_back(column.heading.size());
    for (const auto& cells : table.rows)
      for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c)
        widths[c] = std::max(widths[c], cells[c].size());
    auto row = [&](const std::vector<std::string>& cells) {
      std::string line = " ";
      for (std::size_t c = 0; c < widths.size(); ++c)
        line += " " + Padded(c < cells.size() ? cells[c] : "", widths[c] + 1);
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    };
    std::vector<std::string> headings;
    for (const auto& column : table.columns) headings.push_back(column.heading);
    row(headings);
    for (const auto& cells : table.rows) row(cells);
  }
  return out;
}

std::string ShowJson(const std::vector<ShownPage>& pages, bool keyed) {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  if (keyed) {
    for (const ShownPage& page : pages) out[page.key] = PageJson(page);
  } else if (!pages.empty()) {
    out = PageJson(pages.front());
  }
  // Router text is not always UTF-8: odd bytes are replaced rather than refused.
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::optional<std::string> ParseShowWords(const std::vector<std::string>& words,
                                          ShowRequest& request) {
  request.page.clear();
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "--json") {
      request.json = true;
    } else if (request.page.empty()) {
      request.page = words[i];
    } else {
      return "show takes one page";
    }
  }
  const auto& names = ShowPageNames();
  if (request.page != "all" && std::find(names.begin(), names.end(), request.page) == names.end())
    return "show needs a page: line, pvc, routes, dhcp, nat, snmp, dsl or all";
  return std::nullopt;
}

ShowStatus RunShow(const ShowRequest& request, SocketFactory& sockets, Clock& clock, Ui& ui,
                   std::string& out) {
  WatchingUi watching(ui);
  NoSettings settings;
  Session session(sockets, clock, watching, settings);
  session.channel.RouterAddress = request.routerAddress;
  session.channel.RouterPassword = request.password;
  session.channel.ReplyLimitOverride = request.replyLimit;
  if (!session.channel.ConnectAndLogin()) {
    ui.Message(nullptr, "log-in to " + request.routerAddress + " failed", "");
    return kShowLoginFailed;
  }
  const bool all = request.page == "all";
  const std::vector<ShownPage> pages =
      ReadPages(session, all ? ShowPageNames() : std::vector<std::string>{request.page});
  session.channel.DropConnection();
  if (watching.failed) {
    ui.Message(nullptr,
               "show " + request.page +
                   ": a command failed or its reply timed out (see above); nothing is shown",
               "");
    return kShowCommandFailed;
  }
  out = request.json ? ShowJson(pages, all) : ShowText(pages);
  return kShowRead;
}

}  // namespace tarnwick
