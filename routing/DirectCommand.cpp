#include "routing/DirectCommand.h"

#include "channel/CommandChannel.h"

namespace tarnwick {
namespace {
constexpr Millis kChangePauseMs = 200;
constexpr Millis kChangeAnswerWaitMs = 5000;
}  // namespace

bool SendChangeOnSocket(Session& session, const std::string& command) {
  Socket* socket = session.channel.TelnetSocket();
  if (socket->Send(command.data(), static_cast<int>(command.size())) <= 0) return false;
  session.clock.Sleep(kChangePauseMs);
  char buffer[1024];
  ReceiveUntil(*socket, session.clock, session.ui, buffer, sizeof buffer,
               session.clock.Now() + kChangeAnswerWaitMs);
  return true;
}

}  // namespace tarnwick
