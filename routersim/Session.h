// One telnet session as bytes in and bytes out, without sockets.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "channel/Clock.h"
#include "routersim/Options.h"
#include "routersim/Telnet.h"

namespace tarnwick::routersim {

class FaultInjector;
class Session;

// What a session needs from the router it belongs to.
class SessionHost {
 public:
  virtual ~SessionHost() = default;
  // Sessions register for their whole life, so that the router can end them all.
  virtual void Attach(Session& session) = 0;
  virtual void Detach(Session& session) = 0;
  // Every line as received, before it is acted on.
  virtual void LineReceived(const std::string& line) = 0;
  virtual FaultInjector& faults() = 0;
  virtual const std::string& password() const = 0;
  virtual std::string BannerVersion() const = 0;
  // Output of one command line typed in `from`.
  virtual std::string Execute(Session& from, const std::string& line) = 0;
  virtual Millis Now() const = 0;
  virtual const Options& options() const = 0;
};

inline constexpr const char kPrompt[] = "router> ";

// Log-in dialogue, line assembly and editing, echo, prompt, and the ways a session ends.
// Enter is CR LF, LF, CR NUL or a bare CR; BS and DEL erase. A line is echoed whole, as
// typed, before its output, unless the client has let this side echo each key as it comes.
class Session {
 public:
  enum class Phase { Held, Login, Command };

  // A held session stays silent (the router is still booting) until Greet.
  Session(SessionHost& host, bool held);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Greet();
  void Receive(std::string_view bytes);
  // Nothing more has come for now: a CR that ended the input was an Enter of its own.
  void InputIdle();
  // Answers the lines whose time has come (Options::cookedTerminalMs).
  void Release();

  // Bytes waiting to be sent; the sender reports how many went out.
  std::string_view Output() const { return std::string_view(out_).substr(sent_); }
  void Sent(std::size_t count);
  std::string TakeOutput();

  // Reads no more; ends once its output is sent.
  void End() { ending_ = true; }
  // Ends once the reply being built, its prompt included, is sent.
  void EndAfterPrompt() {
    ending_ = true;
    promptFirst_ = true;
  }
  // The peer is gone: nothing more is sent either.
  void Lost();
  bool Ending() const { return ending_; }
  bool Finished() const { return ending_ && Output().empty(); }
  Phase phase() const { return phase_; }

 private:
  struct Queued {
    std::string line;
    Millis due;
  };

  void Type(std::string_view typed);
  void EndLine(const char* lineEnd);
  void HandleLine(const std::string& line);
  // What the router prints for a line, with or without its echo.
  std::string Answer(const std::string& line, bool withEcho);
  // Router text to the client: a 255 byte goes doubled, as telnet has it.
  void Print(std::string_view text);
  // Keys are echoed one by one once the client has agreed; never the password.
  bool EchoingKeys() const { return telnet_.Echoing() && phase_ == Phase::Command; }

  SessionHost& host_;
  TelnetServerSide telnet_;
  Phase phase_ = Phase::Login;
  std::string line_;      // typed so far, edited
  bool crEnded_ = false;  // a CR ended the input so far: LF or NUL may yet follow it
  std::string out_;
  std::size_t sent_ = 0;    // of out_
  std::deque<Queued> cli_;  // lines the CLI has yet to answer
  Millis cliFreeAt_ = 0;
  int failures_ = 0;
  bool ending_ = false;
  bool promptFirst_ = false;
};

}  // namespace tarnwick::routersim
