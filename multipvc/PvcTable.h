// The Multiple PVC table: its rows, reading them from the router's listings, writing them back.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/LineState.h"
#include "ui/Router.h"

namespace tarnwick {

// The Protocol cell of each kind (a row's identity, compared exactly); empty outside 0..5.
std::string PvcProtocolName(int protocol);

// The longest cell text: a dotted or colon quad of three-digit numbers.
constexpr std::size_t kMaxPvcCell = 15;

// One row of the table as its seven cell texts, left to right.
struct PvcRow {
  std::string protocol;
  std::string pvc;  // VPI/VCI
  std::string nat;  // "Enable" or "Disable"
  std::string framing;
  std::string ip;        // dotted, "dhcp", empty or a single blank
  std::string subnet;    // decimal, colon-separated when read, dotted when added
  std::string remoteIp;  // IPoA only
  bool operator==(const PvcRow&) const = default;
};

// The row for these values, or nullopt for an unknown protocol or a cell that would be longer
// than kMaxPvcCell (only an odd router listing gives one: it is left out rather than cut into
// a value the router never had).
std::optional<PvcRow> MakePvcRow(int protocol, const std::string& pvc, int nat, int framing,
                                 const std::string& ip, const std::string& subnet,
                                 const std::string& remoteIp);

// The values the Line Configuration page hands the dialog; reading the router rewrites most.
struct PvcValues {
  int EntryProtocol = 0;
  std::string EntryVpi;
  std::string EntryVci;
  int EntryNat = 0;
  int EntryFraming = 0;       // 0 LLC SNAP, 1 VC MUX
  std::string EntryWanIp;     // dotted, "dhcp", or " " for PPPoE and Transparent Bridge
  std::string EntryWanMask;   // decimal colon form, empty, or " "
  std::string EntryRemoteIp;  // IPoA only
  std::string DefaultGateway;
  std::string LanIp;    // dotted
  std::string LanMask;  // hexadecimal colon form
  std::string PppChannel;
  std::string PppUserName;
  std::string PppPassword;
  int PppSeeded = 0;  // 1: the page's own PPP PVC is in the table, the router's is not read
  int DnsRelay = 0;
  // "Obtain Wan Setting Automatically": routed devices read with DHCP tick it.
  int AutoWanCheck = 0;
};

// The router's reply to a command line; empty after a time-out.
using ReplyFetcher = std::function<std::string(const std::string& command)>;

// Reads every PVC the router lists, after the Line page's own when it changed since the
// router was read. Returns the rows in the order found; each goes to the top of the table, so
// the last found is the top row. Sets line.WanFieldsEnabled, and dnsDiscoveryAllowed when the
// router's PPP link relays DNS.
std::vector<PvcRow> ReadRouterPvcs(PvcValues& values, LineState& line, int& dnsDiscoveryAllowed,
                                   const ReplyFetcher& fetch);

struct PvcScript {
  std::vector<ScriptItem> items;
  bool relaysDns = false;  // a PPP row wrote the DNS relay line
};

// Removes the router's whole WAN set-up; the lines go out before the LAN and row lines.
const std::vector<std::string>& PvcTearDownLines();

// Why the table cannot be written as it stands, or nullopt. Checked before anything is sent.
std::optional<std::string> PvcApplyRefusal(const std::vector<PvcRow>& rows,
                                           const PvcValues& values);

// The LAN lines, one group per row (top to bottom, numbered per kind), the default route and
// the routing lines, with the Wait box steps between them. normalMode 0 bridges the LAN
// Ethernet port with the PVCs.
PvcScript BuildPvcScript(const std::vector<PvcRow>& rows, const PvcValues& values, int normalMode);

}  // namespace tarnwick
