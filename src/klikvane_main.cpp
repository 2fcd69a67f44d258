// Process entry: no arguments and no command line are read.
#include <windows.h>

#include "app/klikvane.h"
#include "platform/win32/win32_desktop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    kv::platform::win32::Win32Desktop desktop;
    kv::app::Klikvane program(desktop);
    program.run();
    return 0;
}
