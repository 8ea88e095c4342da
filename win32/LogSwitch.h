// The --log FILE switch of tarnwick.exe: the session log, off unless asked for.
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

}  // namespace tarnwick::win32
