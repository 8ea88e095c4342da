// Accessible names from a template's layout, served through WM_GETOBJECT by a thin wrapper
// around the system's own accessible object of each control.
#include "win32/ControlNames.h"

#include <commctrl.h>
#include <oleacc.h>

#include <map>
#include <vector>

#include "win32/WideText.h"

namespace tarnwick::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 0x4e41;  // "NA"
// The name, also the mark of a control already named.
constexpr wchar_t kNameProperty[] = L"Tarnwick.AccessibleName";

// The system's object for the control, with the name replaced; everything else is its own.
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* inner, const std::wstring& name) : inner_(inner), name_(name) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, __uuidof(IAccessible))) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return inner_->QueryInterface(riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return inner_->Invoke(id, riid, lcid, flags, params, result, exception, argument);
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return inner_->get_accName(child, name);
    *name = SysAllocString(name_.c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return inner_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return inner_->get_accChild(child, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return inner_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return inner_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return inner_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return inner_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return inner_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return inner_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() { inner_->Release(); }

  LONG refs_ = 1;
  IAccessible* inner_;
  std::wstring name_;
};

LRESULT CALLBACK NamedProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR data) {
  auto* name = reinterpret_cast<std::wstring*>(data);
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    IAccessible* inner = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&inner)))) {
      auto* named = new NamedAccessible(inner, *name);
      const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, named);
      named->Release();
      if (result > 0) return result;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, NamedProc, kSubclassId);
    RemovePropW(control, kNameProperty);
    delete name;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool Is(const std::wstring& cls, const wchar_t* wanted) {
  return lstrcmpiW(cls.c_str(), wanted) == 0;
}

// The text as read aloud: the mnemonic marker and a closing colon dropped.
std::wstring Spoken(std::wstring text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&') text.erase(i, 1);  // "&&" leaves one "&"
  }
  while (!text.empty() && (text.back() == L' ' || text.back() == L':')) text.pop_back();
  while (!text.empty() && text.front() == L' ') text.erase(0, 1);
  return text;
}

bool IsLabelText(HWND child, const std::wstring& cls) {
  if (!Is(cls, L"Static")) return false;
  const LONG type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ||
         type == SS_SIMPLE;
}

bool IsCheckBox(HWND child, const std::wstring& cls) {
  if (!Is(cls, L"Button")) return false;
  const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
         type == BS_AUTO3STATE;
}

bool IsGroupBox(HWND child) {
  return Is(ClassOf(child), L"Button") &&
         (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The caption of the smallest group box around the control, if any.
std::wstring GroupOf(HWND window, HWND control) {
  RECT inner{};
  GetWindowRect(control, &inner);
  std::wstring caption;
  LONG smallest = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsGroupBox(child)) continue;
    RECT box{};
    GetWindowRect(child, &box);
    if (inner.left < box.left || inner.top < box.top || inner.right > box.right ||
        inner.bottom > box.bottom)
      continue;
    const LONG area = (box.right - box.left) * (box.bottom - box.top);
    if (caption.empty() || area < smallest) {
      caption = Spoken(WindowText(child));
      smallest = area;
    }
  }
  return caption;
}

}  // namespace

void NameControls(HWND window) {
  std::vector<std::pair<HWND, std::wstring>> named;
  std::vector<HWND> run;  // the boxes of one labelled field, "." between them
  std::wstring runLabel;
  std::wstring label;
  bool afterDot = false;
  auto finishRun = [&] {
    for (std::size_t i = 0; i < run.size(); ++i) {
      std::wstring name = runLabel;
      if (run.size() > 1 && !name.empty())
        name += L", part " + std::to_wstring(i + 1) + L" of " + std::to_wstring(run.size());
      named.emplace_back(run[i], name);
    }
    run.clear();
  };
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::wstring cls = ClassOf(child);
    if (IsLabelText(child, cls)) {
      const std::wstring text = WindowText(child);
      if (text == L".") {
        afterDot = true;
        continue;
      }
      finishRun();
      label = Spoken(text);
    } else if (IsCheckBox(child, cls)) {
      // A check box that switches the field after it names it ("Authorized IP:").
      finishRun();
      label = Spoken(WindowText(child));
    } else if (Is(cls, L"Edit") || Is(cls, WC_LISTVIEWW) || Is(cls, L"ComboBox")) {
      if (!(afterDot && !run.empty())) {
        finishRun();
        runLabel = label;
        if (!Is(cls, L"Edit") && !WindowText(child).empty()) runLabel = Spoken(WindowText(child));
      }
      run.push_back(child);
      label.clear();
    } else {
      finishRun();
      label.clear();
    }
    afterDot = false;
  }
  finishRun();

  std::map<std::wstring, int> uses;
  for (const auto& [control, name] : named) ++uses[name];
  for (auto& [control, name] : named) {
    if (name.empty()) continue;
    if (uses[name] > 1) {
      const std::wstring group = GroupOf(window, control);
      if (!group.empty()) name = group + L" " + name;
    }
    if (GetPropW(control, kNameProperty)) continue;
    auto* kept = new std::wstring(name);
    SetPropW(control, kNameProperty, kept);
    SetWindowSubclass(control, NamedProc, kSubclassId, reinterpret_cast<DWORD_PTR>(kept));
  }
}

std::wstring GivenName(HWND control) {
  const auto* name = static_cast<const std::wstring*>(GetPropW(control, kNameProperty));
  return name ? *name : std::wstring();
}

}  // namespace tarnwick::win32
