// A write sequence sent to the router, which stops at the first line that could not be sent.
#pragma once

#include <string>

#include "channel/Clock.h"

namespace tarnwick {

class Session;

// When a line never left (no connection, a failed send, a log-in that failed inside the
// sequence) the router did not get the script: the rest is not sent, the user has had one
// message, and the caller must not report success nor record the change. A reply that timed
// out after its line was sent is no such failure.
class WriteScript {
 public:
  explicit WriteScript(Session& session) : session_(session) {}

  // Each does nothing and returns false once the script has failed.
  bool Send(const std::string& line);
  bool Execute(const std::string& line, Millis limitMs);
  bool Reconnect(Millis delayMs);

  bool ok() const { return ok_; }

 private:
  Session& session_;
  bool ok_ = true;
};

}  // namespace tarnwick
