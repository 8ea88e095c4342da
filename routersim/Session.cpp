// The log-in dialogue, line editing and the command loop of one session.
#include "routersim/Session.h"

#include <algorithm>

#include "routersim/Faults.h"

namespace tarnwick::routersim {

namespace {

constexpr int kMaxLoginFailures = 3;
constexpr std::size_t kMaxLine = 64 * 1024;
// Sent bytes are dropped from the front of the output once they are this many and half of it,
// so that a reply sent in many pieces costs time in proportion to its size.
constexpr std::size_t kCompactAfter = 64 * 1024;
constexpr const char kPasswordRequest[] = "Login password: ";

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

Session::Session(SessionHost& host, bool held) : host_(host) {
  host_.Attach(*this);
  if (held)
    phase_ = Phase::Held;
  else
    Greet();
}

Session::~Session() { host_.Detach(*this); }

void Session::Greet() {
  phase_ = Phase::Login;
  FaultInjector& faults = host_.faults();
  if (faults.Silenced()) return;
  std::string version = host_.BannerVersion();
  std::replace(version.begin(), version.end(), '>', ' ');
  std::string negotiation = faults.BannerPrefix();
  if (negotiation.empty() && host_.options().negotiate) negotiation = TelnetServerSide::kOpening;
  telnet_.Sent(negotiation);
  out_ += negotiation;
  Print("\r\n\r\nADSL Router, firmware " + version + "\r\n\r\n");
  Print(kPasswordRequest);
}

void Session::Receive(std::string_view bytes) {
  if (ending_) return;
  std::string typed;
  std::string reply;
  telnet_.Take(bytes, typed, reply);
  out_ += reply;
  Type(typed);
}

void Session::InputIdle() {
  if (!crEnded_ || ending_) return;
  crEnded_ = false;
  EndLine("\r\n");
}

void Session::Release() {
  while (!ending_ && !cli_.empty() && cli_.front().due <= host_.Now()) {
    const std::string line = std::move(cli_.front().line);
    cli_.pop_front();
    Print(Answer(line, false));
  }
  if (ending_) cli_.clear();
}

void Session::Sent(std::size_t count) {
  sent_ = std::min(out_.size(), sent_ + count);
  if (sent_ == out_.size()) {
    out_.clear();
    sent_ = 0;
  } else if (sent_ >= kCompactAfter && sent_ >= out_.size() / 2) {
    out_.erase(0, sent_);
    sent_ = 0;
  }
}

std::string Session::TakeOutput() {
  std::string out = out_.substr(sent_);
  out_.clear();
  sent_ = 0;
  return out;
}

void Session::Lost() {
  ending_ = true;
  out_.clear();
  sent_ = 0;
  cli_.clear();
}

void Session::Print(std::string_view text) {
  for (char c : text) {
    out_ += c;
    if (c == '\xff') out_ += c;
  }
}

void Session::Type(std::string_view typed) {
  for (char c : typed) {
    if (ending_) return;
    if (crEnded_) {
      crEnded_ = false;
      EndLine("\r\n");
      // CR LF and CR NUL are one Enter; after a bare CR this byte is typed like any other.
      if (c == '\n' || c == '\0' || ending_) continue;
    }
    switch (c) {
      case '\r':
        crEnded_ = true;
        break;
      case '\n':
        EndLine("\n");
        break;
      case '\0':
        break;
      case '\b':
      case TelnetServerSide::kErase:
        if (line_.empty()) break;
        line_.pop_back();
        if (EchoingKeys()) out_ += "\b \b";
        break;
      default:
        line_ += c;
        if (EchoingKeys()) Print(std::string_view(&c, 1));
        // A line end that never comes must not grow the buffer without bound.
        if (line_.size() > kMaxLine) {
          out_ = "\r\nError: line too long\r\n";
          sent_ = 0;
          line_.clear();
          ending_ = true;
        }
    }
  }
}

void Session::EndLine(const char* lineEnd) {
  if (EchoingKeys()) out_ += "\r\n";
  const std::string line = line_ + lineEnd;
  line_.clear();
  HandleLine(line);
}

void Session::HandleLine(const std::string& line) {
  host_.LineReceived(line);
  FaultInjector& faults = host_.faults();
  if (faults.Silenced()) return;
  if (phase_ == Phase::Held) return;  // still booting: typed-ahead text is lost
  const bool echo = !telnet_.Echoing();
  const Millis delay = host_.options().cookedTerminalMs;
  if (delay <= 0 && cli_.empty()) {
    Print(Answer(line, echo));
    return;
  }
  // The terminal echoes the line as it comes (the password excepted); the CLI answers later.
  if (echo && phase_ == Phase::Command) Print(faults.Echo(line));
  cliFreeAt_ = std::max(cliFreeAt_, host_.Now()) + std::max<Millis>(delay, 0);
  cli_.push_back({line, cliFreeAt_});
}

std::string Session::Answer(const std::string& line, bool withEcho) {
  if (phase_ == Phase::Login) {
    if (WithoutLineEnd(line) == host_.password()) {
      phase_ = Phase::Command;
      return std::string("\r\n\r\n") + kPrompt;
    }
    if (++failures_ >= kMaxLoginFailures) {
      ending_ = true;
      return "\r\nLogin incorrect\r\nToo many failures, goodbye\r\n";
    }
    return std::string("\r\nLogin incorrect\r\n\r\n") + kPasswordRequest;
  }

  FaultInjector& faults = host_.faults();
  std::string output = host_.Execute(*this, line);
  faults.ShapeOutput(output);
  std::string reply = (withEcho ? faults.Echo(line) : std::string()) + output;
  // A session that ends with this command gets no prompt, unless it was asked for.
  if (!ending_ || promptFirst_) reply += kPrompt;
  promptFirst_ = false;
  if (faults.CutThisReply()) {
    reply.resize(reply.size() / 2);
    ending_ = true;
  }
  return reply;
}

}  // namespace tarnwick::routersim
