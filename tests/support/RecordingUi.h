// Records what the program shows and answers its questions from a script.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "channel/Ui.h"

namespace tarnwick::testing {

// Records everything the program shows; answers questions from a script (Yes when the
// script is empty).
class RecordingUi final : public Ui {
 public:
  struct MessageRecord {
    WindowRef owner;
    std::string text;
    std::string caption;
    Buttons buttons;
  };
  struct WaitRecord {
    std::string text;
    std::vector<int> positions;  // every SetProgress in order
    int repaints = 0;
    bool closed = false;
  };

  Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    messages.push_back({owner, text, caption, buttons});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) return Answer::Yes;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowPossibleErrors() override { ++possibleErrors; }
  std::unique_ptr<WaitWindow> OpenWait(const std::string& text) override;
  void Trace(const std::string& line) override { traces.push_back(line); }
  void PumpPaint() override { ++paintPumps; }

  // Message texts only, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }

  std::vector<MessageRecord> messages;
  std::deque<Answer> answers;
  std::vector<std::unique_ptr<WaitRecord>> waits;
  std::vector<std::string> traces;
  int possibleErrors = 0;
  int paintPumps = 0;
};

class RecordingWait final : public WaitWindow {
 public:
  explicit RecordingWait(RecordingUi::WaitRecord& record) : record_(record) {}
  ~RecordingWait() override { record_.closed = true; }
  void SetProgress(int position) override { record_.positions.push_back(position); }
  void Repaint() override { ++record_.repaints; }

 private:
  RecordingUi::WaitRecord& record_;
};

inline std::unique_ptr<WaitWindow> RecordingUi::OpenWait(const std::string& text) {
  waits.push_back(std::make_unique<WaitRecord>());
  waits.back()->text = text;
  return std::make_unique<RecordingWait>(*waits.back());
}

}  // namespace tarnwick::testing
