#include "support/real_mouse.h"

#include <filesystem>
#include <fstream>

#include "drag/bmp_image.h"
#include "platform/win32/win32_desktop.h"

namespace kv::test {
namespace {

// Under wine the X server's own pointer is the real mouse: moved with
// SendInput, wine's cursor and the X pointer part ways, and X events put the
// cursor back. xdotool moves the X pointer itself, so the input comes in as
// a user's would. On Windows (no xdotool) SendInput is the real thing.
bool runXdotool(const std::wstring& arguments) {
    static bool missing = false;
    if (missing) {
        return false;
    }
    std::wstring command = L"Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        missing = true;
        return false;
    }
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    input.mi.dy = dy;
    SendInput(1, &input, sizeof input);
}

}  // namespace

// Absolute moves are given in 0..65535 across the primary screen.
void mouseMoveTo(POINT screen) {
    if (runXdotool(L"mousemove " + std::to_wstring(screen.x) + L" " + std::to_wstring(screen.y))) {
        return;
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const LONG dx = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
    const LONG dy = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
    sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, dx, dy);
}

void mouseLeftDown() {
    if (runXdotool(L"mousedown 1")) {
        return;
    }
    sendMouse(MOUSEEVENTF_LEFTDOWN);
}

void mouseLeftUp() {
    if (runXdotool(L"mouseup 1")) {
        return;
    }
    sendMouse(MOUSEEVENTF_LEFTUP);
}

void mouseGlide(POINT from, POINT to, int steps, DWORD pauseMs) {
    for (int i = 1; i <= steps; ++i) {
        mouseMoveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        Sleep(pauseMs);
    }
}

bool waitForCursorAt(POINT screen, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(10);
    }
}

POINT centreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool saveScreenBmp(const std::wstring& path) {
    platform::win32::Win32Desktop desktop;
    const std::string bmp = drag::encodeBmp(desktop.captureScreen(desktop.screenRect()));
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
    return !bmp.empty() && out.good();
}

}  // namespace kv::test
