// The --log FILE switch, read from the wide command line so that any file name works.
#include "win32/LogSwitch.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "win32/WideText.h"

namespace tarnwick::win32 {

std::unique_ptr<LogFile> OpenLogSwitch(SocketFactory& platform, Ui& ui, bool& ok) {
  ok = true;
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (args == nullptr) return nullptr;
  std::wstring path;
  bool asked = false;
  for (int i = 1; i < count; ++i) {
    if (std::wstring(args[i]) != L"--log") continue;
    asked = true;
    path = i + 1 < count ? args[i + 1] : L"";
    break;
  }
  ::LocalFree(args);
  if (!asked) return nullptr;

  std::unique_ptr<LogFile> log;
  if (!path.empty()) log = LogFile::Adopt(::_wfopen(path.c_str(), L"ab"), platform);
  if (!log) {
    ui.Message(nullptr,
               path.empty() ? "--log needs the name of a file."
                            : "Cannot open the log file " + Narrow(path) + ".",
               "Error", Buttons::Ok);
    ok = false;
  }
  return log;
}

}  // namespace tarnwick::win32
