// The edit boxes of a window: input kinds, limits in characters and in GBK
// bytes, the key-down event and the text-changed event.
#include "platform/win32/win32_window.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <utility>

#include "platform/edit_input.h"
#include "platform/win32/text_encoding.h"

namespace kv::platform::win32 {
namespace {

bool isMultiLine(const ControlSpec& spec) {
    return spec.kind == ControlKind::multiLineEdit;
}

bool fits(const ControlSpec& spec, std::wstring_view text) {
    return (spec.maxChars <= 0 || text.size() <= static_cast<std::size_t>(spec.maxChars)) &&
           (spec.maxBytes <= 0 || gbkLength(text) <= static_cast<std::size_t>(spec.maxBytes));
}

// The longest start of `insert` that still fits between before and after,
// cut between characters (never inside a surrogate pair or a line break).
std::wstring longestFitting(const ControlSpec& spec, std::wstring_view before,
                            std::wstring_view insert, std::wstring_view after) {
    std::wstring text;
    text.reserve(before.size() + insert.size() + after.size());
    std::size_t low = 0;
    std::size_t high = insert.size();
    // The bytes grow with the prefix, so the longest fitting one is found by halving.
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        text.assign(before).append(insert.substr(0, middle)).append(after);
        if (fits(spec, text)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    std::size_t length = low;
    if (length > 0 && length < insert.size() &&
        ((IS_HIGH_SURROGATE(insert[length - 1])) ||
         (insert[length - 1] == L'\r' && insert[length] == L'\n'))) {
        --length;
    }
    return std::wstring(insert.substr(0, length));
}

std::wstring withoutCharsLackingGbk(std::wstring_view text) {
    std::wstring kept;
    kept.reserve(text.size());
    for (const wchar_t c : text) {
        if (c < 0x80 || hasGbkForm(c)) {
            kept.push_back(c);
        }
    }
    return kept;
}

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring textOf(HWND box) {
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(box, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

void Win32Window::setUpControl(Control& control) {
    const ControlSpec& spec = *control.spec;
    if (spec.kind == ControlKind::dropDownList) {
        for (const char* item : spec.items) {
            SendMessageW(control.hwnd, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(toWide(item).c_str()));
        }
        if (!spec.items.empty()) {
            SendMessageW(control.hwnd, CB_SETCURSEL, 0, 0);
        }
        return;
    }
    if (spec.kind != ControlKind::edit && spec.kind != ControlKind::multiLineEdit) {
        return;
    }
    if (spec.maxChars > 0) {
        SendMessageW(control.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(spec.maxChars), 0);
    }
    if (spec.input != EditInput::anyText) {
        ImmAssociateContextEx(control.hwnd, nullptr, 0);  // digits need no input method
    }
    SetWindowSubclass(control.hwnd, editProc, static_cast<UINT_PTR>(spec.role.value),
                      reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Win32Window::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR role, DWORD_PTR self) {
    auto* window = reinterpret_cast<Win32Window*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, editProc, role);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    const Control& box = window->control(Role::fromValue(static_cast<int>(role)));
    return window->handleEditMessage(box, message, wParam, lParam);
}

LRESULT Win32Window::handleEditMessage(const Control& box, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            dropNextChar_ = handlers_.onKeyDown(*this, box.spec->role, static_cast<int>(wParam));
            if (dropNextChar_) {
                return 0;
            }
            break;
        case WM_CHAR:
            if (std::exchange(dropNextChar_, false) ||
                !onEditChar(box, static_cast<wchar_t>(wParam))) {
                return 0;
            }
            break;
        case WM_PASTE:
            pasteInto(box);
            return 0;
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(box.hwnd, message, wParam, lParam);
            if (box.spec->input == EditInput::integerValue) {
                const std::string text = toGbk(textOf(box.hwnd));
                const std::string value = integerValueText(text);
                if (value != text) {
                    writeEditText(box, toWide(value));
                }
            }
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(box.hwnd, message, wParam, lParam);
}

// Whether a typed character goes on to the box.
bool Win32Window::onEditChar(const Control& box, wchar_t character) {
    const ControlSpec& spec = *box.spec;
    if (!acceptsTypedChar(spec.input, character)) {
        return false;
    }
    const bool newLine = character == L'\r' && isMultiLine(spec);
    if (character < 0x20 && !newLine) {
        return true;  // Backspace and the clipboard shortcuts
    }
    if (!newLine && !hasGbkForm(character)) {
        return false;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::wstring text = textOf(box.hwnd);
    std::wstring after = text.substr(0, start);
    after += newLine ? L"\r\n" : std::wstring(1, character);
    after += text.substr(std::min<std::size_t>(end, text.size()));
    if (!fits(spec, after)) {
        MessageBeep(MB_OK);  // as a full box does
        return false;
    }
    return true;
}

void Win32Window::pasteInto(const Control& box) {
    std::wstring text = withoutCharsLackingGbk(clipboardText(hwnd_));
    if (!isMultiLine(*box.spec)) {
        text = text.substr(0, text.find_first_of(L"\r\n"));
    }
    if (!text.empty() && !replaceSelection(box, std::move(text))) {
        MessageBeep(MB_OK);
    }
}

bool Win32Window::replaceSelection(const Control& box, std::wstring text) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::wstring current = textOf(box.hwnd);
    const std::wstring_view whole(current);
    const std::wstring kept =
        longestFitting(*box.spec, whole.substr(0, start), text,
                       whole.substr(std::min<std::size_t>(end, whole.size())));
    if (kept.empty()) {
        return false;
    }
    SendMessageW(box.hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
    return true;
}

void Win32Window::writeEditText(const Control& box, std::wstring text) {
    text = longestFitting(*box.spec, {}, text, {});
    ++writingText_;
    SetWindowTextW(box.hwnd, text.c_str());
    --writingText_;
    handlers_.onTextChanged(*this, box.spec->role);
}

}  // namespace kv::platform::win32
