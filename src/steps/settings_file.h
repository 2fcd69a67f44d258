// The settings file 配置.ini beside the executable. Nothing is cached: every
// read opens and reads the file, so a value written anywhere is seen by the
// next read.
//
//   if (readFlag(files, dir, settings::kScheduleSection, settings::kEnabledKey)) {
//       const std::int32_t hour = readNumber(files, dir, settings::kScheduleSection,
//                                            settings::kHourKey);
//   }
//   writeSetting(files, dir, settings::kHotkeySection, settings::kHotkeyValueKey, "120");
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace kv::steps {

namespace settings {
inline constexpr std::string_view kHotkeySection = "热键";
inline constexpr std::string_view kHotkeyValueKey = "值";
inline constexpr std::string_view kScheduleSection = "定时点击";
inline constexpr std::string_view kEnabledKey = "是否";  // the flag of every section below
inline constexpr std::string_view kHourKey = "时";
inline constexpr std::string_view kMinuteKey = "分";
inline constexpr std::string_view kSecondKey = "秒";
inline constexpr std::string_view kRunProgramSection = "运行其他程序";
inline constexpr std::string_view kProgramPathKey = "地址";
inline constexpr std::string_view kAutoStartSection = "开机启动";
inline constexpr std::string_view kYes = "是";
inline constexpr std::string_view kNo = "否";
inline constexpr std::string_view kDefaultHotkey = "120";  // F9
// A value comes back with at most this many bytes.
inline constexpr std::size_t kMaxValueBytes = 10239;
}  // namespace settings

// programDirectory + "\配置.ini"
std::string settingsPath(const std::string& programDirectory);

// The value, or the empty text when the file, the section or the key is missing.
std::string readSetting(const platform::Files& files, const std::string& programDirectory,
                        std::string_view section, std::string_view key);

// Creates the file, the section and the key as needed. Returns whether the
// file now holds the value.
bool writeSetting(platform::Files& files, const std::string& programDirectory,
                  std::string_view section, std::string_view key, std::string_view value);

// One key to write, for writeSettings.
struct SettingWrite {
    std::string_view section;
    std::string_view key;
    std::string value;
};

// Writes every key in one replacement of the file: the bytes are those that
// writing them one by one in this order would give, and a failure leaves
// the file as it was. Returns whether the file now holds them all.
bool writeSettings(platform::Files& files, const std::string& programDirectory,
                   std::span<const SettingWrite> writes);

// The whole file in one read, for a reader that needs several keys at once;
// nullopt when it cannot be read (missing, locked).
std::optional<std::string> readSettingsText(const platform::Files& files,
                                            const std::string& programDirectory);
// One key of a file read whole, as readSetting would give it.
std::string settingIn(std::string_view text, std::string_view section, std::string_view key);

// Only exactly "是" is yes.
bool readFlag(const platform::Files& files, const std::string& programDirectory,
              std::string_view section, std::string_view key);

// The value read with textToInt: missing or non-numeric values give 0.
std::int32_t readNumber(const platform::Files& files, const std::string& programDirectory,
                        std::string_view section, std::string_view key);

// When there is no settings file: the step editor's creates one holding the
// capture hotkey only, the schedule window's one with the hotkey and the
// three flags set to no. Both return whether they created the file.
bool createEditorSettings(platform::Files& files, const std::string& programDirectory);
bool createScheduleSettings(platform::Files& files, const std::string& programDirectory);

}  // namespace kv::steps
