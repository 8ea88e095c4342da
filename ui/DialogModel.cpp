// Declared controls and the message helpers every page and dialog shares.
#include "ui/DialogModel.h"

#include "ui/Session.h"

namespace tarnwick {

std::vector<ControlRef> DialogModel::Controls() const {
  std::vector<ControlRef> all = description_.Controls();
  all.insert(all.end(), declared_.begin(), declared_.end());
  return all;
}

void DialogModel::Declare(ControlKind kind, std::initializer_list<int> ids) {
  for (int id : ids) declared_.push_back({id, kind});
}

void DialogModel::Declare(ControlKind kind, const std::vector<int>& ids) {
  for (int id : ids) declared_.push_back({id, kind});
}

void DialogModel::Error(const std::string& text) { Tell(text, "Error"); }

Answer DialogModel::Ask(const std::string& text, const std::string& caption) {
  return session().ui.Message(view().Window(), text, caption, Buttons::YesNo);
}

void DialogModel::Tell(const std::string& text, const std::string& caption) {
  session().ui.Message(view().Window(), text, caption, Buttons::Ok);
}

Router& DialogModel::router() const { return session().router; }

std::optional<std::string> DialogModel::Change(const std::string& line, Millis pauseMs,
                                               const char* ownFailure) {
  std::optional<std::string> answer = router().Change(line, pauseMs);
  if (answer) return answer;
  if (ownFailure)
    Error(ownFailure);
  else
    router().TellSendFailed(view().Window());
  return std::nullopt;
}

bool DialogModel::RequireConnection() {
  if (router().Connected()) return true;
  router().TellNotConnected(view().Window());
  return false;
}

}  // namespace tarnwick
