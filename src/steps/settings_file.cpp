#include "steps/settings_file.h"

#include "steps/gbk_text.h"
#include "steps/ini_file.h"
#include "steps/text_to_int.h"

namespace kv::steps {
namespace {

using platform::FileStatus;
using platform::PathKind;

constexpr char kSettingsName[] = "配置.ini";
constexpr char kTempSuffix[] = ".tmp";
// A settings file is a few hundred bytes; this only keeps a stray huge file
// from being loaded every 500 ms.
constexpr std::size_t kMaxSettingsBytes = std::size_t{16} << 20;

// Creates an empty file and then writes the defaults in order.
bool createWithDefaults(platform::Files& files, const std::string& programDirectory,
                        bool withFlags) {
    const std::string path = settingsPath(programDirectory);
    if (files.kindOf(path) != PathKind::missing) {
        return false;
    }
    files.writeFile(path, {});
    writeSetting(files, programDirectory, settings::kHotkeySection, settings::kHotkeyValueKey,
                 settings::kDefaultHotkey);
    if (withFlags) {
        for (const std::string_view section :
             {settings::kScheduleSection, settings::kRunProgramSection,
              settings::kAutoStartSection}) {
            writeSetting(files, programDirectory, section, settings::kEnabledKey, settings::kNo);
        }
    }
    return true;
}

}  // namespace

std::string settingsPath(const std::string& programDirectory) {
    return programDirectory + "\\" + kSettingsName;
}

std::optional<std::string> readSettingsText(const platform::Files& files,
                                            const std::string& programDirectory) {
    std::string text;
    if (files.readFile(settingsPath(programDirectory), text, kMaxSettingsBytes) != FileStatus::ok) {
        return std::nullopt;
    }
    return text;
}

std::string settingIn(std::string_view text, std::string_view section, std::string_view key) {
    std::string value = ini::findValue(text, section, key).value_or(std::string());
    value.resize(gbkPrefixLength(value, settings::kMaxValueBytes));
    return value;
}

std::string readSetting(const platform::Files& files, const std::string& programDirectory,
                        std::string_view section, std::string_view key) {
    const std::optional<std::string> text = readSettingsText(files, programDirectory);
    return text ? settingIn(*text, section, key) : std::string();
}

bool writeSetting(platform::Files& files, const std::string& programDirectory,
                  std::string_view section, std::string_view key, std::string_view value) {
    const SettingWrite write{section, key, std::string(value)};
    return writeSettings(files, programDirectory, std::span(&write, 1));
}

bool writeSettings(platform::Files& files, const std::string& programDirectory,
                   std::span<const SettingWrite> writes) {
    const std::string path = settingsPath(programDirectory);
    std::string text;
    const FileStatus status = files.readFile(path, text, kMaxSettingsBytes);
    if (status != FileStatus::ok && status != FileStatus::missing) {
        return false;  // never replace a file that could not be read
    }
    for (const SettingWrite& write : writes) {
        text = ini::withValue(text, write.section, write.key, write.value);
    }
    // A new file beside the old one, swapped in whole: a crash leaves the old
    // settings or the new ones.
    const std::string temp = path + kTempSuffix;
    if (files.writeFile(temp, text) == FileStatus::ok &&
        files.replaceFile(temp, path) == FileStatus::ok) {
        return true;
    }
    files.removeFile(temp);
    return false;
}

bool readFlag(const platform::Files& files, const std::string& programDirectory,
              std::string_view section, std::string_view key) {
    return readSetting(files, programDirectory, section, key) == settings::kYes;
}

std::int32_t readNumber(const platform::Files& files, const std::string& programDirectory,
                        std::string_view section, std::string_view key) {
    return textToInt(readSetting(files, programDirectory, section, key));
}

bool createEditorSettings(platform::Files& files, const std::string& programDirectory) {
    return createWithDefaults(files, programDirectory, false);
}

bool createScheduleSettings(platform::Files& files, const std::string& programDirectory) {
    return createWithDefaults(files, programDirectory, true);
}

}  // namespace kv::steps
