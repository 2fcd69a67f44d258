// The about window, opened by F8: the program's name and version, its keys,
// a link to its web page. A right press or Esc closes it; dragging its
// background moves it.
#pragma once

#include "platform/desktop.h"

namespace kv::app {

class AboutWindow : public platform::WindowHandlers {
public:
    explicit AboutWindow(platform::Desktop& desktop) : desktop_(desktop) {}

    // Opens the window modally: returns when it has been closed. While it is
    // open, opening it again only activates it.
    void open();

    void onCreated(platform::Window& window) override;
    void onMousePress(platform::Window& window, platform::Role control,
                      platform::MouseButton button, platform::Point clientPoint) override;

private:
    platform::Desktop& desktop_;
};

}  // namespace kv::app
