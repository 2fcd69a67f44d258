#include "support/screenshot.h"

#include <vector>

#include "platform/win32/unique_handle.h"

namespace kv::test {
namespace {

std::wstring screenshotDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\screenshots";
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

}  // namespace

std::wstring saveScreenshot(HWND window, const std::wstring& name) {
    RECT r{};
    if (!GetWindowRect(window, &r)) {
        return {};
    }
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::wstring path = screenshotDirectory() + L"\\" + name + L".bmp";
    platform::win32::UniqueFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        return {};
    }
    DWORD written = 0;
    WriteFile(out.get(), &file, sizeof file, &written, nullptr);
    WriteFile(out.get(), &info, sizeof info, &written, nullptr);
    WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    return path;
}

}  // namespace kv::test
