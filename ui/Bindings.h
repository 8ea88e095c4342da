// One model's member <-> control table, declared once and used by the native layer and tests.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "ui/View.h"

namespace tarnwick {

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

class Bindings {
 public:
  Bindings& Text(int id, std::string& member);
  template <std::size_t N>
  Bindings& Texts(const std::array<int, N>& ids, std::array<std::string, N>& members) {
    for (std::size_t i = 0; i < N; ++i) Text(ids[i], members[i]);
    return *this;
  }
  Bindings& Check(int id, int& member);  // 0 or 1
  // Radio buttons with ids first..first+count-1 (or the listed ids); member is the index
  // of the checked one, -1 when none is checked.
  Bindings& Radio(int firstId, int count, int& member);
  Bindings& Radio(std::vector<int> ids, int& member);

  // Controls -> members.
  void Load(const View& view) const;
  // Members -> controls.
  void Show(View& view) const;

  std::vector<ControlRef> Controls() const;

 private:
  enum class Kind { Text, Check, Radio };
  struct Entry {
    Kind kind;
    std::vector<int> ids;
    std::string* text = nullptr;
    int* number = nullptr;
  };
  std::vector<Entry> entries_;
};

}  // namespace tarnwick
