// The roles of the main window's controls, timers and menu items. The
// subsystems that act on the main window name its controls by these.
#pragma once

namespace kv::mainwin {

enum class MainRole {
    stepList,
    startButton,
    quickAddButton,
    advancedButton,
    runOnceRadio,
    loopRadio,
    countdownLabel,
    linkLabel,
    repeatTimer,
    uiRefreshTimer,
    quickAddTimer,
    scheduleTimer,
    listMenu,
    menuAdd,
    menuEdit,
    menuDelete,
    menuDeleteAll,
    trayMenu,
    menuShowMain,
    menuExit,
};

}  // namespace kv::mainwin
