// Copies bound members to and from their controls.
#include "ui/Bindings.h"

namespace tarnwick {

Bindings& Bindings::Text(int id, std::string& member) {
  entries_.push_back({Kind::Text, {id}, &member, nullptr});
  return *this;
}

Bindings& Bindings::Check(int id, int& member) {
  entries_.push_back({Kind::Check, {id}, nullptr, &member});
  return *this;
}

Bindings& Bindings::Radio(int firstId, int count, int& member) {
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) ids.push_back(firstId + i);
  return Radio(std::move(ids), member);
}

Bindings& Bindings::Radio(std::vector<int> ids, int& member) {
  entries_.push_back({Kind::Radio, std::move(ids), nullptr, &member});
  return *this;
}

void Bindings::Load(const View& view) const {
  for (const Entry& e : entries_) {
    switch (e.kind) {
      case Kind::Text:
        *e.text = view.GetText(e.ids[0]);
        break;
      case Kind::Check:
        *e.number = view.IsChecked(e.ids[0]) ? 1 : 0;
        break;
      case Kind::Radio: {
        int chosen = -1;
        for (int i = 0; i < static_cast<int>(e.ids.size()); ++i) {
          if (view.IsChecked(e.ids[i])) {
            chosen = i;
            break;
          }
        }
        *e.number = chosen;
        break;
      }
    }
  }
}

void Bindings::Show(View& view) const {
  for (const Entry& e : entries_) {
    switch (e.kind) {
      case Kind::Text:
        view.SetText(e.ids[0], *e.text);
        break;
      case Kind::Check:
        view.SetChecked(e.ids[0], *e.number != 0);
        break;
      case Kind::Radio:
        for (int i = 0; i < static_cast<int>(e.ids.size()); ++i)
          view.SetChecked(e.ids[i], i == *e.number);
        break;
    }
  }
}

std::vector<ControlRef> Bindings::Controls() const {
  std::vector<ControlRef> out;
  for (const Entry& e : entries_) {
    const ControlKind kind = e.kind == Kind::Text    ? ControlKind::Text
                             : e.kind == Kind::Check ? ControlKind::Check
                                                     : ControlKind::Radio;
    for (int id : e.ids) out.push_back({id, kind});
  }
  return out;
}

}  // namespace tarnwick
