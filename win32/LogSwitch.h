// The command line of tarnwick.exe: --log FILE (the session log, off unless asked for), and
// the switches that only tell something: /? or --help, --version.
#pragma once

#include <memory>

#include "channel/Socket.h"
#include "channel/Ui.h"
#include "channel/WireLog.h"

namespace tarnwick::win32 {

// The log the program's command line asks for with "--log FILE", appended to; null when none
// is asked for. ok turns false (the user has been told) when one is asked for and the file
// cannot be opened.
std::unique_ptr<LogFile> OpenLogSwitch(SocketFactory& platform, Ui& ui, bool& ok);

// Shows the usage (for /?, -h or --help) or the version (--version) in a message box and
// returns true when the command line asks for either: the program then ends.
bool AnswerInfoSwitch(Ui& ui);

}  // namespace tarnwick::win32
