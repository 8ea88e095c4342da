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

// The whole of Apply after validation: a progress step, the tear-down, the protocol's script,
// a Mark once all of it has gone out (the page takes the script's flags there and, when the
// LAN address or mask changes, tells the user that the program ends), then the lines that make
// the router run the batch, and the closing steps. A changed LAN ends the session with
// "@close"; otherwise the program logs in again once the router has rebuilt its interfaces.
LineScript BuildLineApply(const LineScriptInputs& in, bool lanChanged);

}  // namespace tarnwick
