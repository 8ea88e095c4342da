// Listings and changes run straight on the channel's socket, with reply loops of their own.
#pragma once

#include <optional>
#include <string>

#include "channel/Clock.h"
#include "channel/Ui.h"

namespace tarnwick {

class Session;

struct SocketListing {
  std::string command;         // sent as it is
  std::string echo;            // the reply starts here; a ">" before it does not end the reply
  int receiveSize;             // bytes asked of each receive
  Millis limitMs;              // from the end of the 100 ms pause after sending
  std::string traceLine;       // to the debugger output on a time-out
  std::string timeoutMessage;  // then shown with caption "Error"
};

// Sends the listing command on the channel's socket (the caller has checked there is one),
// pauses 100 ms and collects the reply from the echo to the prompt. nullopt when the send
// failed (silently) or the limit passed (traced and told, owned by owner).
std::optional<std::string> ListOnSocket(Session& session, WindowRef owner,
                                        const SocketListing& listing);

// Sends a change on the channel's socket, pauses, then reads the answer once without waiting
// for a prompt: a refused change shows in the next listing. The read is bounded, so a dead
// connection cannot hold the page. nullopt when there is no socket or the send failed;
// otherwise what that one read returned (possibly nothing).
std::optional<std::string> SendOnSocket(Session& session, const std::string& command,
                                        Millis pauseMs);

}  // namespace tarnwick
