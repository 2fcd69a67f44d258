// The shutdown after a run: a forced shutdown of the computer. A refusal
// (no privilege, a policy) is told, and the program goes on.
#pragma once

#include "platform/desktop.h"

namespace kv::schedule {

void shutDownComputer(platform::Desktop& desktop);

}  // namespace kv::schedule
