#include <windows.h>

#include <commctrl.h>

#include "app/Session.h"
#include "app/Startup.h"
#include "app/win32/DialogHost.h"
#include "app/win32/RegistrySettings.h"
#include "app/win32/SheetHost.h"
#include "app/win32/Win32Ui.h"
#include "channel/Clock.h"
#include "channel/Socket.h"

namespace {

class Win32Shell final : public tarnwick::ShellHost {
 public:
  int RunModal(tarnwick::DialogModel& dialog) override {
    return tarnwick::win32::DialogHost::Run(dialog, nullptr);
  }
  int RunSheet(tarnwick::CAllControlsSheet& sheet) override {
    return tarnwick::win32::SheetHost::Run(sheet);
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                   ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  bool socketsReady = tarnwick::InitialiseSocketLayer();
  tarnwick::SteadyClock clock;
  auto sockets = tarnwick::MakePlatformSocketFactory();
  tarnwick::win32::Win32Ui ui;
  tarnwick::win32::RegistrySettings settings;
  tarnwick::Session session(*sockets, clock, ui, settings);
  Win32Shell shell;
  return tarnwick::RunApplication(session, shell, socketsReady);
}
