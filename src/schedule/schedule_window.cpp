#include "schedule/schedule_window.h"

#include <vector>

#include "mainwin/main_role.h"
#include "schedule/autostart_entry.h"
#include "schedule/schedule_layout.h"
#include "steps/settings_file.h"
#include "steps/text_to_int.h"

namespace kv::schedule {
namespace {

namespace settings = steps::settings;
using platform::RegistryStatus;
using platform::Window;
using Role = ScheduleRole;

constexpr const char* kAddFailed = "Klikvane开机启动添加失败";
constexpr const char* kRemoveFailed = "Klikvane开机启动删除失败";
constexpr const char* kAlreadyRegistered = "Klikvane开机已启动";
constexpr const char* kTitle = "提示";
constexpr const char* kRegisteredTitle = "Klikvane提示";

void setTime(Window& window, int hour, int minute, int second) {
    window.setComboSelection(Role::hourCombo, hour);
    window.setComboSelection(Role::minuteCombo, minute);
    window.setComboSelection(Role::secondCombo, second);
}

}  // namespace

ScheduleWindow::ScheduleWindow(platform::Desktop& desktop, mainwin::SharedValues& shared,
                               TimedStart& timedStart)
    : desktop_(desktop), shared_(shared), timedStart_(timedStart) {}

void ScheduleWindow::open(Window& main) {
    main_ = &main;
    desktop_.openWindow(kScheduleWindowSpec, *this, platform::Modality::modal);
}

void ScheduleWindow::onCreated(Window& window) {
    setTime(window, 0, 0, 0);
    if (!steps::createScheduleSettings(desktop_.files(), desktop_.programDirectory())) {
        fillFromSettings(window);
    }
    // Shown from the registry also for a new file: an OK must never remove a
    // registration the window did not show.
    const AutoStartEntry entry(desktop_.registry(), desktop_.programDirectory());
    window.setChecked(Role::autoStartCheck, entry.isPresent());
}

void ScheduleWindow::fillFromSettings(Window& window) {
    const std::string text =
        steps::readSettingsText(desktop_.files(), desktop_.programDirectory()).value_or("");
    auto value = [&](std::string_view section, std::string_view key) {
        return steps::settingIn(text, section, key);
    };
    const bool timed = value(settings::kScheduleSection, settings::kEnabledKey) == settings::kYes;
    window.setChecked(Role::timedClickCheck, timed);
    if (timed) {
        setTime(window, textToInt(value(settings::kScheduleSection, settings::kHourKey)),
                textToInt(value(settings::kScheduleSection, settings::kMinuteKey)),
                textToInt(value(settings::kScheduleSection, settings::kSecondKey)));
    }
    const bool run = value(settings::kRunProgramSection, settings::kEnabledKey) == settings::kYes;
    window.setChecked(Role::runProgramCheck, run);
    if (run) {
        window.setText(Role::programPathEdit,
                       value(settings::kRunProgramSection, settings::kProgramPathKey));
    }
}

void ScheduleWindow::onClicked(Window& window, platform::Role control) {
    if (control.is(Role::runProgramCheck)) {
        runProgramClicked(window);
    } else if (control.is(Role::browseButton)) {
        browse(window);
    } else if (control.is(Role::scheduleOkButton)) {
        apply(window);
    } else if (control.is(Role::scheduleCancelButton)) {
        window.close();
    }
}

void ScheduleWindow::onMousePress(Window& window, platform::Role control,
                                  platform::MouseButton button, platform::Point /*clientPoint*/) {
    if (control.is(Role::nowLabel) && button == platform::MouseButton::left) {
        takeCurrentTime(window);
    }
}

void ScheduleWindow::takeCurrentTime(Window& window) {
    const platform::LocalTime now = desktop_.localTime();
    setTime(window, now.hour, now.minute, now.second);
}

void ScheduleWindow::runProgramClicked(Window& window) {
    const bool checked = window.isChecked(Role::runProgramCheck);
    window.setEnabled(Role::browseButton, checked);
    window.setEnabled(Role::programPathEdit, checked);
    if (checked) {
        window.setText(Role::programPathEdit,
                       steps::readSetting(desktop_.files(), desktop_.programDirectory(),
                                          settings::kRunProgramSection, settings::kProgramPathKey));
    }
}

// A cancelled dialog keeps what the box holds.
void ScheduleWindow::browse(Window& window) {
    const platform::FileChoice choice = desktop_.chooseFileToOpen(window.handle());
    using Status = platform::FileChoice::Status;
    if (choice.status == Status::chosen) {
        window.setText(Role::programPathEdit, choice.path);
    } else if (choice.status == Status::notRepresentable) {
        desktop_.showMessage(
            "该文件的路径含有本程序无法保存的字符,"
            "请把文件放到名称只含常用汉字、字母和数字的文件夹后再选择",
            kTitle);
    }
}

void ScheduleWindow::apply(Window& window) {
    const std::string directory = desktop_.programDirectory();
    const bool autoStart = window.isChecked(Role::autoStartCheck);
    const bool runProgram = window.isChecked(Role::runProgramCheck);
    const bool timed = window.isChecked(Role::timedClickCheck);

    // 1. The registry, first: a refusal leaves everything as it was.
    AutoStartEntry entry(desktop_.registry(), directory);
    const std::optional<std::string> entryBefore = entry.currentData();
    const bool alreadyRegistered = autoStart && entry.isPresent();
    bool entryChanged = false;
    if (autoStart && !alreadyRegistered) {
        if (entry.write() != RegistryStatus::ok) {
            entry.restore(entryBefore);
            desktop_.showMessage(kAddFailed, kTitle);
            return;
        }
        entryChanged = true;
    } else if (!autoStart && entry.isPresent()) {
        // Only the registration the window showed; a value naming another
        // copy of the program was never shown as checked and stays.
        if (entry.remove() != RegistryStatus::ok) {
            desktop_.showMessage(kRemoveFailed, kTitle);
            return;
        }
        entryChanged = true;
    }

    // 2. Every key of the form, in one replacement of the file.
    std::vector<steps::SettingWrite> writes;
    const std::string_view runFlag = runProgram ? settings::kYes : settings::kNo;
    writes.push_back({settings::kRunProgramSection, settings::kEnabledKey, std::string(runFlag)});
    if (runProgram) {
        writes.push_back({settings::kRunProgramSection, settings::kProgramPathKey,
                          window.text(Role::programPathEdit)});
    }
    if (autoStart) {
        writes.push_back(
            {settings::kAutoStartSection, settings::kEnabledKey, std::string(settings::kYes)});
    }
    const std::string_view timedFlag = timed ? settings::kYes : settings::kNo;
    writes.push_back({settings::kScheduleSection, settings::kEnabledKey, std::string(timedFlag)});
    if (timed) {
        writes.push_back({settings::kScheduleSection, settings::kHourKey,
                          intToText(window.comboSelection(Role::hourCombo))});
        writes.push_back({settings::kScheduleSection, settings::kMinuteKey,
                          intToText(window.comboSelection(Role::minuteCombo))});
        writes.push_back({settings::kScheduleSection, settings::kSecondKey,
                          intToText(window.comboSelection(Role::secondCombo))});
    }
    if (!steps::writeSettings(desktop_.files(), directory, writes)) {
        if (entryChanged) {
            entry.restore(entryBefore);
        }
        desktop_.showMessage("设置未保存:无法写入" + steps::settingsPath(directory) +
                                 ",文件可能是只读的或正被其他程序使用",
                             kTitle);
        return;
    }

    // 3. The values kept in memory, then the notice.
    shared_.shutdownWhenDone = window.isChecked(Role::shutdownCheck) ? 1 : 0;
    timedStart_.rearm();
    if (!timed && main_ != nullptr) {
        main_->setText(mainwin::MainRole::countdownLabel, "");
    }
    if (alreadyRegistered) {
        desktop_.showMessage(kAlreadyRegistered, kRegisteredTitle);
    }
}

}  // namespace kv::schedule
