// The names a screen reader reads for the fields and lists of a dialog or page.
#pragma once

#include <windows.h>

#include <string>

namespace tarnwick::win32 {

// Gives every edit, list view and combo box of the window its own accessible name, served
// to the accessibility interface by the control itself: the label right before it in the
// template (mnemonic and colon dropped), or a list's own text. The boxes of a four-box address
// are "LABEL, part N of 4"; names two controls would share are told apart by the caption of
// the group box around each. Buttons keep the names their texts give them.
void NameControls(HWND window);

// The name NameControls gave the control; empty when it gave none.
std::wstring GivenName(HWND control);

}  // namespace tarnwick::win32
