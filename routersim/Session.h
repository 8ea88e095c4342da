// One telnet session as bytes in and bytes out, without sockets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
};

inline constexpr const char kPrompt[] = "router> ";

// Log-in dialogue, line assembly, echo, prompt, and the ways a session ends.
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

  // Bytes waiting to be sent; the sender reports how many went out.
  const std::string& Output() const { return out_; }
  void Sent(std::size_t count) { out_.erase(0, count); }
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
  bool Finished() const { return ending_ && out_.empty(); }
  Phase phase() const { return phase_; }

 private:
  void HandleLine(const std::string& line);

  SessionHost& host_;
  Phase phase_ = Phase::Login;
  std::string in_;
  std::string out_;
  int failures_ = 0;
  bool ending_ = false;
  bool promptFirst_ = false;
};

}  // namespace tarnwick::routersim
