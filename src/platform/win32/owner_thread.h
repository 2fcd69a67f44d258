// Runs a piece of work on the thread that owns a window. Controls are only
// ever touched by that thread: a call from another thread (the playback
// worker reading rows and captions) is sent to the window as a message and
// served there while the owner keeps dispatching.
#pragma once

#include <windows.h>

#include <functional>
#include <type_traits>

#include "platform/win32/private_messages.h"

namespace kv::platform::win32 {

class OwnerThread {
public:
    OwnerThread() : threadId_(GetCurrentThreadId()) {}

    void bind(HWND window) { window_ = window; }

    template <class Work>
    auto run(Work&& work) const -> std::invoke_result_t<Work> {
        using Result = std::invoke_result_t<Work>;
        if (GetCurrentThreadId() == threadId_) {
            return work();
        }
        if constexpr (std::is_void_v<Result>) {
            std::function<void()> task = [&] { work(); };
            SendMessageW(window_, kRunOnOwnerMessage, 0, reinterpret_cast<LPARAM>(&task));
        } else {
            Result result{};
            std::function<void()> task = [&] { result = work(); };
            SendMessageW(window_, kRunOnOwnerMessage, 0, reinterpret_cast<LPARAM>(&task));
            return result;
        }
    }

    static void serve(LPARAM task) { (*reinterpret_cast<std::function<void()>*>(task))(); }

private:
    DWORD threadId_;
    HWND window_ = nullptr;
};

}  // namespace kv::platform::win32
