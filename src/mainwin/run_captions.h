// Values of the main window that several subsystems read: the captions that
// carry the run state and the periods of its always-running timers.
#pragma once

namespace kv::mainwin {

// Captions that also carry the run state; handlers compare them byte for byte.
inline constexpr const char* kCaptionRunning = "停止(F5)";
inline constexpr const char* kCaptionIdle = "开始执行（F5）";

// quickAddButton's captions: quick add is off, quick add is on.
inline constexpr const char* kCaptionQuickAddOff = "快速添加（F6）";
inline constexpr const char* kCaptionQuickAddOn = "停止（F6）";

inline constexpr int kUiRefreshPeriodMs = 100;
inline constexpr int kSchedulePeriodMs = 500;

}  // namespace kv::mainwin
