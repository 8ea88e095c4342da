// The --log FILE switch, read from the wide command line so that any file name works.
#include "win32/LogSwitch.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "channel/Version.h"
#include "win32/WideText.h"

namespace tarnwick::win32 {

bool AnswerInfoSwitch(Ui& ui) {
  int count = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (args == nullptr) return false;
  bool help = false;
  bool version = false;
  for (int i = 1; i < count; ++i) {
    const std::wstring arg = args[i];
    if (arg == L"--log")
      ++i;  // its file name may be anything
    else if (arg == L"/?" || arg == L"-?" || arg == L"-h" || arg == L"--help")
      help = true;
    else if (arg == L"--version")
      version = true;
  }
  ::LocalFree(args);
  if (help) {
    ui.Message(nullptr,
               "Usage: tarnwick.exe [--log FILE]\n\n"
               "Configures an ADSL router over its telnet command line: log in, then use the pages "
               "of the main window.\n\n"
               "--log FILE\tappend every byte sent to and received from the router to FILE "
               "(passwords masked)\n"
               "--version\tshow the version\n"
               "/?, --help\tshow this help",
               "", Buttons::Ok);
  } else if (version) {
    ui.Message(nullptr, std::string("Tarnwick ") + TARNWICK_VERSION + "\n" + TARNWICK_COPYRIGHT, "",
               Buttons::Ok);
  }
  return help || version;
}

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
