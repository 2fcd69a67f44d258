#include "platform/win32/control_classes.h"

#include <commctrl.h>

namespace kv::platform::win32 {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;

DWORD listStyles(unsigned styles) {
    DWORD style = kChild | WS_TABSTOP | LVS_REPORT;
    if (styles & style::singleSelection) {
        style |= LVS_SINGLESEL;
    }
    if (styles & style::editFirstColumn) {
        style |= LVS_EDITLABELS;
    }
    // No LVS_SHOWSELALWAYS: the selection is not drawn while the list lacks
    // the focus. No LVS_SORT*/LVS_NOSORTHEADER: headers click, nothing sorts.
    return style;
}

// Read-only and borderless edit boxes, whatever their kind.
NativeControlClass withEditStyles(NativeControlClass native, unsigned styles) {
    if (styles & style::readOnly) {
        native.style |= ES_READONLY;
    }
    if (styles & style::borderless) {
        native.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    }
    return native;
}

}  // namespace

NativeControlClass nativeClassOf(const ControlSpec& control) {
    const DWORD group = (control.styles & style::groupStart) ? WS_GROUP : 0;
    switch (control.kind) {
        case ControlKind::reportList:
            return {WC_LISTVIEWW, listStyles(control.styles), WS_EX_CLIENTEDGE};
        case ControlKind::pushButton:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::radioButton:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_AUTORADIOBUTTON | group, 0};
        case ControlKind::checkBox:
            return {WC_BUTTONW, kChild | WS_TABSTOP | BS_AUTOCHECKBOX | group, 0};
        case ControlKind::dropDownList:
            return {WC_COMBOBOXW, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::edit:
            return withEditStyles(
                {WC_EDITW, kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE}, control.styles);
        case ControlKind::multiLineEdit: {
            const DWORD scroll = (control.styles & style::noScrollBar) ? 0 : WS_VSCROLL;
            return withEditStyles(
                {WC_EDITW, kChild | WS_TABSTOP | scroll | ES_MULTILINE | ES_AUTOVSCROLL,
                 WS_EX_CLIENTEDGE},
                control.styles);
        }
        case ControlKind::label:
            // A label that acts as a link takes the mouse itself; a plain
            // one lets it through to its window.
            return {WC_STATICW,
                    kChild | SS_LEFT | ((control.styles & style::handCursor) ? SS_NOTIFY : 0), 0};
        case ControlKind::transparentLabel:
            return {WC_STATICW, kChild | SS_LEFT | SS_NOTIFY, WS_EX_TRANSPARENT};
        case ControlKind::picture:
            return {WC_STATICW, kChild | SS_BITMAP, 0};
    }
    return {WC_STATICW, kChild, 0};
}

}  // namespace kv::platform::win32
