#include "platform/shell.h"

namespace kv::platform {
namespace {

// The system's values of SW_SHOWNORMAL, SW_HIDE and SW_SHOWMINNOACTIVE.
constexpr int kShowNormal = 1;
constexpr int kHide = 0;
constexpr int kShowMinNoActive = 7;

}  // namespace

ShowMode showModeFromCode(int code) {
    switch (code) {
        case 1:
            return ShowMode::hidden;
        case 2:
            return ShowMode::minimizedNoActivate;
        default:
            return ShowMode::normal;
    }
}

int showCommandOf(ShowMode mode) {
    switch (mode) {
        case ShowMode::hidden:
            return kHide;
        case ShowMode::minimizedNoActivate:
            return kShowMinNoActive;
        case ShowMode::normal:
            break;
    }
    return kShowNormal;
}

}  // namespace kv::platform
