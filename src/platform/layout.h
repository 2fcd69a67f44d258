// Windows are declared as data: one WindowSpec per window, holding a layout
// table of its controls, its timers and its popup menus. Both backends
// realise a spec in one loop; no layout number is written twice.
#pragma once

#include <span>

#include "platform/geometry.h"
#include "platform/role.h"

namespace kv::platform {

enum class ControlKind {
    reportList,  // list view in report view with a header
    pushButton,
    radioButton,
    checkBox,
    dropDownList,
    edit,
    multiLineEdit,
    label,
    transparentLabel,
    picture,
};

// Control style flags.
namespace style {
inline constexpr unsigned none = 0;
inline constexpr unsigned groupStart = 1u << 0;       // first control of a radio group
inline constexpr unsigned handCursor = 1u << 1;       // labels that act as links
inline constexpr unsigned gridLines = 1u << 2;        // lists
inline constexpr unsigned fullRowSelect = 1u << 3;    // lists
inline constexpr unsigned singleSelection = 1u << 4;  // lists
inline constexpr unsigned editFirstColumn = 1u << 5;  // lists: in-place edit of column 0
inline constexpr unsigned disabled = 1u << 6;
inline constexpr unsigned hidden = 1u << 7;
inline constexpr unsigned checked = 1u << 8;
inline constexpr unsigned noScrollBar = 1u << 9;  // multi-line edit boxes
inline constexpr unsigned readOnly = 1u << 16;    // edit boxes the user cannot change
inline constexpr unsigned borderless = 1u << 17;  // edit boxes without their sunken edge
}  // namespace style

struct ColumnSpec {
    const char* title;
    int width;
};

// What an edit box lets the user type.
enum class EditInput {
    anyText,
    // Typed characters other than the digits and "-" are discarded; control
    // characters (Backspace, clipboard shortcuts) pass. Never rewritten.
    integerText,
    // As integerText; in addition, whenever the box loses the keyboard focus
    // its text becomes the decimal form of its value (see edit_input.h), and
    // never when the program writes the text. The box takes no input method.
    integerValue,
};

struct ControlSpec {
    ControlKind kind;
    Role role;
    Rect rect;  // client coordinates
    const char* text;
    unsigned styles = style::none;
    std::span<const ColumnSpec> columns = {};  // lists only
    std::span<const char* const> items = {};   // drop-down lists; the first is selected
    EditInput input = EditInput::anyText;      // edit boxes
    // Edit boxes: at most this many characters, and this many bytes of GBK
    // text (0: no limit). Typing past a limit is refused as by a full box; a
    // paste or a program write is cut on a character boundary. A character
    // without a GBK form is dropped when it is entered.
    int maxChars = 0;
    int maxBytes = 0;
};

struct TimerSpec {
    Role role;
    int periodMs;  // 0: stopped at creation
    // A precise timer ticks on deadlines of the steady clock to about a
    // millisecond, periods under 10 ms included; a window timer ticks 10 ms
    // or more apart, late by up to a system tick.
    bool precise = false;
};

struct MenuItemSpec {
    Role role;
    const char* text;
};

struct MenuSpec {
    Role role;
    const char* title;
    std::span<const MenuItemSpec> items;
};

enum class Frame { fixed, none };

struct WindowSpec {
    const char* caption;
    int outerWidth;
    int outerHeight;
    Frame frame = Frame::fixed;
    bool minimizeBox = false;
    std::span<const ControlSpec> controls = {};
    std::span<const TimerSpec> timers = {};
    std::span<const MenuSpec> menus = {};
    const char* trayTip = nullptr;  // a notification-area icon, not shown at creation
    // A picture floating over everything: owned by the program's first
    // window, topmost, never activated, no taskbar button.
    bool overlay = false;
    // A picture of the program's resources tiled from the top-left corner
    // behind the controls (0: the plain window colour). Transparent labels
    // show it through.
    int backgroundPicture = 0;
    // A left press on the background, or on a label that is no link, moves
    // the window as dragging a title bar would.
    bool dragByBackground = false;
};

}  // namespace kv::platform

namespace kv::platform {

// Position of the control with this role in the table, or controls.size().
std::size_t indexOf(std::span<const ControlSpec> controls, Role role);

// The selection a drop-down list of itemCount items takes when asked for
// index: beyond the last item the last one, below -1 none (-1).
int comboIndexFor(int index, int itemCount);

// The radio boxes that share a group with this one: consecutive radio boxes
// from one marked groupStart to the next. Empty when role is no radio box.
std::span<const ControlSpec> radioGroupOf(std::span<const ControlSpec> controls, Role radio);

}  // namespace kv::platform
