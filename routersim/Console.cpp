// The router shared by its sessions: commands, saved configuration, restart, transcript.
#include "routersim/Console.h"

#include <algorithm>
#include <cstdio>

#include "routersim/Presets.h"
#include "routersim/StateFile.h"

namespace tarnwick::routersim {

namespace {

std::string Escape(const std::string& line) {
  std::string out;
  for (unsigned char ch : line) {
    if (ch == '\r') {
      out += "\\r";
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '\\') {
      out += "\\\\";
    } else if (ch < 0x20 || ch >= 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", ch);
      out += buf;
    } else {
      out += static_cast<char>(ch);
    }
  }
  return out;
}

}  // namespace

Console::Console(Options& options, Clock& clock)
    : options_(options), clock_(clock), faults_(options.faults) {
  RegisterAllCommands(table_);
  drops_ = options_.dslDropsAtMs;
  std::sort(drops_.begin(), drops_.end());
  startTime_ = clock_.Now();
  Idle();
  router_ = Factory(startTime_);
  std::vector<std::string> preset;
  if (PresetLines(options_.preset, FactoryLan(), preset)) LoadSaved(preset, startTime_);
}

std::string Console::FactoryLan() const {
  return options_.listenAddress == "localhost" ? "127.0.0.1" : options_.listenAddress;
}

Router Console::Factory(Millis now) const {
  return FactoryRouter(options_.password, options_.firmwareVersion, FactoryLan(), now);
}

bool Console::Boot(std::string* error) {
  Millis now = clock_.Now();
  startTime_ = now;
  std::vector<std::string> preset;
  if (!options_.preset.empty() && !PresetLines(options_.preset, FactoryLan(), preset)) {
    if (error) *error = "unknown preset " + options_.preset;
    return false;
  }
  std::vector<std::string> saved;
  if (!options_.stateFile.empty() && ReadStateFile(options_.stateFile, saved))
    LoadSaved(saved, now);
  if (!options_.transcriptFile.empty()) {
    transcriptFile_.open(options_.transcriptFile, std::ios::app);
    if (!transcriptFile_) {
      if (error) *error = "cannot open transcript file " + options_.transcriptFile;
      return false;
    }
  }
  return true;
}

void Console::Idle() {
  quietClock_ = clock_.Now();
  quietReal_ = std::chrono::steady_clock::now();
  arrival_ = std::max(arrival_, quietClock_);
}

void Console::LinesArriving() {
  Millis real = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - quietReal_)
                    .count();
  arrival_ = std::max(arrival_, std::min(clock_.Now(), quietClock_ + real));
}

bool Console::Booting() const { return clock_.Now() < downUntil_; }

void Console::GreetWhenBooted() {
  if (Booting()) return;
  for (Session* s : sessions_)
    if (s->phase() == Session::Phase::Held) s->Greet();
}

void Console::Notice(const std::string& text) const {
  if (options_.notice) options_.notice(text);
}

std::string Console::RunCommand(const std::string& line) {
  Idle();
  DropLineAsScheduled(clock_.Now());
  return Run(line);
}

void Console::Attach(Session& session) { sessions_.push_back(&session); }

void Console::Detach(Session& session) {
  sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), &session), sessions_.end());
  if (current_ == &session) current_ = nullptr;
}

void Console::LineReceived(const std::string& line) {
  Millis now = clock_.Now();
  transcript_.push_back({now, line});
  if (transcriptFile_.is_open()) {
    transcriptFile_ << (now - startTime_) << " ms\t" << Escape(line) << "\n";
    transcriptFile_.flush();
  }
  faults_.CountLine();
}

std::string Console::Execute(Session& from, const std::string& line) {
  DropLineAsScheduled(clock_.Now());
  current_ = &from;
  std::string output = table_.Dispatch(router_, *this, clock_.Now(), arrival_, line);
  current_ = nullptr;
  return output;
}

bool Console::SaveConfiguration(std::string* error) {
  router_.savedConfig = table_.WriteConfig(router_);
  if (options_.stateFile.empty()) return true;
  return WriteStateFile(options_.stateFile, router_.savedConfig, error);
}

void Console::Restart() {
  if (replaying_) return;
  Millis now = arrival_;
  DropAllConnections();
  downUntil_ = now + options_.restartDownMs;
  std::vector<std::string> saved = router_.savedConfig;  // LoadSaved replaces the router
  LoadSaved(saved, now);
  router_.dsl.Retrain(now, options_.restartDownMs + options_.retrainMs);
}

void Console::CloseConnection() {
  if (current_) current_->End();
}

void Console::DropAllConnections() {
  if (replaying_) return;
  for (Session* s : sessions_) s->End();
  if (wake_) wake_();
}

void Console::DropAllConnectionsAfterPrompt() {
  if (replaying_) return;
  for (Session* s : sessions_) s == current_ ? s->EndAfterPrompt() : s->End();
  if (wake_) wake_();
}

std::string Console::Run(const std::string& line) {
  return table_.Dispatch(router_, *this, clock_.Now(), arrival_, line);
}

void Console::DropLineAsScheduled(Millis now) {
  for (; nextDrop_ < drops_.size() && startTime_ + drops_[nextDrop_] <= now; ++nextDrop_) {
    const Millis at = startTime_ + drops_[nextDrop_];
    DslLine& dsl = router_.dsl;
    if (dsl.InShowtime(at)) dsl.Retrain(at, options_.retrainMs);
  }
}

void Console::LoadSaved(const std::vector<std::string>& saved, Millis now) {
  router_ = Factory(now);
  replaying_ = true;
  for (const auto& line : saved) table_.Dispatch(router_, *this, now, now, line);
  replaying_ = false;
  router_.batchQueue.clear();
  router_.savedConfig = saved;
}

}  // namespace tarnwick::routersim
