#include "capture/coordinate_capture.h"

#include <optional>

#include "hotkeys/key_names.h"
#include "steps/settings_file.h"
#include "steps/text_to_int.h"

namespace kv::capture {
namespace {

namespace settings = steps::settings;

constexpr char kIdlePrefix[] = "快捷键";
constexpr char kCapturingPrefix[] = "正在取坐标...";
constexpr char kCapturingSuffix[] = "停止";
constexpr char kNoHotkey[] = "无快捷键";

constexpr char kTakenSuffix[] = "可能已被占用，请输入其它热键值";
constexpr char kChosenTaken[] = "预注册热键可能已被占用，请输入其它热键值";
constexpr char kFailedTitle[] = "热键注册失败";
constexpr char kRegisteredPrefix[] = "注册热键";
constexpr char kRegisteredSuffix[] = "成功";
constexpr char kRegisteredTitle[] = "热键注册";
constexpr char kNotSavedSuffix[] = "无法保存到配置.ini，只在本次打开时有效";
constexpr char kNotSavedTitle[] = "热键保存失败";

constexpr int kNoModifiers = 0;

std::string idleCaption(std::int32_t code) {
    return kIdlePrefix + hotkeys::keyName(code);
}

}  // namespace

CoordinateCapture::CoordinateCapture(platform::Desktop& desktop,
                                     hotkeys::NotifyHotkeys& notifyHotkeys,
                                     hotkeys::HotkeyInputWindow& hotkeyInput,
                                     CaptureControls controls)
    : desktop_(desktop),
      notifyHotkeys_(notifyHotkeys),
      hotkeyInput_(hotkeyInput),
      controls_(controls) {}

void CoordinateCapture::setUp(platform::Window& editor) {
    captureHotkeyId_ = 0;
    heldKeyCode_ = 0;
    unsaved_ = false;
    choosingKey_ = false;

    platform::Files& files = desktop_.files();
    const std::string directory = desktop_.programDirectory();
    const std::string path = steps::settingsPath(directory);
    if (files.kindOf(path) == platform::PathKind::missing) {
        steps::createEditorSettings(files, directory);
    }
    std::string probe;
    if (files.readFileStart(path, probe, 1) == platform::FileStatus::ok) {
        captureHotkeyText_ = steps::readSetting(files, directory, settings::kHotkeySection,
                                                settings::kHotkeyValueKey);
    } else {
        // No file could be made or read: the default key, for this opening only.
        captureHotkeyText_ = settings::kDefaultHotkey;
        unsaved_ = true;
        tellNotSaved(textToInt(captureHotkeyText_));
    }

    const std::int32_t storedCode = textToInt(captureHotkeyText_);
    setIdleCaption(editor, storedCode);
    captureHotkeyId_ = notifyHotkeys_.registerNotifyHotkey(editor, controls_.captureHotkeyLabel,
                                                           kNoModifiers, storedCode);
    if (captureHotkeyId_ != 0) {
        heldKeyCode_ = storedCode;
        return;
    }
    desktop_.showMessage(hotkeys::keyName(storedCode) + kTakenSuffix, kFailedTitle);
    const std::int32_t chosen = hotkeyInput_.choose();
    if (chosen == 0) {
        editor.setText(controls_.captureHotkeyLabel, kNoHotkey);
        return;
    }
    // Whatever happens here, the editor's creation goes on.
    if (takeChosenKey(editor, chosen)) {
        registrationSucceeded(editor, chosen);
    } else {
        registrationFailed(editor);
    }
}

bool CoordinateCapture::onHotkey(platform::Window& editor, int id) {
    const auto target = notifyHotkeys_.targetOf(editor.handle(), id);
    if (!target || *target != controls_.captureHotkeyLabel) {
        return false;
    }
    captureToggle(editor);
    return true;
}

std::string CoordinateCapture::currentKeyText() const {
    if (unsaved_) {
        return captureHotkeyText_;
    }
    return steps::readSetting(desktop_.files(), desktop_.programDirectory(),
                              settings::kHotkeySection, settings::kHotkeyValueKey);
}

void CoordinateCapture::captureToggle(platform::Window& editor) {
    if (choosingKey_) {
        return;
    }
    captureHotkeyText_ = currentKeyText();
    const std::string name = hotkeys::keyName(textToInt(captureHotkeyText_));
    if (editor.text(controls_.captureHotkeyLabel) == kIdlePrefix + name) {
        editor.setTimerPeriod(controls_.captureTimer, kCapturePeriodMs);
        editor.setText(controls_.captureHotkeyLabel, kCapturingPrefix + name + kCapturingSuffix);
        editor.setEnabled(controls_.changeHotkeyLabel, false);
    } else {
        editor.setTimerPeriod(controls_.captureTimer, 0);
        editor.setText(controls_.captureHotkeyLabel, kIdlePrefix + name);
        editor.setEnabled(controls_.changeHotkeyLabel, true);
    }
}

void CoordinateCapture::captureTick(platform::Window& editor) {
    // While the system cannot tell where the cursor is (a locked
    // workstation), the fields keep the last point.
    const std::optional<platform::Point> cursor = desktop_.tryCursorPosition();
    if (!cursor) {
        return;
    }
    editor.setText(controls_.xEdit, intToText(cursor->x));
    editor.setText(controls_.yEdit, intToText(cursor->y));
}

void CoordinateCapture::changeCaptureHotkey(platform::Window& editor) {
    // The label is disabled while capturing; a press then changes nothing.
    if (!editor.isEnabled(controls_.changeHotkeyLabel)) {
        return;
    }
    choosingKey_ = true;
    const std::int32_t chosen = hotkeyInput_.choose();
    choosingKey_ = false;
    if (chosen == 0) {
        setIdleCaption(editor, textToInt(captureHotkeyText_));
        return;
    }
    if (takeChosenKey(editor, chosen)) {
        registrationSucceeded(editor, chosen);
    } else {
        registrationFailed(editor);
    }
}

bool CoordinateCapture::takeChosenKey(platform::Window& editor, std::int32_t code) {
    if (captureHotkeyId_ != 0 && code == heldKeyCode_) {
        return true;  // the key held already: nothing to register
    }
    const int id = notifyHotkeys_.registerNotifyHotkey(editor, controls_.captureHotkeyLabel,
                                                       kNoModifiers, code);
    if (id == 0) {
        return false;  // the key held so far stays
    }
    notifyHotkeys_.unregisterNotifyHotkey(editor, captureHotkeyId_);
    captureHotkeyId_ = id;
    heldKeyCode_ = code;
    return true;
}

void CoordinateCapture::registrationFailed(platform::Window& editor) {
    desktop_.showMessage(kChosenTaken, kFailedTitle);
    editor.setText(controls_.captureHotkeyLabel, kNoHotkey);
}

void CoordinateCapture::registrationSucceeded(platform::Window& editor, std::int32_t code) {
    desktop_.showMessage(kRegisteredPrefix + hotkeys::keyName(code) + kRegisteredSuffix,
                         kRegisteredTitle);
    setIdleCaption(editor, code);
    captureHotkeyText_ = intToText(code);
    if (unsaved_) {
        tellNotSaved(code);
        return;
    }
    if (!steps::writeSetting(desktop_.files(), desktop_.programDirectory(),
                             settings::kHotkeySection, settings::kHotkeyValueKey,
                             captureHotkeyText_)) {
        unsaved_ = true;
        tellNotSaved(code);
    }
}

void CoordinateCapture::setIdleCaption(platform::Window& editor, std::int32_t code) {
    editor.setText(controls_.captureHotkeyLabel, idleCaption(code));
}

void CoordinateCapture::tellNotSaved(std::int32_t code) {
    desktop_.showMessage(idleCaption(code) + kNotSavedSuffix, kNotSavedTitle);
}

void CoordinateCapture::release(platform::Window& editor) {
    editor.setTimerPeriod(controls_.captureTimer, 0);
    notifyHotkeys_.unregisterNotifyHotkey(editor, captureHotkeyId_);
    captureHotkeyId_ = 0;
    heldKeyCode_ = 0;
    choosingKey_ = false;
}

}  // namespace kv::capture
