#include "schedule/pending_launch.h"

#include "steps/gbk_text.h"
#include "steps/settings_file.h"

namespace kv::schedule {
namespace {

namespace settings = steps::settings;
using platform::ShellResult;

constexpr const char* kTitle = "提示";

std::string reasonOf(ShellResult result) {
    switch (result) {
        case ShellResult::notFound:
            return "找不到该文件";
        case ShellResult::noAssociation:
            return "没有与该文件关联的程序";
        case ShellResult::accessDenied:
            return "拒绝访问";
        case ShellResult::ok:
        case ShellResult::failed:
            break;
    }
    return "系统无法打开该文件";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string cleanedPath(std::string_view path) {
    while (!path.empty() && isBlank(path.front())) {
        path.remove_prefix(1);
    }
    while (!path.empty() && isBlank(path.back())) {
        path.remove_suffix(1);
    }
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    return std::string(path);
}

std::string folderOf(std::string_view path) {
    const std::size_t backslash = steps::findLastAsciiChar(path, '\\');
    const std::size_t slash = steps::findLastAsciiChar(path, '/');
    std::size_t at = backslash;
    if (at == std::string_view::npos || (slash != std::string_view::npos && slash > at)) {
        at = slash;
    }
    if (at == std::string_view::npos) {
        return {};
    }
    // The root keeps its separator: "C:\" is a folder, "C:" is not.
    if (at == 2 && path[1] == ':') {
        return std::string(path.substr(0, 3));
    }
    return std::string(path.substr(0, at));
}

void launchPendingProgram(platform::Desktop& desktop) {
    const std::string directory = desktop.programDirectory();
    const std::optional<std::string> text = steps::readSettingsText(desktop.files(), directory);
    if (!text || steps::settingIn(*text, settings::kRunProgramSection, settings::kEnabledKey) !=
                     settings::kYes) {
        return;
    }
    const std::string path = cleanedPath(
        steps::settingIn(*text, settings::kRunProgramSection, settings::kProgramPathKey));
    if (!steps::writeSetting(desktop.files(), directory, settings::kRunProgramSection,
                             settings::kEnabledKey, settings::kNo)) {
        desktop.startThread([&desktop, settingsPath = steps::settingsPath(directory), path] {
            desktop.showMessage(
                "没有运行" + path + ":无法在" + settingsPath + "中记下它已运行,为免反复运行而跳过",
                kTitle);
        });
        return;
    }
    if (path.empty()) {
        return;  // nothing was named
    }
    desktop.startThread([&desktop, path] {
        const ShellResult result =
            desktop.shell().open(path, "", platform::ShowMode::normal, folderOf(path));
        if (result != ShellResult::ok) {
            desktop.showMessage("无法运行" + path + ":" + reasonOf(result), kTitle);
        }
    });
}

}  // namespace kv::schedule
