// The WAN protocol scripts and the tear-down: page values in, the lines to send out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/WriteScript.h"

namespace tarnwick {

enum LineProtocol {
  kBridged = 0,
  kRouted = 1,
  kIpoa = 2,
  kPppoa = 3,
  kPppoe = 4,
  kTransparentBridge = 5,
};

// The page values a script is built from, as validation and Apply leave them: addresses
// dotted, masks as lower-case hexadecimal parts joined by ":", the WAN texts empty outside the
// WAN case.
struct LineScriptInputs {
  int Protocol = kBridged;
  std::string Vpi;
  std::string Vci;
  std::string Channel;
  std::string UserName;
  std::string Password;
  int Framing = -1;  // 0 LLC SNAP; anything else takes the VC MUX form
  int AutoWan = 0;
  int NatEnabled = 0;
  int DnsDiscovery = 0;
  std::string LanIpText;
  std::string LanMaskText;
  std::string WanIpText;
  std::string WanMaskText;
  std::string RemoteGatewayText;
};

struct LineScript {
  std::vector<ScriptItem> items;
  // Made once every line was sent.
  std::optional<int> DnsDiscoveryAllowed;
  std::optional<int> PvcModeNormal;
};

// The script that rebuilds the router's LAN and WAN side for the page's protocol; every line
// is queued with "batch add " until the batch is executed.
LineScript BuildLineScript(const LineScriptInputs& in);

// The lines that remove the router's previous WAN set-up, sent before a script.
std::vector<std::string> LineTearDownLines();

}  // namespace tarnwick
