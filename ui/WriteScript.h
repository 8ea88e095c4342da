// A write sequence sent to the router, which stops at the first line that could not be sent.
#pragma once

#include <string>
#include <vector>

#include "channel/Clock.h"

namespace tarnwick {

class Session;
class WaitProgress;

// One item of a script: a line to send, or a progress step of the Wait box.
struct ScriptItem {
  enum class Kind { Line, Step };
  Kind kind;
  std::string line;

  bool operator==(const ScriptItem&) const = default;
};

// When a line never left (no connection, a failed send, a log-in that failed inside the
// sequence) the router did not get the script: the rest is not sent, the user has had one
// message, and the caller must not report success nor record the change. A reply that timed
// out after its line was sent is no such failure. While the session is read-only no line
// leaves either: the script fails at its first line without a message.
class WriteScript {
 public:
  explicit WriteScript(Session& session) : session_(session) {}

  // Each does nothing and returns false once the script has failed.
  bool Send(const std::string& line);
  bool Execute(const std::string& line, Millis limitMs);
  bool Reconnect(Millis delayMs);

  // Sends the lines and takes the steps in order, up to the first line that never left.
  bool Play(const std::vector<ScriptItem>& items, WaitProgress& wait);

  bool ok() const { return ok_; }

 private:
  // True (the script failed) when the session is read-only.
  bool Withheld(const std::string& line);

  Session& session_;
  bool ok_ = true;
};

}  // namespace tarnwick
