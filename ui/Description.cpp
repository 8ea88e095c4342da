// Copies described members to and from their controls, runs click handlers, names values.
#include "ui/Description.h"

#include <algorithm>
#include <cassert>

#include "channel/TextHelpers.h"
#include "ui/OctetField.h"

namespace tarnwick {
namespace {}  // namespace

Description& Description::Add(Kind kind, std::vector<int> ids, std::string* text, int* number,
                              OctetField* field) {
  entries_.push_back({kind, std::move(ids), text, number, field});
  lastIsList_ = false;
  return *this;
}

Description& Description::Text(int id, std::string& member) {
  return Add(Kind::Text, {id}, &member, nullptr, nullptr);
}

Description& Description::Check(int id, int& member) {
  return Add(Kind::Check, {id}, nullptr, &member, nullptr);
}

Description& Description::Radio(std::vector<int> ids, int& member) {
  return Add(Kind::Radio, std::move(ids), nullptr, &member, nullptr);
}

Description& Description::Address(OctetField& field) {
  return Add(Kind::Address, {field.ids().begin(), field.ids().end()}, nullptr, nullptr, &field);
}

Description& Description::List(int id, std::vector<ListColumn> columns) {
  lists_.push_back({id, {}, Role::Entry, std::move(columns)});
  lastIsList_ = true;
  return *this;
}

Description& Description::Button(int id, Handler handler) {
  buttons_.push_back(id);
  return On(id, std::move(handler));
}

Description& Description::Button(int id) {
  buttons_.push_back(id);
  return *this;
}

Description& Description::On(int id, Handler handler) {
  handlers_.emplace_back(id, std::move(handler));
  return *this;
}

Description::Entry& Description::Last() {
  assert(!entries_.empty());
  return entries_.back();
}

Description& Description::Name(std::string key, std::string label, std::string unit, Role role) {
  if (lastIsList_) {
    lists_.back().key = std::move(key);
    lists_.back().role = role;
    return *this;
  }
  Entry& e = Last();
  e.key = std::move(key);
  e.label = std::move(label);
  e.unit = std::move(unit);
  e.role = role;
  return *this;
}

Description& Description::Setting(std::string key, std::string label, std::string unit) {
  return Name(std::move(key), std::move(label), std::move(unit), Role::Setting);
}

Description& Description::Reading(std::string key, std::string label, std::string unit) {
  return Name(std::move(key), std::move(label), std::move(unit), Role::Reading);
}

Description& Description::Secret() {
  Last().secret = true;
  return *this;
}

Description& Description::Choices(std::vector<std::string> names) {
  Last().choices = std::move(names);
  return *this;
}

void Description::LoadEntry(const Entry& e, const View& view) {
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
    case Kind::Address:
      for (std::size_t i = 0; i < 4; ++i) e.field->octets[i] = view.GetText(e.ids[i]);
      break;
  }
}

void Description::Load(const View& view) const {
  for (const Entry& e : entries_) LoadEntry(e, view);
}

void Description::Load(const View& view, const std::string& key) const {
  for (const Entry& e : entries_)
    if (e.key == key) LoadEntry(e, view);
}

void Description::Show(View& view) const {
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
      case Kind::Address:
        for (std::size_t i = 0; i < 4; ++i) view.SetText(e.ids[i], e.field->octets[i]);
        break;
    }
  }
}

bool Description::Click(int id) const {
  for (const auto& [control, handler] : handlers_) {
    if (control == id) {
      handler();
      return true;
    }
  }
  return false;
}

std::vector<ControlRef> Description::Controls() const {
  std::vector<ControlRef> out;
  for (const Entry& e : entries_) {
    const ControlKind kind = e.kind == Kind::Check   ? ControlKind::Check
                             : e.kind == Kind::Radio ? ControlKind::Radio
                                                     : ControlKind::Text;
    for (int id : e.ids) out.push_back({id, kind});
  }
  for (const ListDescription& list : lists_) out.push_back({list.id, ControlKind::List});
  for (int id : buttons_) out.push_back({id, ControlKind::Button});
  return out;
}

std::vector<std::string> Description::SettingControls(const View& view) const {
  std::vector<std::string> out;
  for (const Entry& e : entries_) {
    if (e.role != Role::Setting) continue;
    for (int id : e.ids) {
      const bool text = e.kind == Kind::Text || e.kind == Kind::Address;
      out.push_back(text ? view.GetText(id) : view.IsChecked(id) ? "1" : "0");
    }
  }
  return out;
}

Description& Description::Rows(int addButton, int removeButton) {
  lists_.back().addButton = addButton;
  lists_.back().removeButton = removeButton;
  return *this;
}

Description& Description::Writes() {
  writeButton_ = buttons_.back();
  return Changes();
}

Description& Description::Changes() {
  changeButtons_.push_back(buttons_.back());
  return *this;
}

bool Description::ChangesRouter(int id) const {
  return std::find(changeButtons_.begin(), changeButtons_.end(), id) != changeButtons_.end();
}

bool Description::Enter(View& view, const std::string& key, const SettingValue& value) const {
  for (const Entry& e : entries_) {
    if (e.key != key || e.role != Role::Setting) continue;
    const std::string* text = std::get_if<std::string>(&value);
    const int* number = std::get_if<int>(&value);
    switch (e.kind) {
      case Kind::Text:
        if (!text) return false;
        view.SetText(e.ids[0], *text);
        return true;
      case Kind::Address: {
        if (!text) return false;
        OctetField boxes(*e.field);
        boxes.Clear();
        boxes.Split(*text, '.');
        for (std::size_t i = 0; i < 4; ++i) view.SetText(e.ids[i], boxes.octets[i]);
        return true;
      }
      case Kind::Check:
        if (!number || (*number != 0 && *number != 1)) return false;
        if (view.IsChecked(e.ids[0]) != (*number == 1)) {
          view.SetChecked(e.ids[0], *number == 1);
          Click(e.ids[0]);
        }
        return true;
      case Kind::Radio: {
        if (!number || *number < -1 || *number >= static_cast<int>(e.ids.size())) return false;
        if (*number < 0) {
          for (int id : e.ids) view.SetChecked(id, false);
          return true;
        }
        const int id = e.ids[static_cast<std::size_t>(*number)];
        if (view.IsChecked(id)) return true;
        for (int other : e.ids) view.SetChecked(other, other == id);
        Click(id);
        return true;
      }
    }
  }
  return false;
}

std::vector<ShownValue> Description::Values(bool revealSecrets) const {
  std::vector<ShownValue> out;
  for (const Entry& e : entries_) {
    if (e.key.empty()) continue;
    ShownValue v{e.key, e.label, e.role, std::string(), std::string(), e.secret, e.choices};
    switch (e.kind) {
      case Kind::Text:
      case Kind::Address: {
        std::string text = e.kind == Kind::Text  ? *e.text
                           : e.field->AllEmpty() ? std::string()
                                                 : e.field->Join('.');
        if (e.secret && !revealSecrets && !text.empty()) text = kSecretMask;
        v.text = text.empty() || e.unit.empty() ? text : text + " " + e.unit;
        v.value = std::move(text);
        break;
      }
      case Kind::Check:
        v.value = *e.number;
        v.text = *e.number == 1 ? "yes" : "no";
        break;
      case Kind::Radio: {
        const int index = *e.number;
        v.value = index;
        if (index >= 0 && index < static_cast<int>(e.choices.size()))
          v.text = e.choices[static_cast<std::size_t>(index)];
        break;
      }
    }
    out.push_back(std::move(v));
  }
  return out;
}

std::vector<std::string> Description::Headings(int listId) const {
  std::vector<std::string> headings;
  for (const ListDescription& list : lists_)
    if (list.id == listId)
      for (const ListColumn& column : list.columns) headings.push_back(column.heading);
  return headings;
}

}  // namespace tarnwick
