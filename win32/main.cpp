// tarnwick.exe: WinMain wires the platform to the application and runs it.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "app/Snapshots.h"
#include "app/Startup.h"
#include "channel/Clock.h"
#include "channel/Socket.h"
#include "ui/NotingUi.h"
#include "ui/Session.h"
#include "win32/DialogHost.h"
#include "win32/LogSwitch.h"
#include "win32/RegistrySettings.h"
#include "win32/SheetHost.h"
#include "win32/WideText.h"
#include "win32/Win32Ui.h"

namespace {

class Win32Shell final : public tarnwick::ShellHost {
 public:
  int RunModal(tarnwick::DialogModel& dialog) override {
    return tarnwick::win32::DialogHost::Run(dialog, nullptr);
  }
  int RunSheet(tarnwick::SheetModel& sheet) override {
    return tarnwick::win32::SheetHost::Run(sheet);
  }
};

// The user's local application data (not roaming: a snapshot belongs to the routers this PC
// reaches), or empty.
std::string SnapshotFolder() {
  wchar_t local[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                              SHGFP_TYPE_CURRENT, local)))
    return {};
  return tarnwick::win32::Narrow(local) + "\\Tarnwick\\snapshots";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                   ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  // The controls' accessible objects are handed out through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  bool socketsReady = tarnwick::InitialiseSocketLayer();
  tarnwick::SteadyClock clock;
  auto platformSockets = tarnwick::MakePlatformSocketFactory();
  tarnwick::win32::Win32Ui ui;
  if (tarnwick::win32::AnswerInfoSwitch(ui)) return 0;
  bool logOpened = true;
  auto log = tarnwick::win32::OpenLogSwitch(*platformSockets, ui, logOpened);
  if (!logOpened) return 1;
  tarnwick::SocketFactory& sockets = log ? log->sockets() : *platformSockets;
  tarnwick::win32::RegistrySettings settings;
  tarnwick::NotingUi noted(ui);
  tarnwick::Session session(sockets, clock, noted, settings);
  session.noted = &noted;
  // Without the folder every change stops with a message: none is made without a way back.
  tarnwick::Snapshots snapshots(session, SnapshotFolder());
  Win32Shell shell;
  const int status = tarnwick::RunApplication(session, shell, socketsReady, &snapshots);
  if (SUCCEEDED(com)) CoUninitialize();
  return status;
}
