// The log-in dialogue and the command loop of one session.
#include "routersim/Session.h"

#include <algorithm>

#include "routersim/Faults.h"

namespace tarnwick::routersim {

namespace {

constexpr int kMaxLoginFailures = 3;
constexpr std::size_t kMaxLine = 64 * 1024;
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
  out_ += faults.BannerPrefix();
  out_ += "\r\n\r\nADSL Router, firmware " + version + "\r\n\r\n";
  out_ += kPasswordRequest;
}

void Session::Receive(std::string_view bytes) {
  if (ending_) return;
  in_.append(bytes);
  // A line end that never comes must not grow the buffer without bound.
  if (in_.size() > kMaxLine && in_.find('\n') == std::string::npos) {
    out_ = "\r\nError: line too long\r\n";
    in_.clear();
    ending_ = true;
    return;
  }
  std::size_t nl;
  while (!ending_ && (nl = in_.find('\n')) != std::string::npos) {
    std::string line = in_.substr(0, nl + 1);
    in_.erase(0, nl + 1);
    HandleLine(line);
  }
}

std::string Session::TakeOutput() {
  std::string out;
  out.swap(out_);
  return out;
}

void Session::Lost() {
  ending_ = true;
  out_.clear();
}

void Session::HandleLine(const std::string& line) {
  host_.LineReceived(line);
  FaultInjector& faults = host_.faults();
  if (faults.Silenced()) return;
  if (phase_ == Phase::Held) return;  // still booting: typed-ahead text is lost
  if (phase_ == Phase::Login) {
    if (WithoutLineEnd(line) == host_.password()) {
      phase_ = Phase::Command;
      out_ += std::string("\r\n\r\n") + kPrompt;
    } else if (++failures_ >= kMaxLoginFailures) {
      out_ += "\r\nLogin incorrect\r\nToo many failures, goodbye\r\n";
      ending_ = true;
    } else {
      out_ += std::string("\r\nLogin incorrect\r\n\r\n") + kPasswordRequest;
    }
    return;
  }

  std::string output = host_.Execute(*this, line);
  faults.ShapeOutput(output);
  std::string reply = faults.Echo(line) + output;
  // A session that ends with this command gets no prompt, unless it was asked for.
  if (!ending_ || promptFirst_) reply += kPrompt;
  promptFirst_ = false;
  if (faults.CutThisReply()) {
    reply.resize(reply.size() / 2);
    ending_ = true;
  }
  out_ += reply;
}

}  // namespace tarnwick::routersim
