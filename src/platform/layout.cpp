#include "platform/layout.h"

namespace kv::platform {

std::size_t indexOf(std::span<const ControlSpec> controls, Role role) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].role == role) {
            return i;
        }
    }
    return controls.size();
}

int comboIndexFor(int index, int itemCount) {
    if (index < 0 || itemCount == 0) {
        return -1;
    }
    return index < itemCount ? index : itemCount - 1;
}

std::span<const ControlSpec> radioGroupOf(std::span<const ControlSpec> controls, Role radio) {
    const std::size_t at = indexOf(controls, radio);
    if (at == controls.size() || controls[at].kind != ControlKind::radioButton) {
        return {};
    }
    auto isRadio = [&](std::size_t i) { return controls[i].kind == ControlKind::radioButton; };
    auto startsGroup = [&](std::size_t i) { return (controls[i].styles & style::groupStart) != 0; };
    std::size_t first = at;
    while (first > 0 && !startsGroup(first) && isRadio(first - 1)) {
        --first;
    }
    std::size_t end = at + 1;
    while (end < controls.size() && isRadio(end) && !startsGroup(end)) {
        ++end;
    }
    return controls.subspan(first, end - first);
}

}  // namespace kv::platform
