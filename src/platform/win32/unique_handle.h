// One move-only owner for every kind of Win32 handle. A traits type names
// the empty value and how the handle is released:
//
//   struct FontTraits { using Handle = HFONT; static Handle empty() {...}
//                       static void close(Handle h) { DeleteObject(h); } };
//   using UniqueFont = UniqueHandle<FontTraits>;
#pragma once

#include <windows.h>

#include <utility>

namespace kv::platform::win32 {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::empty(); }
    Handle release() { return std::exchange(handle_, Traits::empty()); }
    void reset(Handle handle = Traits::empty()) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::empty()) {
            Traits::close(old);
        }
    }

private:
    Handle handle_ = Traits::empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};
// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};
struct WindowHandleTraits {
    using Handle = HWND;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DestroyWindow(h); }
};
struct MenuHandleTraits {
    using Handle = HMENU;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DestroyMenu(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};
// A device context made with CreateDC or CreateCompatibleDC.
struct DeviceContextTraits {
    using Handle = HDC;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { DeleteDC(h); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};
struct HookHandleTraits {
    using Handle = HHOOK;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { UnhookWindowsHookEx(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueWindow = UniqueHandle<WindowHandleTraits>;
using UniqueMenu = UniqueHandle<MenuHandleTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueDeviceContext = UniqueHandle<DeviceContextTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueHook = UniqueHandle<HookHandleTraits>;

}  // namespace kv::platform::win32
