#include "app/about_window.h"

#include <string>

#include "app/about_window_layout.h"
#include "app/open_web_address.h"

namespace kv::app {

void AboutWindow::open() {
    desktop_.openWindow(kAboutWindowSpec, *this, platform::Modality::modal);
}

void AboutWindow::onCreated(platform::Window& window) {
    const std::string version = desktop_.programVersion();
    if (!version.empty()) {
        window.setText(AboutRole::nameLabel, std::string(layout::kAboutName) + " " + version);
    }
}

void AboutWindow::onMousePress(platform::Window& window, platform::Role control,
                               platform::MouseButton button, platform::Point) {
    if (button == platform::MouseButton::right) {
        window.close();
    } else if (button == platform::MouseButton::left && control.is(AboutRole::aboutLinkLabel)) {
        openWebAddress(desktop_, kWebAddress);
    }
}

}  // namespace kv::app
