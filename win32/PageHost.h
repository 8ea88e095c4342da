// One property page of the sheet, built from its model's template and tab caption.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "ui/Page.h"
#include "win32/Dispatcher.h"
#include "win32/Win32View.h"

namespace tarnwick::win32 {

class PageHost {
 public:
  explicit PageHost(Page& model);
  ~PageHost();
  PageHost(const PageHost&) = delete;
  PageHost& operator=(const PageHost&) = delete;

  // Valid for as long as this object lives.
  PROPSHEETPAGEW Description();

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Notify(HWND window, const NMHDR& header);

  Page& model_;
  Dispatcher dispatcher_;
  std::wstring caption_;
  std::unique_ptr<Win32View> view_;
};

}  // namespace tarnwick::win32
