// The one telnet connection: log-in, commands and their replies, save, restart, reconnect.
#include "channel/CommandChannel.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace tarnwick {
namespace {

constexpr Millis kStepPauseMs = 200;
constexpr int kLoginReceiveSize = 1024;
constexpr Millis kLoginLimitMs = 5000;
constexpr Millis kCommandPauseMs = 100;
constexpr int kCommandReceiveSize = 2048;
constexpr Millis kSaveLimitMs = 30000;
constexpr Millis kRestartWaitMs = 15000;
// Longest wait inside one receive, so that windows keep repainting.
constexpr Millis kReceiveSliceMs = 50;
// Back-off after a receive that returned at once (peer closed, error): no busy loop.
constexpr Millis kIdleSliceMs = 20;
// Log-in text kept while waiting; far more than any banner, bounded against a flood.
constexpr std::size_t kLoginKeep = 4096;

const char kPasswordRequest[] = "password";
const char kHome[] = "home \r\n";
const char kPrompt[] = ">";
const char kErrorCaption[] = "Error";

void IdleSlice(Clock& clock, Ui& ui, Millis deadline) {
  Millis slice = std::min(kIdleSliceMs, deadline - clock.Now());
  if (slice > 0) clock.Sleep(slice);
  ui.PumpPaint();
}

int SendText(Socket& socket, const std::string& text) {
  int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
  return socket.Send(text.data(), length);
}

// Log-in wait: receives until needle stands in text (which already holds what earlier
// waits left), or more than the log-in limit has passed. Returns needle's position or npos.
std::size_t WaitForLoginText(Socket& socket, Clock& clock, Ui& ui, std::string& text,
                             const std::string& needle) {
  const Millis start = clock.Now();
  const Millis deadline = start + kLoginLimitMs + 1;
  char buffer[kLoginReceiveSize];
  std::size_t scanFrom = 0;
  for (;;) {
    std::size_t at = text.find(needle, scanFrom);
    if (at != std::string::npos) return at;
    // A needle split across receives starts in the last needle.size()-1 bytes.
    scanFrom = text.size() >= needle.size() ? text.size() - (needle.size() - 1) : 0;

    int got = ReceiveUntil(socket, clock, ui, buffer, kLoginReceiveSize, deadline);
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    } else if (got != Socket::kTimedOut) {
      IdleSlice(clock, ui, deadline);
    }
    if (text.size() > kLoginKeep) {
      std::size_t drop = text.size() - kLoginKeep;
      text.erase(0, drop);
      scanFrom -= std::min(scanFrom, drop);
    }
    if (clock.Now() - start > kLoginLimitMs) return std::string::npos;
  }
}

}  // namespace

int ReceiveUntil(Socket& socket, Clock& clock, Ui& ui, char* buffer, int capacity,
                 Millis deadline) {
  for (;;) {
    Millis remaining = deadline - clock.Now();
    if (remaining <= 0) return Socket::kTimedOut;
    int got = socket.Receive(buffer, capacity, std::min(remaining, kReceiveSliceMs));
    if (got != Socket::kTimedOut) return got;
    ui.PumpPaint();
  }
}

std::optional<std::string> CollectReply(Socket& socket, Clock& clock, Ui& ui,
                                        const std::string& echo, int receiveSize, Millis limitMs) {
  const Millis start = clock.Now();
  const Millis deadline = start + limitMs + 1;
  std::vector<char> buffer(static_cast<std::size_t>(std::max(receiveSize, 1)), '\0');
  const int capacity = static_cast<int>(buffer.size());

  // Until the echo is found, working holds only a tail that could still start it; after
  // that it is the reply, and only new bytes are searched for the prompt.
  std::string working;
  bool echoFound = echo.empty();
  bool promptFound = false;
  while (!(echoFound && promptFound)) {
    int got = ReceiveUntil(socket, clock, ui, buffer.data(), capacity, deadline);
    if (got > 0) {
      const char* bytes = buffer.data();
      const void* zero = std::memchr(bytes, '\0', static_cast<std::size_t>(got));
      std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes)
                                : static_cast<std::size_t>(got);
      std::size_t oldSize = working.size();
      if (echoFound && length > kMaxReplyBytes - oldSize) return std::nullopt;
      // Grow by four: big replies then fault in fresh pages about once instead of twice;
      // capacity never touched costs no memory. The cap keeps the last step short.
      if (working.capacity() - oldSize < length) {
        working.reserve(
            std::max(std::min(working.capacity() * 4, kMaxReplyBytes), oldSize + length));
      }
      working.append(bytes, length);
      if (!echoFound) {
        std::size_t at = working.find(echo);
        if (at != std::string::npos) {
          working.erase(0, at);
          echoFound = true;
          if (working.size() > kMaxReplyBytes) return std::nullopt;
          promptFound = working.find(kPrompt) != std::string::npos;
        } else if (working.size() >= echo.size()) {
          working.erase(0, working.size() - (echo.size() - 1));
        }
      } else {
        promptFound = working.find(kPrompt, oldSize) != std::string::npos;
      }
    } else if (got != Socket::kTimedOut) {
      IdleSlice(clock, ui, deadline);
    }
    // Tested after every receive (ReceiveUntil tests before each): a reply completed after
    // the limit is still a time-out, and a flood cannot carry the wait past it.
    if (clock.Now() - start > limitMs) return std::nullopt;
  }
  return working;
}

bool SplitHostPort(const std::string& address, std::string& host, std::uint16_t& port) {
  std::size_t colon = address.rfind(':');
  if (colon == std::string::npos) {
    host = address;
    port = CommandChannel::kTelnetPort;
    return true;
  }
  std::string digits = address.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return false;
  long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > 65535) return false;
  host = address.substr(0, colon);
  port = static_cast<std::uint16_t>(value);
  return true;
}

CommandChannel::CommandChannel(SocketFactory& sockets, Clock& clock, Ui& ui)
    : sockets_(sockets), clock_(clock), ui_(ui) {}

CommandChannel::~CommandChannel() { DropConnection(); }

bool CommandChannel::ConnectAndLogin() {
  if (!socket_) {
    socket_ = sockets_.Make();
    if (!socket_) {
      ui_.Message(nullptr, "Unable to create a winsock connection\n", kErrorCaption);
      return false;
    }
  }

  ProgramPause(kStepPauseMs);
  if (!socket_->Create()) {
    ui_.Message(nullptr, "Unable to create a Telnet socket connection to the modem\n",
                kErrorCaption);
    socket_.reset();  // never connected: nothing to shut down
    return false;
  }

  ProgramPause(kStepPauseMs);
  std::string host;
  std::uint16_t port = kTelnetPort;
  if (!SplitHostPort(RouterAddress, host, port) || !socket_->Connect(host, port)) {
    ui_.ShowPossibleErrors();
    DropConnection();
    return false;
  }

  std::string loginText;
  ProgramPause(kStepPauseMs);
  std::size_t request = WaitForLoginText(*socket_, clock_, ui_, loginText, kPasswordRequest);
  if (request == std::string::npos) {
    ui_.Message(nullptr, "Timeout trying to get password acknowledgement\n", kErrorCaption);
    DropConnection();
    return false;
  }

  if (SendText(*socket_, RouterPassword + "\r\n") <= 0) {
    ui_.Message(nullptr, "Unable to send password\n", kErrorCaption);
    DropConnection();
    return false;
  }

  // A prompt counts only after the request: a banner's ">" must not end the log-in.
  loginText.erase(0, request + std::strlen(kPasswordRequest));
  if (WaitForLoginText(*socket_, clock_, ui_, loginText, kPrompt) == std::string::npos) {
    ui_.Message(nullptr, "Unable to receive message from modem for login via Telnet",
                kErrorCaption);
    DropConnection();
    return false;
  }

  // Its answer is read, briefly: the first command's echo could otherwise come before this
  // prompt, which would then end that command's reply.
  if (SendText(*socket_, kHome) > 0) Settle(kHome, kSettleLimitMs);
  return true;
}

void CommandChannel::TellNotConnected(WindowRef owner) {
  ui_.Message(owner, "Winsock connection is not created", kErrorCaption);
}

void CommandChannel::TellSendFailed(WindowRef owner) {
  ui_.Message(owner, "Error sending Winsock command", kErrorCaption);
}

bool CommandChannel::SendCommand(const std::string& text) {
  if (!socket_) {
    TellNotConnected();
    return false;
  }
  if (SendText(*socket_, text) <= 0) {
    TellSendFailed();
    return false;
  }
  return true;
}

CommandChannel::Outcome CommandChannel::SendAndSettle(const std::string& text, Millis limitMs) {
  if (!SendCommand(text)) return Outcome::NotSent;
  return Settle(text, limitMs) ? Outcome::Complete : Outcome::TimedOut;
}

CommandChannel::Outcome CommandChannel::SendLine(const std::string& text) {
  if (pace == Pace::Program) return SendCommand(text) ? Outcome::Complete : Outcome::NotSent;
  if (!SendCommand(text)) return Outcome::NotSent;
  if (Settle(text, ReplyLimitOverride.value_or(kUnreadAnswerLimitMs))) return Outcome::Complete;
  ui_.Message(nullptr, text, kErrorCaption);
  return Outcome::TimedOut;
}

void CommandChannel::ProgramPause(Millis ms) {
  if (pace == Pace::Program) clock_.Sleep(ms);
}

bool CommandChannel::Settle(const std::string& line, Millis limitMs) {
  if (ReplyLimitOverride) limitMs = std::min(limitMs, *ReplyLimitOverride);
  return CollectReply(*socket_, clock_, ui_, line, kCommandReceiveSize, limitMs).has_value();
}

CommandChannel::Outcome CommandChannel::Execute(const std::string& command, std::string& reply,
                                                Millis limitMs) {
  if (!socket_) {
    TellNotConnected();
    return Outcome::NotSent;
  }
  if (SendText(*socket_, command) <= 0) return Outcome::NotSent;

  reply.clear();
  ProgramPause(kCommandPauseMs);
  std::optional<std::string> collected = CollectReply(
      *socket_, clock_, ui_, command, kCommandReceiveSize, ReplyLimitOverride.value_or(limitMs));
  if (!collected) {
    ui_.Message(nullptr, command, kErrorCaption);
    return Outcome::TimedOut;
  }
  reply = std::move(*collected);
  return Outcome::Complete;
}

bool CommandChannel::SaveConfiguration() {
  std::string reply;
  const Outcome outcome = Execute(kSaveLine, reply, kSaveLimitMs);
  if (reply.find("Configuration saved") == std::string::npos) {
    ui_.Message(nullptr, "Error saving configuration", kErrorCaption);
  }
  return outcome != Outcome::NotSent;
}

bool CommandChannel::RestartRouter(bool reconnect) {
  const bool sent = SendCommand(kRestartLine);
  clock_.Sleep(kRestartWaitMs);
  DropConnection();
  if (reconnect) ConnectAndLogin();
  return sent;
}

bool CommandChannel::ReconnectRouter(Millis delayMs) {
  DropConnection();
  if (delayMs != 0) clock_.Sleep(delayMs);
  return ConnectAndLogin();
}

void CommandChannel::DropConnection() {
  if (!socket_) return;
  socket_->ShutdownSend();
  socket_->Close();
  socket_.reset();
}

}  // namespace tarnwick
