// One copy of the program per folder. Two copies started from one folder
// would fight over the hotkeys, and each would save its list at close, the
// one closed last dropping every change made in the other. So a copy claims
// the folder that holds its executable at start, before it reads a file; a
// later copy from the same folder finds it claimed, brings the running
// copy's main window forward and ends. Copies in other folders run apart.
#pragma once

#include "platform/geometry.h"

namespace kv::platform {

enum class FolderClaim {
    claimed,        // no other copy runs from this folder; this one holds it now
    heldElsewhere,  // another copy runs from this folder
    unavailable,    // the system would not tell (no right to create the object)
};

class ProgramCopies {
public:
    virtual ~ProgramCopies() = default;

    // Claims the executable's folder for as long as this process runs.
    virtual FolderClaim claimFolder() = 0;
    // From now on a later copy from this folder brings this window forward.
    virtual void answerLaterCopies(NativeWindow mainWindow) = 0;
    // Asks the copy that holds the folder to bring its main window forward,
    // restored if it was minimised or hidden in the notification area.
    // Returns false when no answer came within timeoutMs: the copy hangs, or
    // has shown no window in that time.
    virtual bool bringRunningCopyForward(int timeoutMs) = 0;
};

}  // namespace kv::platform
