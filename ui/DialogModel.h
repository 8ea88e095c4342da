// The model of a page or dialog: template, description, declared controls, handlers, messages.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "channel/Clock.h"
#include "channel/Ui.h"
#include "ui/Description.h"
#include "ui/View.h"

namespace tarnwick {

class Router;
class Session;

// The native layer forwards every event through one dispatcher; the model never touches a
// native control itself.
class DialogModel {
 public:
  DialogModel() = default;
  explicit DialogModel(Session& session) : session_(&session) {}
  virtual ~DialogModel() = default;
  DialogModel(const DialogModel&) = delete;
  DialogModel& operator=(const DialogModel&) = delete;

  virtual int TemplateId() const = 0;
  // How the console names it (a page: its tab label).
  virtual std::string Caption() const { return {}; }
  const Description& description() const { return description_; }
  // Every control the model reads, writes, enables, focuses or lists, with the kind it needs.
  std::vector<ControlRef> Controls() const;

  void Attach(View* view) { view_ = view; }
  View& view() const { return *view_; }
  bool attached() const { return view_ != nullptr; }

  // WM_INITDIALOG (for a page: the first time it is shown).
  virtual void OnInitDialog() {}
  // A click on a push button, check box or radio button: its handler in the description.
  // A click that changes the router is guarded: the session's guard is asked before its first
  // line leaves.
  void OnCommand(int id);
  // The keyboard focus left an edit box.
  virtual void OnFocusLeave(int /*id*/) {}
  // The selection of a list view changed.
  virtual void OnListSelection(int /*id*/) {}
  virtual void OnTimer(int /*timerId*/) {}
  // Types a row of one of its lists into the page's form, as a user would before pressing
  // the list's Add button; false when the form cannot hold such a row.
  virtual bool EnterRow(int /*listId*/, const ListRow& /*row*/) { return false; }
  // Brings a list to these rows as a user would: selects and removes each row not among them,
  // then types and adds each one missing, in order. The row that could not be typed, if any
  // (nothing after it is added); refusals of the page are its own messages.
  virtual std::optional<ListRow> PutRows(int listId, const std::vector<ListRow>& rows);
  // The rows of a list as the page shows them.
  std::vector<ListRow> RowsOf(int listId) const;
  // IDOK / IDCANCEL of a dialog (Enter, Escape and the close box included); defaults end it.
  virtual void OnOK() { view().EndDialog(1); }
  virtual void OnCancel() { view().EndDialog(2); }

 protected:
  Session& session() const { return *session_; }
  Router& router() const;

  // Declares controls the model uses beyond its bindings.
  void Declare(ControlKind kind, std::initializer_list<int> ids);
  void Declare(ControlKind kind, const std::vector<int>& ids);

  // What the model shows of its settings is now the router's (the guard is told).
  void MarkRead();

  void Load() { description_.Load(view()); }
  void Show() { description_.Show(view()); }

  // Message boxes owned by this window: caption "Error"; a question; a plain notice.
  void Error(const std::string& text);
  Answer Ask(const std::string& text, const std::string& caption);
  void Tell(const std::string& text, const std::string& caption);
  // True when the channel holds a connection; otherwise says so and returns false.
  bool RequireConnection();
  // A change on the router's socket and its answer (Router::Change); when the line never left,
  // the user is told in the page's own words when given, else the channel's.
  std::optional<std::string> Change(const std::string& line, Millis pauseMs,
                                    const char* ownFailure = nullptr);

  Description description_;

 private:
  Session* session_ = nullptr;
  View* view_ = nullptr;
  std::vector<ControlRef> declared_;
};

}  // namespace tarnwick
