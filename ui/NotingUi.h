// A Ui that passes everything on and notes what a run of page handlers showed: its errors,
// and the questions it asked with their answers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "channel/Ui.h"

namespace tarnwick {

// Whatever works pages on the user's behalf (the console, a restore) learns from it whether a
// page refused or failed, and may answer the pages' questions itself.
class NotingUi final : public Ui {
 public:
  struct Question {
    std::string text;
    Answer answer;
  };

  explicit NotingUi(Ui& inner) : inner_(inner) {}

  // Set: every question is shown and answered so, whatever the user answers.
  std::optional<Answer> answerQuestions;
  // Off: notices (messages that are no error and no question) are noted only; a dry run's
  // "Configuration Successful" would tell of a change never made.
  bool showNotices = true;

  Answer Message(WindowRef owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override {
    if (caption == "Error") errors.push_back(text);
    if (!showNotices && caption != "Error" && buttons == Buttons::Ok) return Answer::Ok;
    const Answer shown = inner_.Message(owner, text, caption, buttons);
    if (buttons != Buttons::YesNo) return shown;
    const Answer answer = answerQuestions.value_or(shown);
    questions.push_back({text, answer});
    return answer;
  }
  void ShowPossibleErrors() override {
    errors.push_back("The router could not be reached.");
    inner_.ShowPossibleErrors();
  }
  std::unique_ptr<WaitWindow> OpenWait(const std::string& text) override {
    return inner_.OpenWait(text);
  }
  void Trace(const std::string& line) override { inner_.Trace(line); }
  void PumpPaint() override { inner_.PumpPaint(); }

  bool Failed() const { return !errors.empty(); }
  // The first question answered No, if any.
  std::optional<std::string> Declined() const {
    for (const Question& q : questions)
      if (q.answer == Answer::No) return q.text;
    return std::nullopt;
  }
  void Forget() {
    errors.clear();
    questions.clear();
  }

  std::vector<std::string> errors;
  std::vector<Question> questions;

 private:
  Ui& inner_;
};

}  // namespace tarnwick
