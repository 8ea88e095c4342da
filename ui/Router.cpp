// The one way to the router: readings, listings on the socket, writes and their scripts.
#include "ui/Router.h"

#include "ui/WaitProgress.h"

namespace tarnwick {
namespace {
constexpr Millis kListingPauseMs = 100;
constexpr Millis kChangeAnswerWaitMs = 5000;
constexpr int kChangeAnswerSize = 1024;
constexpr const char* kHangupLine = "@close\r\n";
}  // namespace

bool Router::Withheld(const std::string& line) {
  switch (mode) {
    case Mode::Live:
      if (check_) {
        const std::function<bool()> check = std::move(check_);
        check_ = nullptr;
        stopped_ = !check();
      }
      if (stopped_) channel_.ui().Trace("not sent, the change was stopped: " + line);
      return stopped_;
    case Mode::ReadOnly:
      channel_.ui().Trace("not sent, the router is only read: " + line);
      return true;
    case Mode::Record:
      Note(line);
      return true;
  }
  return true;
}

void Router::Note(const std::string& line) {
  if (written) written->push_back(line);
}

bool Router::Reconnect(Millis delayMs) {
  return channel_.ReconnectRouter(mode == Mode::Record ? 0 : delayMs);
}

std::string Router::Ask(const std::string& command, Millis limitMs) {
  std::string reply;
  channel_.ExecuteCommand(command, reply, limitMs);
  return reply;
}

bool Router::Ask(const std::string& command, std::string& reply, Millis limitMs) {
  return channel_.ExecuteCommand(command, reply, limitMs);
}

std::optional<std::string> Router::List(const Listing& listing, WindowRef owner) {
  Socket* socket = channel_.TelnetSocket();
  if (socket == nullptr) return std::nullopt;
  if (socket->Send(listing.command.data(), static_cast<int>(listing.command.size())) <= 0)
    return std::nullopt;
  Clock& clock = channel_.clock();
  Ui& ui = channel_.ui();
  channel_.ProgramPause(kListingPauseMs);
  std::optional<std::string> reply =
      CollectReply(*socket, clock, ui, listing.echo, listing.receiveSize,
                   channel_.ReplyLimitOverride.value_or(listing.limitMs));
  if (!reply) {
    ui.Trace(listing.traceLine);
    ui.Message(owner, listing.timeoutMessage, "Error", Buttons::Ok);
  }
  return reply;
}

bool Router::Send(const std::string& line) {
  if (Withheld(line)) return mode == Mode::Record;
  if (channel_.SendLine(line) == CommandChannel::Outcome::NotSent) return false;
  Note(line);
  return true;
}

bool Router::Execute(const std::string& line, Millis limitMs) {
  if (Withheld(line)) return mode == Mode::Record;
  const bool connected = Connected();
  std::string reply;
  if (channel_.Execute(line, reply, limitMs) == CommandChannel::Outcome::NotSent) {
    // The channel says nothing of a failed send of a command whose reply it collects.
    if (connected) TellSendFailed(nullptr);
    return false;
  }
  Note(line);
  return true;
}

std::optional<std::string> Router::Change(const std::string& line, Millis pauseMs) {
  if (Withheld(line)) return mode == Mode::Record ? std::optional<std::string>("") : std::nullopt;
  Socket* socket = channel_.TelnetSocket();
  if (socket == nullptr) return std::nullopt;
  if (socket->Send(line.data(), static_cast<int>(line.size())) <= 0) return std::nullopt;
  Note(line);
  channel_.ProgramPause(pauseMs);
  // Up to the prompt, so that the listing that follows on this connection starts clean even
  // where the router echoes at once and answers later.
  return CollectReply(*socket, channel_.clock(), channel_.ui(), line, kChangeAnswerSize,
                      kChangeAnswerWaitMs)
      .value_or(std::string());
}

bool Router::SendAndSettle(const std::string& line) {
  if (Withheld(line)) return mode == Mode::Record;
  if (channel_.SendAndSettle(line) == CommandChannel::Outcome::NotSent) return false;
  Note(line);
  return true;
}

void Router::SaveConfiguration() {
  if (!Withheld(CommandChannel::kSaveLine) && channel_.SaveConfiguration())
    Note(CommandChannel::kSaveLine);
}

void Router::Restart(bool reconnect) {
  if (!Withheld(CommandChannel::kRestartLine) && channel_.RestartRouter(reconnect))
    Note(CommandChannel::kRestartLine);
}

void Router::Hangup() {
  if (!Withheld(kHangupLine) && channel_.SendCommand(kHangupLine)) Note(kHangupLine);
}

void Router::BeginChange(std::function<bool()> check) {
  if (changeDepth_++ == 0) {
    check_ = std::move(check);
    stopped_ = false;
  }
}

void Router::EndChange() {
  if (changeDepth_ > 0 && --changeDepth_ == 0) {
    check_ = nullptr;
    stopped_ = false;
  }
}

bool WriteScript::Send(const std::string& line) {
  if (ok_) ok_ = router_.Send(line);
  return ok_;
}

bool WriteScript::Execute(const std::string& line, Millis limitMs) {
  if (ok_) ok_ = router_.Execute(line, limitMs);
  return ok_;
}

bool WriteScript::Reconnect(Millis delayMs) {
  if (ok_) ok_ = router_.Reconnect(delayMs);
  return ok_;
}

bool WriteScript::Play(const std::vector<ScriptItem>& items, WaitProgress& wait,
                       const std::function<bool()>& mark) {
  for (const ScriptItem& item : items) {
    if (!ok_) break;
    switch (item.kind) {
      case ScriptItem::Kind::Line:
        Send(item.line);
        break;
      case ScriptItem::Kind::Execute:
        Execute(item.line, item.ms);
        break;
      case ScriptItem::Kind::Step:
        wait.Step();
        break;
      case ScriptItem::Kind::Pause:
        router_.channel().clock().Sleep(item.ms);
        break;
      case ScriptItem::Kind::Reconnect:
        Reconnect(item.ms);
        break;
      case ScriptItem::Kind::Hangup:
        router_.Hangup();
        break;
      case ScriptItem::Kind::Mark:
        if (mark && !mark()) ok_ = false;
        break;
    }
  }
  return ok_;
}

}  // namespace tarnwick
