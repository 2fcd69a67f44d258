// The main window's handlers: start-up and close in their fixed order, and
// the 100 ms refresh that keeps the run-mode radio boxes and the list menu in
// line with the number of rows.
#pragma once

#include "app/shared_values.h"
#include "platform/desktop.h"

namespace kv::app {

class MainWindow : public platform::WindowHandlers {
  public:
    MainWindow(platform::Desktop& desktop, SharedValues& shared);

    void onCreated(platform::Window& window) override;
    void onDestroy(platform::Window& window) override;
    void onTimer(platform::Window& window, platform::Role timer) override;

    void uiRefreshTick(platform::Window& window);

  private:
    platform::Desktop& desktop_;
    SharedValues& shared_;
};

}  // namespace kv::app
