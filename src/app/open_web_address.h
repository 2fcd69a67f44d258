// The program's web page, opened from the main window's link and the about
// window's link.
#pragma once

#include <string_view>

#include "platform/desktop.h"

namespace kv::app {

inline constexpr std::string_view kWebAddress = "https://klikvane.example.com";

// Opens the address in the user's default browser. Nothing is reported when
// no browser can be started.
void openWebAddress(platform::Desktop& desktop, std::string_view address);

}  // namespace kv::app
