// The console's show: the pages' readings as labelled text or JSON.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/PageReading.h"
#include "cli/ConsoleSession.h"

namespace tarnwick {

// Labelled text, one block a page.
std::string ShowText(const std::vector<ShownPage>& pages);
// One object a page; with keyed, one object holding each page under its name.
std::string ShowJson(const std::vector<ShownPage>& pages, bool keyed);

// Logs in, reads the page (or every page for "all") and fills out (nothing when a reply timed
// out or a command failed: a partial reading would pass for the router's state). Every
// message goes to ui; every question is answered No, whatever ui answers.
ConsoleStatus RunShow(const ConsoleTarget& target, const std::string& page, bool json,
                      SocketFactory& sockets, Clock& clock, Ui& ui, std::string& out);

}  // namespace tarnwick
