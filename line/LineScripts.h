// The WAN protocol scripts and the tear-down: page values in, the lines to send out.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "line/LineValues.h"
#include "ui/Router.h"

namespace tarnwick {

// The page values a script is built from, as validation and Apply leave them: addresses
// dotted, masks as lower-case hexadecimal parts joined by ":", the WAN texts empty outside the
// WAN case. A Framing other than 0 (LLC SNAP) takes the VC MUX form.
struct LineScriptInputs {
  LineValues values;
  LineTexts texts;
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
