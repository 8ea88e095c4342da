// A page's or dialog's one description: each member with its control, key, label, unit and role,
// its lists with their columns, and its buttons with their handlers.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "ui/View.h"

namespace tarnwick {

class OctetField;

// What a control must be in its template for a model to use it as it does.
enum class ControlKind {
  Text,    // an edit or a static label (its window text)
  Edit,    // an edit box (focus and selection)
  Check,   // a check box
  Radio,   // a radio button
  List,    // a report-style list view
  Button,  // a push button
  Any,     // anything that exists (enabled or disabled as a group)
};

struct ControlRef {
  int id;
  ControlKind kind;
};

// What a value is to the router and to whoever reads the page without showing it.
enum class Role {
  Entry,    // typed for an action of the page (a row to add); not part of what it shows
  Setting,  // the router's set-up: read, shown, and written back by the page
  Reading,  // what the router reports (line state, counters): read and shown only
};

// A value as the console shows it: as JSON (a text, or a number for check boxes and radio
// groups) and as text (a unit after it, a check as yes or no, a radio button by its name).
struct ShownValue {
  std::string key;
  std::string label;
  Role role;
  std::variant<std::string, int> value;
  std::string text;
  bool secret = false;
  std::vector<std::string> choices = {};  // a radio group's buttons; a check box has none
};

struct ListColumn {
  std::string key;
  std::string heading;
  // A cell equal to the log-in password is that password (the router's write community).
  bool loginSecret = false;
};

struct ListDescription {
  int id;
  std::string key;
  Role role;
  std::vector<ListColumn> columns;
  // The buttons that add the row the page's form holds and remove the selected row; 0 when
  // the list is changed only as a whole.
  int addButton = 0;
  int removeButton = 0;
};

// A value as a settings file holds it: a text, or a number for check boxes and radio groups.
using SettingValue = std::variant<std::string, int>;
// A list's row, its cells by column key.
using ListRow = std::map<std::string, std::string>;

class Description {
 public:
  using Handler = std::function<void()>;

  // ---- Entries; the modifiers below apply to the entry added last.
  Description& Text(int id, std::string& member);
  Description& Check(int id, int& member);  // 0 or 1
  // Radio buttons: member is the index of the checked one, -1 when none is checked.
  Description& Radio(std::vector<int> ids, int& member);
  // Four octet boxes shown as one dotted address (empty when every box is).
  Description& Address(OctetField& field);
  Description& List(int id, std::vector<ListColumn> columns);
  // A push button and what a click on it does; without a handler, one that reaches the
  // model otherwise (a dialog's OK or Cancel).
  Description& Button(int id, Handler handler);
  Description& Button(int id);
  // What a click on a bound check box or radio button does.
  Description& On(int id, Handler handler);

  // Names the last entry: a value of the router's set-up, or one it reports.
  Description& Setting(std::string key, std::string label, std::string unit = "");
  Description& Reading(std::string key, std::string label, std::string unit = "");
  Description& Secret();
  // The names of the last radio group's buttons, in order.
  Description& Choices(std::vector<std::string> names);
  // The last list's rows are added from the page's form and removed one by one with these.
  Description& Rows(int addButton, int removeButton);
  // The last button writes the page's settings to the router (its Apply); it changes it.
  Description& Writes();
  // The last button changes the router's set-up (an Add or Remove that sends at once).
  Description& Changes();

  // ---- Uses
  // Controls -> members, every entry or the one of key.
  void Load(const View& view) const;
  void Load(const View& view, const std::string& key) const;
  // Members -> controls.
  void Show(View& view) const;
  // Runs the handler of a click; false when the control has none.
  bool Click(int id) const;

  std::vector<ControlRef> Controls() const;
  // What the controls of the settings hold, to tell whether the user has changed any.
  std::vector<std::string> SettingControls(const View& view) const;
  // Every named value, in order; secrets masked unless revealed.
  std::vector<ShownValue> Values(bool revealSecrets = false) const;
  // Puts a setting into its controls as a user would: types the text, or clicks the check box
  // or the radio button (running its handler) when that changes it. False for a key that is
  // no setting or a value of the wrong kind.
  bool Enter(View& view, const std::string& key, const SettingValue& value) const;
  // The button that writes the settings, or 0.
  int WriteButton() const { return writeButton_; }
  // Whether a click on the control may change the router's set-up.
  bool ChangesRouter(int id) const;
  const std::vector<ListDescription>& Lists() const { return lists_; }
  // A list's column headings, as its columns are added.
  std::vector<std::string> Headings(int listId) const;

 private:
  enum class Kind { Text, Check, Radio, Address };
  struct Entry {
    Kind kind = Kind::Text;
    std::vector<int> ids;
    std::string* text = nullptr;
    int* number = nullptr;
    OctetField* field = nullptr;
    std::string key = {};
    std::string label = {};
    std::string unit = {};
    Role role = Role::Entry;
    bool secret = false;
    std::vector<std::string> choices = {};
  };
  Description& Add(Kind kind, std::vector<int> ids, std::string* text, int* number,
                   OctetField* field);
  Entry& Last();
  static void LoadEntry(const Entry& e, const View& view);
  Description& Name(std::string key, std::string label, std::string unit, Role role);

  std::vector<Entry> entries_;
  std::vector<ListDescription> lists_;
  std::vector<std::pair<int, Handler>> handlers_;
  std::vector<int> buttons_;
  int writeButton_ = 0;
  std::vector<int> changeButtons_;
  // What the modifiers apply to: an entry, or the last list.
  bool lastIsList_ = false;
};

}  // namespace tarnwick
