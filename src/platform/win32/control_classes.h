// How each kind of control of a layout table is made on Win32.
#pragma once

#include <windows.h>

#include "platform/layout.h"

namespace kv::platform::win32 {

struct NativeControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

NativeControlClass nativeClassOf(const ControlSpec& control);

// Identifiers inside one window; kept clear of IDOK and IDCANCEL.
inline constexpr int kFirstControlId = 100;
inline constexpr UINT_PTR kFirstTimerId = 1000;
inline constexpr UINT kFirstMenuItemId = 2000;

}  // namespace kv::platform::win32
