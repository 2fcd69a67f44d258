// The start-up rule that keeps one copy of the program per folder (see
// platform/program_copies.h for why).
#pragma once

#include "platform/desktop.h"

namespace kv::app {

// How long a later copy waits for the running one to come forward.
inline constexpr int kRunningCopyAnswerMs = 2000;

// Called first thing at start, before any file is read. Returns whether this
// copy goes on. When another copy runs from this folder, that copy is asked
// to bring its main window forward; if it does not answer in time the user
// is told, and either way this copy ends without touching a file. When the
// system cannot tell, the program runs as it always has.
bool claimProgramFolder(platform::Desktop& desktop);

}  // namespace kv::app
