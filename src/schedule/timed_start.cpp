#include "schedule/timed_start.h"

#include <utility>

#include "mainwin/main_role.h"
#include "steps/ini_file.h"
#include "steps/settings_file.h"
#include "steps/text_to_int.h"

namespace kv::schedule {
namespace {

namespace settings = steps::settings;
using mainwin::MainRole;

constexpr std::int64_t kSecondsPerDay = 86400;

// A plain decimal number from 0 to limit - 1.
std::optional<int> wholeNumberBelow(std::string_view text, int limit) {
    if (text.empty() || text.size() > 2) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value < limit ? std::optional<int>(value) : std::nullopt;
}

// Whether target (today's or yesterday's) fell due by now: exactly now, or
// since the previous tick and not too long ago.
bool isDue(std::int64_t target, std::int64_t now, std::optional<std::int64_t> previous) {
    for (const std::int64_t candidate : {target, target - kSecondsPerDay}) {
        if (candidate == now) {
            return true;
        }
        if (previous && *previous < candidate && candidate <= now &&
            now - candidate <= kLateStartLimit) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string countdownText(std::int64_t secondsLeft) {
    return "定时点击任务已启动剩余" + intToText(secondsLeft / 3600 % 24) + "小时" +
           intToText(secondsLeft / 60 % 60) + "分" + intToText(secondsLeft % 60) + "秒";
}

std::optional<int> targetSecondOfDay(std::string_view hour, std::string_view minute,
                                     std::string_view second) {
    const auto h = wholeNumberBelow(hour, 24);
    const auto m = wholeNumberBelow(minute, 60);
    const auto s = wholeNumberBelow(second, 60);
    if (!h || !m || !s) {
        return std::nullopt;
    }
    return *h * 3600 + *m * 60 + *s;
}

void TimedStart::showOnLabel(platform::Window& main, const std::string& text) {
    if (main.text(MainRole::countdownLabel) != text) {
        main.setText(MainRole::countdownLabel, text);
    }
}

void TimedStart::tick(platform::Window& main, const std::function<void()>& toggleRun) {
    const platform::LocalTime now = desktop_.localTime();
    const std::int64_t nowSeconds = platform::secondsOf(now);
    const std::optional<std::int64_t> previous = std::exchange(previousTick_, nowSeconds);

    const std::string directory = desktop_.programDirectory();
    const std::optional<std::string> text = steps::readSettingsText(desktop_.files(), directory);
    if (!text || firedThisArming_) {
        return;  // the label keeps what it shows
    }
    // The four keys from the one section, found in one walk of the file.
    const std::string_view section = steps::ini::sectionText(*text, settings::kScheduleSection);
    auto value = [&](std::string_view key) {
        return steps::settingIn(section, settings::kScheduleSection, key);
    };
    if (value(settings::kEnabledKey) != settings::kYes) {
        return;
    }
    const std::optional<int> target = targetSecondOfDay(
        value(settings::kHourKey), value(settings::kMinuteKey), value(settings::kSecondKey));
    if (!target) {
        showOnLabel(main, "");
        return;
    }
    const std::int64_t targetToday = nowSeconds - platform::secondOfDay(now) + *target;
    if (isDue(targetToday, nowSeconds, previous)) {
        // Disarmed before the run starts; when that cannot be written, this
        // arming still starts only this once.
        if (!steps::writeSetting(desktop_.files(), directory, settings::kScheduleSection,
                                 settings::kEnabledKey, settings::kNo)) {
            firedThisArming_ = true;
        }
        toggleRun();
        showOnLabel(main, "");
        return;
    }
    const std::int64_t left = targetToday - nowSeconds;
    showOnLabel(main, left < 0 ? std::string() : countdownText(left));
}

}  // namespace kv::schedule
