// Listings and changes run straight on the channel's socket.
#include "ui/DirectSocket.h"

#include "channel/CommandChannel.h"
#include "ui/Session.h"

namespace tarnwick {
namespace {
constexpr Millis kListingPauseMs = 100;
constexpr Millis kChangeAnswerWaitMs = 5000;
constexpr int kChangeAnswerSize = 1024;
}  // namespace

std::optional<std::string> ListOnSocket(Session& session, WindowRef owner,
                                        const SocketListing& listing) {
  Socket* socket = session.channel.TelnetSocket();
  if (socket == nullptr) return std::nullopt;
  if (socket->Send(listing.command.data(), static_cast<int>(listing.command.size())) <= 0)
    return std::nullopt;
  session.clock.Sleep(kListingPauseMs);
  std::optional<std::string> reply =
      CollectReply(*socket, session.clock, session.ui, listing.echo, listing.receiveSize,
                   session.channel.ReplyLimitOverride.value_or(listing.limitMs));
  if (!reply) {
    session.ui.Trace(listing.traceLine);
    session.ui.Message(owner, listing.timeoutMessage, "Error", Buttons::Ok);
  }
  return reply;
}

std::optional<std::string> SendOnSocket(Session& session, const std::string& command,
                                        Millis pauseMs) {
  Socket* socket = session.channel.TelnetSocket();
  if (socket == nullptr) return std::nullopt;
  if (socket->Send(command.data(), static_cast<int>(command.size())) <= 0) return std::nullopt;
  session.clock.Sleep(pauseMs);
  char buffer[kChangeAnswerSize];
  const int got = ReceiveUntil(*socket, session.clock, session.ui, buffer, sizeof buffer,
                               session.clock.Now() + kChangeAnswerWaitMs);
  return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

}  // namespace tarnwick
