#include "platform/fake/fake_desktop.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace kv::platform::fake {

FakeDesktop::FakeDesktop() {
    setLocalTime(LocalTime{2011, 6, 4, 8, 0, 0});
}

FakeDesktop::~FakeDesktop() = default;

LocalTime FakeDesktop::localTime() const {
    std::int64_t ms = 0;
    {
        std::lock_guard lock(mutex_);
        ms = wallBaseMs_ + clock_.now();
    }
    // Whole seconds, rounded down also before 1970.
    const std::int64_t seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    return localTimeAt(seconds);
}

void FakeDesktop::setLocalTime(const LocalTime& time) {
    std::lock_guard lock(mutex_);
    wallBaseMs_ = secondsOf(time) * 1000 - clock_.now();
}

void FakeDesktop::moveWallClock(std::int64_t seconds) {
    std::lock_guard lock(mutex_);
    wallBaseMs_ += seconds * 1000;
}

FileChoice FakeDesktop::chooseFileToOpen(NativeWindow /*owner*/) {
    std::lock_guard lock(mutex_);
    ++fileDialogsShown_;
    if (fileDialogAnswers_.empty()) {
        return {FileChoice::Status::cancelled, {}};
    }
    FileChoice choice = std::move(fileDialogAnswers_.front());
    fileDialogAnswers_.pop_front();
    return choice;
}

void FakeDesktop::answerFileDialog(FileChoice choice) {
    std::lock_guard lock(mutex_);
    fileDialogAnswers_.push_back(std::move(choice));
}

int FakeDesktop::fileDialogsShown() const {
    std::lock_guard lock(mutex_);
    return fileDialogsShown_;
}

Window* FakeDesktop::openWindow(const WindowSpec& spec, WindowHandlers& handlers,
                                Modality modality) {
    if (FakeWindow* open = findWindow(spec)) {
        open->userRestores();
        windowActivated(*open);
        setForegroundWindow(open->handle());
        return open;
    }
    FakeWindow* window = nullptr;
    {
        std::lock_guard lock(mutex_);
        // Centred on the primary monitor.
        const Rect primary = monitors_.front();
        const Rect outer{(primary.width - spec.outerWidth) / 2,
                         (primary.height - spec.outerHeight) / 2, spec.outerWidth,
                         spec.outerHeight};
        const NativeWindow handle = nextHandle_;
        nextHandle_ += 4 * (spec.controls.size() + 1);
        windows_.push_back(std::make_unique<FakeWindow>(*this, spec, handlers, handle, handle + 4));
        window = windows_.back().get();
        // Controls lie in front of their window; client origin = outer origin here.
        for (std::size_t i = spec.controls.size(); i-- > 0;) {
            const Rect r = spec.controls[i].rect;
            zOrder_.push_front({handle + 4 * (i + 1), handle,
                                Rect{outer.left + r.left, outer.top + r.top, r.width, r.height},
                                (spec.controls[i].styles & style::hidden) == 0});
        }
        zOrder_.push_front({handle, 0, outer, true});
        std::stable_partition(zOrder_.begin(), zOrder_.end(),
                              [handle](const NativeEntry& e) { return e.parent == handle; });
    }
    window->runCreation();
    setForegroundWindow(window->handle());
    if (modality == Modality::modeless) {
        return window;
    }
    while (window->isOpen() && clock_.runNext()) {
    }
    return nullptr;
}

void FakeDesktop::showMessage(std::string_view text, std::string_view title) {
    std::lock_guard lock(mutex_);
    messages_.push_back({std::string(text), std::string(title), clock_.now()});
}

void FakeDesktop::runMessageLoop() {
    while (openWindowCount() > 0 && clock_.runNext()) {
    }
}

std::uint32_t FakeDesktop::tickCount() const {
    return tickBase_ + static_cast<std::uint32_t>(clock_.now());
}

void FakeDesktop::startThread(std::function<void()> body) {
    clock_.startWorker(std::move(body));
}

void FakeDesktop::runOnUiThread(const std::function<void()>& work) {
    if (onUiThread()) {
        work();
        return;
    }
    struct Call {
        std::function<void()> work;
        std::atomic<bool> done{false};
    };
    auto call = std::make_shared<Call>();
    call->work = work;
    clock_.at(clock_.now(), [this, call] {
        call->work();
        call->done = true;
        clock_.notifyAll();
    });
    clock_.waitUntil([&call] { return call->done.load(); });
}

bool FakeDesktop::registerHotkey(NativeWindow window, int id, int modifiers, int keyCode) {
    std::lock_guard lock(mutex_);
    auto taken = [&](const Hotkey& h) {
        return (h.window == window && h.id == id) ||
               (h.modifiers == modifiers && h.keyCode == keyCode);
    };
    if (std::ranges::find(keysHeldElsewhere_, keyCode) != keysHeldElsewhere_.end() ||
        std::ranges::any_of(hotkeys_, taken)) {
        return false;
    }
    hotkeys_.push_back({window, id, modifiers, keyCode});
    if (!noRepeatSupported_) {
        repeatingHotkeys_.emplace_back(window, id);
    }
    return true;
}

void FakeDesktop::unregisterHotkey(NativeWindow window, int id) {
    std::lock_guard lock(mutex_);
    std::erase_if(hotkeys_, [&](const Hotkey& h) { return h.window == window && h.id == id; });
    std::erase(repeatingHotkeys_, std::pair{window, id});
}

void FakeDesktop::holdKeyElsewhere(int keyCode) {
    std::lock_guard lock(mutex_);
    keysHeldElsewhere_.push_back(keyCode);
}

std::vector<FakeDesktop::Hotkey> FakeDesktop::hotkeys() const {
    std::lock_guard lock(mutex_);
    return hotkeys_;
}

void FakeDesktop::setNoRepeatSupported(bool supported) {
    std::lock_guard lock(mutex_);
    noRepeatSupported_ = supported;
}

int FakeDesktop::userHoldsHotkey(int modifiers, int keyCode, int repeats) {
    bool repeating = false;
    {
        std::lock_guard lock(mutex_);
        for (const Hotkey& h : hotkeys_) {
            if (h.modifiers == modifiers && h.keyCode == keyCode) {
                repeating = std::ranges::find(repeatingHotkeys_, std::pair{h.window, h.id}) !=
                            repeatingHotkeys_.end();
            }
        }
    }
    int delivered = 0;
    for (int press = 0; press <= (repeating ? repeats : 0); ++press) {
        delivered += userPressesHotkey(modifiers, keyCode) ? 1 : 0;
    }
    return delivered;
}

bool FakeDesktop::userPressesHotkey(int modifiers, int keyCode) {
    // The windows registered for the key, found under the desktop's lock;
    // whether each is open is asked after it, since a window's lock is
    // elsewhere taken before the desktop's.
    std::vector<std::pair<FakeWindow*, int>> registered;
    {
        std::lock_guard lock(mutex_);
        for (const Hotkey& h : hotkeys_) {
            if (h.modifiers != modifiers || h.keyCode != keyCode) {
                continue;
            }
            for (const auto& window : windows_) {
                if (window->handle() == h.window) {
                    registered.emplace_back(window.get(), h.id);
                }
            }
        }
    }
    FakeWindow* target = nullptr;
    int id = 0;
    for (const auto& [window, hotkeyId] : registered) {
        if (window->isOpen()) {
            target = window;
            id = hotkeyId;
        }
    }
    if (target == nullptr) {
        return false;
    }
    target->deliverHotkey(id);
    return true;
}

Point FakeDesktop::cursorPosition() const {
    std::lock_guard lock(mutex_);
    return cursor_;
}

namespace {

// The point of the rectangle nearest to p (the right and bottom edges are
// outside it).
Point clampInto(Rect r, Point p) {
    return {std::clamp(p.x, r.left, r.right() - 1), std::clamp(p.y, r.top, r.bottom() - 1)};
}

std::int64_t squaredDistance(Point a, Point b) {
    const std::int64_t dx = std::int64_t{a.x} - b.x;
    const std::int64_t dy = std::int64_t{a.y} - b.y;
    return dx * dx + dy * dy;
}

}  // namespace

std::optional<Point> FakeDesktop::tryCursorPosition() const {
    std::lock_guard lock(mutex_);
    if (!cursorReadable_) {
        return std::nullopt;
    }
    return cursor_;
}

void FakeDesktop::setCursorReadable(bool readable) {
    std::lock_guard lock(mutex_);
    cursorReadable_ = readable;
}

void FakeDesktop::setCursorPosition(Point point) {
    std::lock_guard lock(mutex_);
    Point nearest = clampInto(monitors_.front(), point);
    for (const Rect& monitor : monitors_) {
        const Point candidate = clampInto(monitor, point);
        if (squaredDistance(candidate, point) < squaredDistance(nearest, point)) {
            nearest = candidate;
        }
    }
    cursor_ = nearest;
}

void FakeDesktop::setMonitors(std::vector<Rect> monitors) {
    std::lock_guard lock(mutex_);
    if (!monitors.empty()) {
        monitors_ = std::move(monitors);
    }
}

std::vector<Rect> FakeDesktop::monitors() const {
    std::lock_guard lock(mutex_);
    return monitors_;
}

NativeWindow FakeDesktop::windowAtPoint(Point point) const {
    std::lock_guard lock(mutex_);
    for (const NativeEntry& e : zOrder_) {
        if (e.visible && !e.clickThrough && e.rect.contains(point)) {
            return e.handle;
        }
    }
    return 0;
}

const FakeDesktop::NativeEntry* FakeDesktop::entry(NativeWindow window) const {
    for (const NativeEntry& e : zOrder_) {
        if (e.handle == window) {
            return &e;
        }
    }
    return nullptr;
}

NativeWindow FakeDesktop::parentOf(NativeWindow window) const {
    std::lock_guard lock(mutex_);
    const NativeEntry* e = entry(window);
    return e != nullptr ? e->parent : 0;
}

NativeWindow FakeDesktop::nextInZOrder(NativeWindow window) const {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(zOrder_.begin(), zOrder_.end(),
                           [window](const NativeEntry& e) { return e.handle == window; });
    if (it == zOrder_.end()) {
        return 0;
    }
    const NativeWindow parent = it->parent;
    it = std::find_if(std::next(it), zOrder_.end(),
                      [parent](const NativeEntry& e) { return e.parent == parent; });
    return it != zOrder_.end() ? it->handle : 0;
}

bool FakeDesktop::isWindowVisible(NativeWindow window) const {
    std::lock_guard lock(mutex_);
    const NativeEntry* e = entry(window);
    return e != nullptr && e->visible;
}

Rect FakeDesktop::windowRect(NativeWindow window) const {
    std::lock_guard lock(mutex_);
    const NativeEntry* e = entry(window);
    return e != nullptr ? e->rect : Rect{};
}

NativeWindow FakeDesktop::addNativeWindow(NativeWindow parent, Rect rect, bool visible) {
    std::lock_guard lock(mutex_);
    const NativeWindow handle = nextHandle_;
    nextHandle_ += 4;
    zOrder_.push_front({handle, parent, rect, visible});
    return handle;
}

void FakeDesktop::setNativeVisible(NativeWindow window, bool visible) {
    std::lock_guard lock(mutex_);
    for (NativeEntry& e : zOrder_) {
        if (e.handle == window) {
            e.visible = visible;
        }
    }
}

std::vector<FakeDesktop::TrayIcon> FakeDesktop::trayIcons() const {
    std::lock_guard lock(mutex_);
    return trayIcons_;
}

int FakeDesktop::trayIconAdds() const {
    std::lock_guard lock(mutex_);
    return trayIconAdds_;
}

void FakeDesktop::setShellRefusesIcons(bool refuse) {
    std::lock_guard lock(mutex_);
    shellRefusesIcons_ = refuse;
}

bool FakeDesktop::addTrayIcon(NativeWindow window, std::string_view tip) {
    std::lock_guard lock(mutex_);
    const bool present = std::ranges::any_of(
        trayIcons_, [window](const TrayIcon& icon) { return icon.window == window; });
    if (shellRefusesIcons_ || present) {
        return false;  // the shell refuses a second icon of the same id too
    }
    trayIcons_.push_back({window, std::string(tip)});
    ++trayIconAdds_;
    return true;
}

void FakeDesktop::deleteTrayIcon(NativeWindow window) {
    std::lock_guard lock(mutex_);
    std::erase_if(trayIcons_, [window](const TrayIcon& icon) { return icon.window == window; });
}

void FakeDesktop::recreateTaskbar() {
    std::vector<FakeWindow*> open;
    {
        std::lock_guard lock(mutex_);
        trayIcons_.clear();
        shellRefusesIcons_ = false;
        for (const auto& window : windows_) {
            open.push_back(window.get());
        }
    }
    for (FakeWindow* window : open) {
        if (window->isOpen()) {
            window->taskbarCreated();
        }
    }
}

NativeWindow FakeDesktop::foregroundWindow() const {
    std::lock_guard lock(mutex_);
    return foreground_;
}

void FakeDesktop::setForegroundWindow(NativeWindow window) {
    std::lock_guard lock(mutex_);
    foreground_ = window;
}

void FakeDesktop::placeWindow(NativeWindow window, Rect outer) {
    std::lock_guard lock(mutex_);
    const NativeEntry* self = entry(window);
    if (self == nullptr) {
        return;
    }
    const int dx = outer.left - self->rect.left;
    const int dy = outer.top - self->rect.top;
    for (NativeEntry& e : zOrder_) {
        if (e.handle == window) {
            e.rect = outer;
        } else if (e.parent == window) {
            e.rect.left += dx;
            e.rect.top += dy;
        }
    }
}

FakeWindow* FakeDesktop::findWindow(const WindowSpec& spec) const {
    std::lock_guard lock(mutex_);
    for (const auto& window : windows_) {
        if (&window->spec() == &spec && window->isOpen()) {
            return window.get();
        }
    }
    return nullptr;
}

FakeWindow* FakeDesktop::findWindowByHandle(NativeWindow handle) const {
    std::lock_guard lock(mutex_);
    for (const auto& window : windows_) {
        if (window->handle() == handle && window->isOpen()) {
            return window.get();
        }
    }
    return nullptr;
}

int FakeDesktop::openWindowCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(windows_.begin(), windows_.end(), [](const auto& w) { return w->isOpen(); }));
}

std::vector<MessageBoxRecord> FakeDesktop::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void FakeDesktop::windowClosed(FakeWindow& window) {
    std::lock_guard lock(mutex_);
    const NativeWindow handle = window.handle();
    std::erase_if(zOrder_, [handle](const NativeEntry& e) {
        return e.handle == handle || e.parent == handle;
    });
}

void FakeDesktop::windowActivated(FakeWindow& window) {
    std::lock_guard lock(mutex_);
    ++activations_[&window];
}

int FakeDesktop::activations(const FakeWindow& window) const {
    std::lock_guard lock(mutex_);
    auto it = activations_.find(&window);
    return it == activations_.end() ? 0 : it->second;
}

}  // namespace kv::platform::fake

namespace kv::platform::fake {

Point FakeDesktop::clientToScreen(NativeWindow window, Point client) const {
    const Rect rect = windowRect(window);
    return {rect.left + client.x, rect.top + client.y};
}

Point FakeDesktop::screenToClient(NativeWindow window, Point screen) const {
    const Rect rect = windowRect(window);
    return {screen.x - rect.left, screen.y - rect.top};
}

std::array<std::uint8_t, 3> FakeDesktop::screenPixel(Point point) {
    return {static_cast<std::uint8_t>(point.x), static_cast<std::uint8_t>(point.y),
            static_cast<std::uint8_t>(point.x + 2 * point.y)};
}

ScreenPixels FakeDesktop::captureScreen(Rect area) {
    {
        std::lock_guard lock(mutex_);
        ++captures_;
        if (captureFails_) {
            return {};
        }
    }
    ScreenPixels pixels;
    if (area.width <= 0 || area.height <= 0) {
        return pixels;
    }
    pixels.width = area.width;
    pixels.height = area.height;
    pixels.bgr.reserve(static_cast<std::size_t>(area.area()) * 3);
    for (int y = area.top; y < area.bottom(); ++y) {
        for (int x = area.left; x < area.right(); ++x) {
            for (const std::uint8_t channel : screenPixel({x, y})) {
                pixels.bgr.push_back(channel);
            }
        }
    }
    return pixels;
}

std::unique_ptr<MouseHook> FakeDesktop::hookMouse(Window& receiver) {
    {
        std::lock_guard lock(mutex_);
        if (hooksRefused_) {
            return nullptr;
        }
    }
    return std::make_unique<FakeMouseHook>(*this, static_cast<FakeWindow&>(receiver));
}

void FakeDesktop::hookInstalled(FakeMouseHook& hook) {
    std::lock_guard lock(mutex_);
    hooks_.push_back(&hook);
}

void FakeDesktop::hookRemoved(FakeMouseHook& hook) {
    std::lock_guard lock(mutex_);
    std::erase(hooks_, &hook);
}

int FakeDesktop::liveHookCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(hooks_.size());
}

int FakeDesktop::hookProcedureCalls() const {
    std::lock_guard lock(mutex_);
    return hookProcedureCalls_;
}

void FakeDesktop::setHooksRefused(bool refused) {
    std::lock_guard lock(mutex_);
    hooksRefused_ = refused;
}

void FakeDesktop::setCaptureFails(bool fails) {
    std::lock_guard lock(mutex_);
    captureFails_ = fails;
}

int FakeDesktop::captureCount() const {
    std::lock_guard lock(mutex_);
    return captures_;
}

bool FakeDesktop::isLeftButtonDown() const {
    std::lock_guard lock(mutex_);
    return leftButtonDown_;
}

void FakeDesktop::setNativeRect(NativeWindow window, Rect rect) {
    std::lock_guard lock(mutex_);
    for (NativeEntry& e : zOrder_) {
        if (e.handle == window) {
            e.rect = rect;
        }
    }
}

void FakeDesktop::setClickThrough(NativeWindow window) {
    std::lock_guard lock(mutex_);
    for (NativeEntry& e : zOrder_) {
        if (e.handle == window || e.parent == window) {
            e.clickThrough = true;
        }
    }
}

// Every live hook's procedure runs, on the thread of the event, in the order
// the hooks were installed; the lock keeps a hook from going away meanwhile
// (the procedures only post, they never call back into the desktop).
void FakeDesktop::reportToHooks(const HookedMouseEvent& event) {
    std::lock_guard lock(mutex_);
    hookProcedureCalls_ += static_cast<int>(hooks_.size());
    for (FakeMouseHook* hook : hooks_) {
        hook->procedure(event);
    }
}

void FakeDesktop::pressWindowAt(Point screen, MouseButton button) {
    const NativeWindow under = windowAtPoint(screen);
    if (under == 0) {
        return;
    }
    FakeWindow* target = nullptr;
    Role role;
    {
        std::lock_guard lock(mutex_);
        for (const auto& window : windows_) {
            if (!window->isOpen()) {
                continue;
            }
            if (window->handle() == under) {
                target = window.get();
                break;
            }
            const Role found = window->roleOf(under);
            if (found != Role{}) {
                target = window.get();
                role = found;
                break;
            }
        }
    }
    if (target != nullptr) {
        target->userPresses(role, button, screenToClient(under, screen));
    }
}

namespace {
HookedMouseKind downKind(MouseButton button) {
    return button == MouseButton::left ? HookedMouseKind::leftDown : HookedMouseKind::otherDown;
}
HookedMouseKind upKind(MouseButton button) {
    return button == MouseButton::left ? HookedMouseKind::leftUp : HookedMouseKind::otherUp;
}
}  // namespace

void FakeDesktop::userPressesAt(Point screen, MouseButton button, bool deliver) {
    setCursorPosition(screen);
    if (button == MouseButton::left) {
        std::lock_guard lock(mutex_);
        leftButtonDown_ = true;
    }
    reportToHooks({downKind(button), screen, false});
    pressWindowAt(screen, button);
    if (deliver) {
        deliverQueued();
    }
}

void FakeDesktop::userMovesTo(Point screen, bool deliver) {
    setCursorPosition(screen);
    reportToHooks({HookedMouseKind::move, screen, false});
    if (deliver) {
        deliverQueued();
    }
}

void FakeDesktop::userReleasesAt(Point screen, MouseButton button, bool deliver) {
    setCursorPosition(screen);
    if (button == MouseButton::left) {
        std::lock_guard lock(mutex_);
        leftButtonDown_ = false;
    }
    reportToHooks({upKind(button), screen, false});
    if (deliver) {
        deliverQueued();
    }
}

void FakeDesktop::userReleasesLeftUnseen() {
    std::lock_guard lock(mutex_);
    leftButtonDown_ = false;
}

void FakeDesktop::programMouseEvent(MouseEvent event) {
    HookedMouseKind kind = HookedMouseKind::otherDown;
    switch (event) {
        case MouseEvent::leftDown:
            kind = HookedMouseKind::leftDown;
            break;
        case MouseEvent::leftUp:
            kind = HookedMouseKind::leftUp;
            break;
        case MouseEvent::rightDown:
        case MouseEvent::middleDown:
            kind = HookedMouseKind::otherDown;
            break;
        case MouseEvent::rightUp:
        case MouseEvent::middleUp:
            kind = HookedMouseKind::otherUp;
            break;
    }
    {
        std::lock_guard lock(mutex_);
        if (kind == HookedMouseKind::leftDown || kind == HookedMouseKind::leftUp) {
            leftButtonDown_ = kind == HookedMouseKind::leftDown;
        }
    }
    reportToHooks({kind, cursorPosition(), true});
}

}  // namespace kv::platform::fake
