// The program or document named in the schedule window, opened once at the
// next start of Klikvane.
//
// The arming is cleared before the launch, and nothing opens when clearing
// it cannot be written: a program that starts Klikvane (or Klikvane itself)
// would otherwise be opened again at every start, in a chain. The shell is
// called on a worker thread, so an unreachable share holds up neither the
// start nor F5; a failure is told in a message box from that thread, with
// the path and the reason. The program starts in its own folder, as a
// double-click would start it.
#pragma once

#include <string>
#include <string_view>

#include "platform/desktop.h"

namespace kv::schedule {

// The path as typed or pasted: blanks around it and the double quotes that
// "Copy as path" adds are taken off.
std::string cleanedPath(std::string_view path);
// The folder that holds the file; "C:\" for "C:\a.exe", empty without one.
std::string folderOf(std::string_view path);

// The first step of the main window's creation handler.
void launchPendingProgram(platform::Desktop& desktop);

}  // namespace kv::schedule
