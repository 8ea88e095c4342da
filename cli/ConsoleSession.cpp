// A console command's session with the router.
#include "cli/ConsoleSession.h"

namespace tarnwick {

ConsoleSession::ConsoleSession(const ConsoleTarget& target, SocketFactory& sockets, Clock& clock,
                               Ui& ui)
    : watching(ui), session(sockets, clock, watching, settings), ui_(ui) {
  watching.answerQuestions = Answer::No;
  session.channel.RouterAddress = target.address;
  session.channel.RouterPassword = target.password;
  session.channel.ReplyLimitOverride = target.replyLimit;
  session.channel.pace = target.pace;
}

bool ConsoleSession::LogIn() {
  if (session.router.Login()) return true;
  ui_.Message(nullptr, "log-in to " + session.channel.RouterAddress + " failed", "");
  return false;
}

}  // namespace tarnwick
