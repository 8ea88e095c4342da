#pragma once

#include <string>

#include "app/Session.h"

namespace tarnwick {

// Sends a change straight on the channel's socket (which must exist), pauses 200 ms and
// reads the answer once without examining it: a refused change shows in the next listing.
// The read is bounded, so a dead connection cannot hold the page. False when the send failed.
bool SendChangeOnSocket(Session& session, const std::string& command);

}  // namespace tarnwick
