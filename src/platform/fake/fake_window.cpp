#include "platform/fake/fake_window.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/edit_input.h"
#include "platform/fake/fake_desktop.h"
#include "steps/gbk_text.h"

namespace kv::platform::fake {
namespace {

// A window timer never ticks sooner than this after it was set.
constexpr VirtualClock::Millis kWindowTimerMinimumMs = 10;

constexpr int kKeyBackspace = 8;
constexpr int kKeySpace = 32;
constexpr int kKeyMainMinus = 189;
constexpr int kKeyInputMethod = 229;

std::size_t characterLength(std::string_view text, std::size_t at) {
    return steps::isGbkLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

// The key a character is typed with on a Chinese keyboard layout.
int keyCodeOf(std::string_view character) {
    const char c = character.front();
    if (character.size() > 1) {
        return kKeyInputMethod;
    }
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) {
        return c;
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 'A';
    }
    if (c == '-') {
        return kKeyMainMinus;
    }
    return c == ' ' ? kKeySpace : kKeyInputMethod;
}

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::label && kind != ControlKind::transparentLabel &&
           kind != ControlKind::picture;
}

}  // namespace

FakeWindow::FakeWindow(FakeDesktop& desktop, const WindowSpec& spec, WindowHandlers& handlers,
                       NativeWindow handle, NativeWindow firstControlHandle)
    : desktop_(desktop),
      spec_(spec),
      handlers_(handlers),
      handle_(handle),
      caption_(spec.caption),
      outer_{(FakeDesktop::kScreenWidth - spec.outerWidth) / 2,
             (FakeDesktop::kScreenHeight - spec.outerHeight) / 2, spec.outerWidth,
             spec.outerHeight} {
    NativeWindow controlHandle = firstControlHandle;
    for (const ControlSpec& c : spec.controls) {
        Control control{&c,
                        controlHandle,
                        c.text,
                        (c.styles & style::disabled) == 0,
                        (c.styles & style::hidden) == 0,
                        (c.styles & style::checked) != 0,
                        c.items.empty() ? -1 : 0,
                        nullptr,
                        c.rect,
                        {}};
        if (c.kind == ControlKind::reportList) {
            int rowWidth = 0;
            for (const ColumnSpec& column : c.columns) {
                rowWidth += column.width;
            }
            control.list =
                std::make_unique<FakeListControl>(static_cast<int>(c.columns.size()), rowWidth);
        }
        controls_.emplace(c.role.value, std::move(control));
        controlHandle += 4;
    }
    for (const MenuSpec& menu : spec.menus) {
        for (const MenuItemSpec& item : menu.items) {
            menuItems_[item.role.value] = true;
        }
    }
}

void FakeWindow::runCreation() {
    // Timers run from the moment the window exists, before its creation handler.
    for (const TimerSpec& timer : spec_.timers) {
        timers_[timer.role.value] = Timer{.precise = timer.precise};
        setTimerPeriod(timer.role, timer.periodMs);
    }
    handlers_.onCreated(*this);
    handlers_.onMoved(*this);
}

FakeWindow::Control& FakeWindow::control(Role role) {
    auto it = controls_.find(role.value);
    if (it == controls_.end()) {
        throw std::out_of_range("no control with this role");
    }
    return it->second;
}

const FakeWindow::Control& FakeWindow::control(Role role) const {
    return const_cast<FakeWindow*>(this)->control(role);
}

std::string FakeWindow::caption() const {
    std::lock_guard lock(mutex_);
    return caption_;
}

void FakeWindow::setCaption(std::string_view text) {
    std::lock_guard lock(mutex_);
    caption_ = text;
}

std::string FakeWindow::text(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).text;
}

void FakeWindow::setText(Role role, std::string_view text) {
    {
        std::lock_guard lock(mutex_);
        Control& c = control(role);
        if (!isEditBox(role)) {
            c.text = text;
            return;
        }
        c.text = withinLimits(c, text);
        if (!desktop_.onUiThread()) {
            ++textEventsOffUiThread_;
        }
    }
    handlers_.onTextChanged(*this, role);
}

int FakeWindow::textEventsOffUiThread() const {
    std::lock_guard lock(mutex_);
    return textEventsOffUiThread_;
}

bool FakeWindow::isEditBox(Role role) const {
    const ControlKind kind = control(role).spec->kind;
    return kind == ControlKind::edit || kind == ControlKind::multiLineEdit;
}

std::string FakeWindow::withinLimits(const Control& box, std::string_view text) const {
    const ControlSpec& spec = *box.spec;
    if (spec.maxBytes > 0) {
        text =
            text.substr(0, steps::gbkPrefixLength(text, static_cast<std::size_t>(spec.maxBytes)));
    }
    if (spec.maxChars > 0) {
        std::size_t at = 0;
        for (int count = 0; at < text.size() && count < spec.maxChars; ++count) {
            at += characterLength(text, at);
        }
        text = text.substr(0, at);
    }
    return std::string(text);
}

void FakeWindow::userFocuses(Role role) {
    Role left;
    std::string rewritten;
    {
        std::lock_guard lock(mutex_);
        if (focused_ == role) {
            return;
        }
        left = std::exchange(focused_, role);
        if (left == Role{} || !isEditBox(left)) {
            return;
        }
        Control& box = control(left);
        if (box.spec->input != EditInput::integerValue) {
            return;
        }
        rewritten = integerValueText(box.text);
        if (rewritten == box.text) {
            return;
        }
        box.text = rewritten;
    }
    handlers_.onTextChanged(*this, left);
}

Role FakeWindow::focusedControl() const {
    std::lock_guard lock(mutex_);
    return focused_;
}

void FakeWindow::userTypes(std::string_view gbkText) {
    for (std::size_t at = 0; at < gbkText.size();) {
        const std::size_t length = characterLength(gbkText, at);
        const std::string_view character = gbkText.substr(at, length);
        userPressesKey(keyCodeOf(character), character);
        at += length;
    }
}

void FakeWindow::userPressesKey(int keyCode, std::string_view character) {
    const Role box = focusedControl();
    {
        std::lock_guard lock(mutex_);
        if (box == Role{} || !isEditBox(box)) {
            return;
        }
    }
    if (handlers_.onKeyDown(*this, box, keyCode)) {
        return;
    }
    if (keyCode == kKeyBackspace) {
        deleteLastCharacter(box);
    } else if (!character.empty()) {
        typeCharacter(box, character);
    }
}

void FakeWindow::typeCharacter(Role role, std::string_view character) {
    {
        std::lock_guard lock(mutex_);
        Control& box = control(role);
        const auto first = static_cast<unsigned char>(character.front());
        if (!acceptsTypedChar(box.spec->input, first)) {
            return;
        }
        const std::string longer = box.text + std::string(character);
        if (withinLimits(box, longer) != longer) {
            return;  // a full box refuses the character
        }
        box.text = longer;
    }
    handlers_.onTextChanged(*this, role);
}

void FakeWindow::deleteLastCharacter(Role role) {
    {
        std::lock_guard lock(mutex_);
        std::string& text = control(role).text;
        if (text.empty()) {
            return;
        }
        std::size_t last = 0;
        for (std::size_t at = 0; at < text.size(); at += characterLength(text, at)) {
            last = at;
        }
        text.erase(last);
    }
    handlers_.onTextChanged(*this, role);
}

void FakeWindow::userPastes(std::string_view gbkText) {
    const Role role = focusedControl();
    {
        std::lock_guard lock(mutex_);
        if (role == Role{} || !isEditBox(role) || gbkText.empty()) {
            return;
        }
        Control& box = control(role);
        box.text = withinLimits(box, box.text + std::string(gbkText));
    }
    handlers_.onTextChanged(*this, role);
}

void FakeWindow::userSelectsComboItem(Role role, int index) {
    userFocuses(role);
    std::lock_guard lock(mutex_);
    Control& combo = control(role);
    if (index >= 0 && index < static_cast<int>(combo.spec->items.size())) {
        combo.comboSelection = index;
    }
}

bool FakeWindow::isEnabled(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).enabled;
}

void FakeWindow::setEnabled(Role role, bool enabled) {
    std::lock_guard lock(mutex_);
    control(role).enabled = enabled;
}

bool FakeWindow::isVisible(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).visible;
}

void FakeWindow::setVisible(Role role, bool visible) {
    std::lock_guard lock(mutex_);
    Control& c = control(role);
    c.visible = visible;
    desktop_.setNativeVisible(c.handle, visible);
}

bool FakeWindow::isChecked(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).checked;
}

void FakeWindow::setChecked(Role role, bool checked) {
    std::lock_guard lock(mutex_);
    setCheckedLocked(role, checked);
}

void FakeWindow::setCheckedLocked(Role role, bool checked) {
    if (checked) {
        for (const ControlSpec& other : radioGroupOf(spec_.controls, role)) {
            control(other.role).checked = false;
        }
    }
    control(role).checked = checked;
}

int FakeWindow::comboSelection(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).comboSelection;
}

void FakeWindow::setComboSelection(Role role, int index) {
    std::lock_guard lock(mutex_);
    Control& c = control(role);
    c.comboSelection = comboIndexFor(index, static_cast<int>(c.spec->items.size()));
}

std::vector<std::string> FakeWindow::comboItems(Role role) const {
    std::lock_guard lock(mutex_);
    const auto& items = control(role).spec->items;
    return {items.begin(), items.end()};
}

std::string FakeWindow::comboText(Role role) const {
    std::lock_guard lock(mutex_);
    const Control& combo = control(role);
    if (combo.comboSelection < 0) {
        return {};
    }
    return combo.spec->items[static_cast<std::size_t>(combo.comboSelection)];
}

ListControl& FakeWindow::list(Role role) {
    return fakeList(role);
}

FakeListControl& FakeWindow::fakeList(Role role) {
    std::lock_guard lock(mutex_);
    Control& c = control(role);
    if (!c.list) {
        throw std::invalid_argument("control is no list");
    }
    return *c.list;
}

NativeWindow FakeWindow::controlHandle(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).handle;
}

Rect FakeWindow::controlRect(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).rect;
}

Role FakeWindow::roleOf(NativeWindow controlHandle) const {
    std::lock_guard lock(mutex_);
    for (const auto& [role, c] : controls_) {
        if (c.handle == controlHandle) {
            return Role::fromValue(role);
        }
    }
    return Role{};
}

void FakeWindow::setPicture(Role role, std::string_view bmpFile) {
    std::lock_guard lock(mutex_);
    control(role).picture = bmpFile;
}

std::string FakeWindow::picture(Role role) const {
    std::lock_guard lock(mutex_);
    return control(role).picture;
}

void FakeWindow::setControlSize(Role role, int width, int height) {
    NativeWindow handle = 0;
    {
        std::lock_guard lock(mutex_);
        Control& c = control(role);
        c.rect.width = width;
        c.rect.height = height;
        handle = c.handle;
    }
    Rect onScreen = desktop_.windowRect(handle);
    onScreen.width = width;
    onScreen.height = height;
    desktop_.setNativeRect(handle, onScreen);
}

void FakeWindow::setOuterSize(int width, int height) {
    Rect outer = desktop_.windowRect(handle_);
    outer.width = width;
    outer.height = height;
    desktop_.setNativeRect(handle_, outer);
}

// Controls keep their place in the window: they move with it.
void FakeWindow::moveTo(Point topLeft) {
    const Rect outer = desktop_.windowRect(handle_);
    desktop_.setNativeRect(handle_, {topLeft.x, topLeft.y, outer.width, outer.height});
    // The desktop is told without this window's lock held: the desktop
    // asks windows about their controls under its own lock.
    std::vector<std::pair<NativeWindow, Rect>> placed;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [role, c] : controls_) {
            placed.emplace_back(c.handle, Rect{topLeft.x + c.rect.left, topLeft.y + c.rect.top,
                                               c.rect.width, c.rect.height});
        }
    }
    for (const auto& [handle, rect] : placed) {
        desktop_.setNativeRect(handle, rect);
    }
}

void FakeWindow::makeSeeThrough(int alpha) {
    {
        std::lock_guard lock(mutex_);
        seeThroughAlpha_ = alpha;
    }
    desktop_.setClickThrough(handle_);
}

int FakeWindow::seeThroughAlpha() const {
    std::lock_guard lock(mutex_);
    return seeThroughAlpha_;
}

void FakeWindow::deliverHookedMouse(const HookedMouseEvent& event) {
    if (isOpen()) {
        handlers_.onHookedMouse(*this, event);
    }
}

int FakeWindow::timerPeriod(Role timer) const {
    std::lock_guard lock(mutex_);
    auto it = timers_.find(timer.value);
    return it == timers_.end() ? 0 : it->second.period;
}

void FakeWindow::setTimerPeriod(Role role, int periodMs) {
    std::uint64_t generation = 0;
    bool precise = false;
    {
        std::lock_guard lock(mutex_);
        auto it = timers_.find(role.value);
        if (it == timers_.end()) {
            throw std::out_of_range("no timer with this role");
        }
        Timer& timer = it->second;
        const int period = periodMs > 0 ? periodMs : 0;
        if (period == timer.period || !open_) {
            return;
        }
        timer.period = period;
        generation = ++timer.generation;
        if (period == 0) {
            return;
        }
        precise = timer.precise;
        if (precise) {
            timer.source = desktop_.fakeWaits().bestTimerSource();
        }
    }
    if (precise) {
        schedulePreciseTick(role, desktop_.clock().now() + periodMs, generation);
    } else {
        scheduleTick(role, periodMs, generation);
    }
}

void FakeWindow::setTimerDue(Role role, std::int64_t dueMs) {
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        Timer& timer = timers_.at(role.value);
        if (!open_ || !timer.precise || timer.period == 0) {
            return;
        }
        generation = ++timer.generation;
    }
    schedulePreciseTick(role, dueMs, generation);
}

TimerSource FakeWindow::timerSource(Role role) const {
    std::lock_guard lock(mutex_);
    return timers_.at(role.value).source;
}

// A tick whose timer was stopped or restarted since it was scheduled is dropped.
void FakeWindow::scheduleTick(Role role, int period, std::uint64_t generation) {
    desktop_.clock().after(period, [this, role, period, generation] {
        {
            std::lock_guard lock(mutex_);
            if (!open_ || timers_[role.value].generation != generation) {
                return;
            }
        }
        scheduleTick(role, period, generation);
        handlers_.onTimer(*this, role);
    });
}

// A precise tick comes at its deadline, except from a window timer, which
// cannot tick sooner than its minimum after it was set. The next deadline is
// one period after this one, past the present moment.
void FakeWindow::schedulePreciseTick(Role role, VirtualClock::Millis due,
                                     std::uint64_t generation) {
    VirtualClock& clock = desktop_.clock();
    VirtualClock::Millis fireAt = std::max(due, clock.now());
    {
        std::lock_guard lock(mutex_);
        if (timers_.at(role.value).source == TimerSource::windowTimer) {
            fireAt = std::max(fireAt, clock.now() + kWindowTimerMinimumMs);
        }
    }
    clock.at(fireAt, [this, role, due, generation] {
        int period = 0;
        {
            std::lock_guard lock(mutex_);
            const Timer& timer = timers_[role.value];
            if (!open_ || timer.generation != generation) {
                return;
            }
            period = timer.period;
        }
        const VirtualClock::Millis now = desktop_.clock().now();
        VirtualClock::Millis next = due + period;
        if (next <= now) {
            next += (now - next) / period * period + period;
        }
        schedulePreciseTick(role, next, generation);
        handlers_.onTimer(*this, role);
    });
}

bool FakeWindow::isMenuItemEnabled(Role item) const {
    std::lock_guard lock(mutex_);
    return menuItems_.at(item.value);
}

void FakeWindow::setMenuItemEnabled(Role item, bool enabled) {
    std::lock_guard lock(mutex_);
    menuItems_.at(item.value) = enabled;
}

bool FakeWindow::isMinimized() const {
    std::lock_guard lock(mutex_);
    return minimized_;
}

// A window already minimised (hidden in the notification area or not) stays
// as it is.
void FakeWindow::minimize() {
    {
        std::lock_guard lock(mutex_);
        if (minimized_) {
            return;
        }
        minimized_ = true;
    }
    handlers_.onMoved(*this);
}

// Restoring a hidden minimised window shows it, as SW_RESTORE does.
void FakeWindow::userRestores() {
    {
        std::lock_guard lock(mutex_);
        if (!minimized_) {
            return;
        }
        minimized_ = false;
        shown_ = true;
    }
    desktop_.setNativeVisible(handle_, true);
    handlers_.onMoved(*this);
}

bool FakeWindow::isShown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

// Showing and hiding move nothing, so the moved handler does not run.
void FakeWindow::show() {
    {
        std::lock_guard lock(mutex_);
        shown_ = true;
    }
    desktop_.setNativeVisible(handle_, true);
}

void FakeWindow::hide() {
    {
        std::lock_guard lock(mutex_);
        if (shown_) {
            ++hides_;
        }
        shown_ = false;
    }
    desktop_.setNativeVisible(handle_, false);
}

int FakeWindow::hides() const {
    std::lock_guard lock(mutex_);
    return hides_;
}

void FakeWindow::restore() {
    {
        std::lock_guard lock(mutex_);
        if (!shown_ || !minimized_) {
            return;
        }
        minimized_ = false;
    }
    handlers_.onMoved(*this);
}

void FakeWindow::restoreAndCentre() {
    if (!isShown()) {
        return;
    }
    restore();
    Rect outer;
    {
        std::lock_guard lock(mutex_);
        outer_.left = (FakeDesktop::kScreenWidth - outer_.width) / 2;
        outer_.top = (FakeDesktop::kScreenHeight - outer_.height) / 2;
        outer = outer_;
    }
    desktop_.placeWindow(handle_, outer);
    handlers_.onMoved(*this);
}

void FakeWindow::userMovesWindowTo(Point topLeft) {
    Rect outer;
    {
        std::lock_guard lock(mutex_);
        outer_.left = topLeft.x;
        outer_.top = topLeft.y;
        outer = outer_;
    }
    desktop_.placeWindow(handle_, outer);
    handlers_.onMoved(*this);
}

Rect FakeWindow::outerRect() const {
    std::lock_guard lock(mutex_);
    return outer_;
}

// The desktop is called without this window's lock: it takes its own lock
// first and then windows' locks elsewhere.
bool FakeWindow::showTrayIcon() {
    {
        std::lock_guard lock(mutex_);
        trayWanted_ = true;
        if (trayAdded_ || spec_.trayTip == nullptr) {
            return trayAdded_;
        }
    }
    const bool added = desktop_.addTrayIcon(handle_, spec_.trayTip);
    std::lock_guard lock(mutex_);
    trayAdded_ = added;
    return added;
}

void FakeWindow::removeTrayIcon() {
    bool wasAdded = false;
    {
        std::lock_guard lock(mutex_);
        wasAdded = trayAdded_;
        trayWanted_ = false;
        trayAdded_ = false;
    }
    if (wasAdded) {
        desktop_.deleteTrayIcon(handle_);
    }
}

void FakeWindow::taskbarCreated() {
    bool wanted = false;
    {
        std::lock_guard lock(mutex_);
        trayAdded_ = false;
        wanted = trayWanted_ && spec_.trayTip != nullptr;
    }
    if (wanted) {
        const bool added = desktop_.addTrayIcon(handle_, spec_.trayTip);
        std::lock_guard lock(mutex_);
        trayAdded_ = added;
    }
}

class FakeWindow::UserEvent {
public:
    explicit UserEvent(FakeWindow& window)
        : window_(window), outer_(std::exchange(window.chosen_, std::nullopt)) {
        ++window_.eventDepth_;
    }
    ~UserEvent() {
        --window_.eventDepth_;
        window_.deliverChosenItem();
        window_.chosen_ = outer_;
    }
    UserEvent(const UserEvent&) = delete;
    UserEvent& operator=(const UserEvent&) = delete;

private:
    FakeWindow& window_;
    std::optional<Role> outer_;
};

void FakeWindow::deliverChosenItem() {
    const std::optional<Role> item = std::exchange(chosen_, std::nullopt);
    if (item && isOpen()) {
        handlers_.onMenuItem(*this, *item);
    }
}

void FakeWindow::deliverHotkey(int id) {
    UserEvent event(*this);
    handlers_.onHotkey(*this, id);
}

void FakeWindow::userDoubleClicksTrayIcon() {
    UserEvent event(*this);
    handlers_.onTrayDoubleClick(*this);
}

void FakeWindow::userRightClicksTrayIcon() {
    UserEvent event(*this);
    handlers_.onTrayRightClick(*this);
}

void FakeWindow::answerNextMenu(int afterMs, Role item) {
    std::lock_guard lock(mutex_);
    nextAnswer_ = MenuAnswer{afterMs, item};
}

std::vector<FakeWindow::Popup> FakeWindow::popups() const {
    std::lock_guard lock(mutex_);
    return popups_;
}

std::map<int, bool> FakeWindow::menuFlags(Role menu) const {
    std::map<int, bool> flags;
    std::lock_guard lock(mutex_);
    for (const MenuSpec& spec : spec_.menus) {
        if (spec.role == menu) {
            for (const MenuItemSpec& item : spec.items) {
                flags[item.role.value] = menuItems_.at(item.role.value);
            }
        }
    }
    return flags;
}

void FakeWindow::popupMenu(Role menu, Point screenPoint, PopupOptions options) {
    if (options.fromNotificationArea) {
        desktop_.setForegroundWindow(handle_);
    }
    Popup popup{menu,
                screenPoint,
                options,
                desktop_.clock().now(),
                desktop_.foregroundWindow() == handle_,
                false,
                menuFlags(menu),
                {},
                Role{}};
    MenuAnswer answer;
    {
        std::lock_guard lock(mutex_);
        answer = nextAnswer_.value_or(MenuAnswer{});
        nextAnswer_.reset();
    }
    // The menu's own loop keeps dispatching: timers tick while it is open.
    desktop_.clock().runFor(answer.afterMs);
    popup.enabledAtClose = menuFlags(menu);
    auto flag = popup.enabledAtClose.find(answer.item.value);
    if (answer.item != Role{} && flag != popup.enabledAtClose.end() && flag->second) {
        popup.chosen = answer.item;
        chosen_ = answer.item;
    }
    popup.nullPostedAfter = options.fromNotificationArea;
    {
        std::lock_guard lock(mutex_);
        popups_.push_back(popup);
    }
    if (eventDepth_ == 0) {
        deliverChosenItem();  // called outside any user event: nothing to wait for
    }
}

bool FakeWindow::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void FakeWindow::close() {
    {
        std::lock_guard lock(mutex_);
        if (!open_) {
            return;
        }
    }
    handlers_.onDestroy(*this);
    removeTrayIcon();
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    desktop_.windowClosed(*this);
}

void FakeWindow::userClicks(Role role) {
    if (isEnabled(role) && isVisible(role) && takesFocus(control(role).spec->kind)) {
        userFocuses(role);
    }
    bool enabled = false;
    {
        std::lock_guard lock(mutex_);
        Control& c = control(role);
        enabled = c.enabled && c.visible;
        if (enabled && c.spec->kind == ControlKind::radioButton) {
            setCheckedLocked(role, true);
        } else if (enabled && c.spec->kind == ControlKind::checkBox) {
            c.checked = !c.checked;
        }
    }
    if (enabled) {
        handlers_.onClicked(*this, role);
    }
}

void FakeWindow::userPresses(Role role, MouseButton button, Point clientPoint) {
    if (role != Role{}) {
        std::lock_guard lock(mutex_);
        const Control& c = control(role);
        // A disabled or hidden control takes no mouse input: the press lands
        // on the window's background beneath it.
        if (!c.enabled || !c.visible) {
            clientPoint = {clientPoint.x + c.spec->rect.left, clientPoint.y + c.spec->rect.top};
            role = Role{};
        }
    }
    UserEvent event(*this);
    handlers_.onMousePress(*this, role, button, clientPoint);
    // Then the control's own handling. A list view selects the row under the
    // point and tells of a right click.
    if (role == Role{} || button == MouseButton::middle || !isOpen()) {
        return;
    }
    FakeListControl* list = nullptr;
    {
        std::lock_guard lock(mutex_);
        list = control(role).list.get();
    }
    const int row = list != nullptr ? list->rowUnder(clientPoint) : -1;
    if (row >= 0) {
        list->selectRow(row);
    }
    if (button == MouseButton::right && list != nullptr) {
        handlers_.onRightClicked(*this, role);
    }
}

void FakeWindow::post(std::function<void()> work) {
    desktop_.clock().after(0, [this, work = std::move(work)] {
        if (isOpen()) {
            work();
        }
    });
}

void FakeWindow::userChoosesMenuItem(Role item) {
    if (isMenuItemEnabled(item)) {
        handlers_.onMenuItem(*this, item);
    }
}

}  // namespace kv::platform::fake
