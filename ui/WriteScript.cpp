// Write sequences that stop at the first line the router did not get.
#include "ui/WriteScript.h"

#include "ui/Session.h"
#include "ui/WaitProgress.h"

namespace tarnwick {

bool WriteScript::Withheld(const std::string& line) {
  if (!session_.ReadOnly) return false;
  session_.ui.Trace("not sent, the router is only read: " + line);
  ok_ = false;
  return true;
}

bool WriteScript::Send(const std::string& line) {
  if (ok_ && !Withheld(line)) ok_ = session_.channel.SendCommand(line);
  return ok_;
}

bool WriteScript::Execute(const std::string& line, Millis limitMs) {
  if (!ok_ || Withheld(line)) return false;
  const bool connected = session_.channel.TelnetSocket() != nullptr;
  std::string reply;
  if (session_.channel.Execute(line, reply, limitMs) == CommandChannel::Outcome::NotSent) {
    // The channel says nothing of a failed send of a command whose reply it collects.
    if (connected) session_.ui.Message(nullptr, "Error sending Winsock command", "Error");
    ok_ = false;
  }
  return ok_;
}

bool WriteScript::Play(const std::vector<ScriptItem>& items, WaitProgress& wait) {
  for (const ScriptItem& item : items) {
    if (item.kind == ScriptItem::Kind::Step)
      wait.Step();
    else if (!Send(item.line))
      break;
  }
  return ok_;
}

bool WriteScript::Reconnect(Millis delayMs) {
  if (ok_) ok_ = session_.channel.ReconnectRouter(delayMs);
  return ok_;
}

}  // namespace tarnwick
