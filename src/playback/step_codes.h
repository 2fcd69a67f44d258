// The texts of a step's button and action cells and the codes they stand for.
#pragma once

#include <string_view>

namespace kv::playback {

// The code of an exactly matching text; any other text keeps `previous`, so
// a step with an unknown text plays with the codes of the step before it.
int buttonCodeFor(std::string_view text, int previous);
int actionCodeFor(std::string_view text, int previous);

}  // namespace kv::playback
