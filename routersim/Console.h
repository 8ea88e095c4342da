// The router behind its telnet service, shared by every session.
#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "routersim/CommandTable.h"
#include "routersim/Faults.h"
#include "routersim/Options.h"
#include "routersim/Router.h"
#include "routersim/Session.h"

namespace tarnwick::routersim {

// Not thread-safe: the simulator serialises every call. Sessions must end before it.
class Console final : public Services, public SessionHost {
 public:
  Console(Options& options, Clock& clock);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Start-up: the preset or the state file's configuration, and the transcript file.
  bool Boot(std::string* error);

  // When the lines being handled arrived. A client on a virtual clock may send a line and
  // at once skip a long pause (as after "restart"), so the clock read when the line is
  // handled can be far later than its sending. Time stamps therefore follow real time
  // from the last quiet moment on; skips are taken in only while nothing arrives.
  void Idle();
  void LinesArriving();

  // Restarting: new sessions are held until the router is up again.
  bool Booting() const;
  void GreetWhenBooted();

  // One line typed without a session (test set-up); its output without echo and prompt.
  std::string RunCommand(const std::string& line);

  const std::vector<TranscriptLine>& transcript() const { return transcript_; }
  void ClearTranscript() { transcript_.clear(); }
  const Router& router() const { return router_; }
  void Notice(const std::string& text) const;
  // Called when sessions were told to end, so that whoever moves their bytes notices.
  void SetWake(std::function<void()> wake) { wake_ = std::move(wake); }

  // SessionHost
  void Attach(Session& session) override;
  void Detach(Session& session) override;
  void LineReceived(const std::string& line) override;
  FaultInjector& faults() override { return faults_; }
  const std::string& password() const override { return router_.password; }
  std::string BannerVersion() const override { return options_.firmwareVersion; }
  std::string Execute(Session& from, const std::string& line) override;
  Millis Now() const override { return clock_.Now(); }

  // Services and SessionHost
  const Options& options() const override { return options_; }
  bool SaveConfiguration(std::string* error) override;
  void Restart() override;
  void CloseConnection() override;
  void DropAllConnections() override;
  void DropAllConnectionsAfterPrompt() override;
  std::string Run(const std::string& line) override;

 private:
  std::string FactoryLan() const;
  Router Factory(Millis now) const;
  void LoadSaved(const std::vector<std::string>& saved, Millis now);
  // Drops the line for each scheduled time that has come since the last command.
  void DropLineAsScheduled(Millis now);

  Options& options_;
  Clock& clock_;
  CommandTable table_;
  FaultInjector faults_;
  Router router_;
  std::vector<Session*> sessions_;
  Session* current_ = nullptr;  // the session whose line is being run
  bool replaying_ = false;
  std::function<void()> wake_;

  std::vector<TranscriptLine> transcript_;
  std::ofstream transcriptFile_;
  Millis startTime_ = 0;
  std::vector<Millis> drops_;  // options' drop times, in order
  std::size_t nextDrop_ = 0;

  Millis arrival_ = 0;
  Millis quietClock_ = 0;
  std::chrono::steady_clock::time_point quietReal_ = std::chrono::steady_clock::now();
  Millis downUntil_ = 0;  // new sessions are held until then
};

}  // namespace tarnwick::routersim
