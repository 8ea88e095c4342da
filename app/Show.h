// Every page read from the console: each page's own model on a headless view, as text or JSON.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "channel/Clock.h"
#include "channel/Socket.h"
#include "channel/Ui.h"
#include "ui/Description.h"
#include "ui/Session.h"

namespace tarnwick {

// A list of the page: one JSON object a row, keyed by the columns' names.
struct ShownTable {
  struct Column {
    std::string name;
    std::string heading;
  };
  std::string name;
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;
};

struct ShownPage {
  std::string key;  // the name show takes, and the key of "show all"
  std::string caption;
  std::vector<ShownValue> fields;
  std::optional<ShownTable> table;
};

// The names show takes, in the order "all" reads them.
std::vector<std::string> ShowPageNames();

// Reads the named pages on a logged-in session, as the sheet would when each tab is first
// chosen; "pvc" is the Multiple PVC dialog opened from the unchanged Line page. The session
// is read-only meanwhile. Passwords are masked. Unknown names are skipped.
std::vector<ShownPage> ReadPages(Session& session, const std::vector<std::string>& names);

// Labelled text, one block a page.
std::string ShowText(const std::vector<ShownPage>& pages);
// One object a page; with keyed, one object holding each page under its name.
std::string ShowJson(const std::vector<ShownPage>& pages, bool keyed);

struct ShowRequest {
  std::string routerAddress;  // host[:port]
  std::string password;
  std::string page;  // one of ShowPageNames(), or "all"
  bool json = false;
  std::optional<Millis> replyLimit;
};

// Takes "show PAGE [--json]" (the words after the host) into request; what is wrong with
// them otherwise.
std::optional<std::string> ParseShowWords(const std::vector<std::string>& words,
                                          ShowRequest& request);

// The exit status of tarnwick-cli.
enum ShowStatus { kShowRead = 0, kShowCommandFailed = 1, kShowLoginFailed = 2 };

// Logs in, reads and fills out (nothing when a reply timed out or a command failed: a
// partial reading would pass for the router's state). Every message goes to ui; every
// question is answered No, whatever ui answers.
ShowStatus RunShow(const ShowRequest& request, SocketFactory& sockets, Clock& clock, Ui& ui,
                   std::string& out);

}  // namespace tarnwick
