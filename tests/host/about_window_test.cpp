// F8 and the about window; the two links, on the fake desktop.
#include <gtest/gtest.h>

#include "app/about_window_layout.h"
#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "app/open_web_address.h"
#include "platform/fake/fake_desktop.h"

namespace kv::app {
namespace {

using platform::MouseButton;
using platform::Role;
using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;
using platform::fake::ShellCall;

constexpr int kKeyF8 = 119;

class AboutWindowTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    Klikvane program{desktop};
    FakeWindow* main = nullptr;

    void SetUp() override { main = static_cast<FakeWindow*>(program.openMainWindow()); }
    FakeWindow* about() { return desktop.findWindow(kAboutWindowSpec); }
    // Presses F8; `whileOpen` runs 10 ms later inside the about window's modal loop.
    void pressF8(std::function<void()> whileOpen) {
        desktop.clock().after(10, std::move(whileOpen));
        EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF8));
    }
    // Each open: the address as the file, nothing else, a normal window.
    void expectAddressOpens(int times) {
        const std::vector<ShellCall> calls = desktop.fakeShell().calls();
        ASSERT_EQ(calls.size(), static_cast<std::size_t>(times));
        for (const ShellCall& call : calls) {
            EXPECT_EQ(call.file, kWebAddress);
            EXPECT_EQ(call.parameters, "");
            EXPECT_EQ(call.show, platform::ShowMode::normal);
            EXPECT_EQ(call.workingFolder, "");
        }
    }
};

TEST_F(AboutWindowTest, F8OpensItCentredBorderlessWithNameAndVersion) {
    pressF8([&] {
        ASSERT_NE(about(), nullptr);
        EXPECT_EQ(about()->spec().frame, platform::Frame::none);
        EXPECT_EQ(about()->outerRect(),
                  (platform::Rect{(FakeDesktop::kScreenWidth - 178) / 2,
                                  (FakeDesktop::kScreenHeight - 169) / 2, 178, 169}));
        EXPECT_EQ(about()->text(AboutRole::nameLabel), "Klikvane 1.0.0");
        about()->userPressesEscape();
    });
    EXPECT_EQ(about(), nullptr);  // the hotkey returned once the window had closed
}

TEST_F(AboutWindowTest, F8WhileItIsOpenOnlyActivatesIt) {
    pressF8([&] {
        FakeWindow* first = about();
        desktop.clock().after(10, [&, first] {
            EXPECT_EQ(about(), first);
            EXPECT_EQ(desktop.activations(*first), 1);
            first->userPressesEscape();
        });
        EXPECT_TRUE(desktop.userPressesHotkey(0, kKeyF8));  // returns at once
        EXPECT_EQ(desktop.activations(*first), 1);
    });
    EXPECT_EQ(desktop.openWindowCount(), 1);
}

TEST_F(AboutWindowTest, RightPressAnywhereClosesIt) {
    for (const Role where : {Role{}, Role(AboutRole::nameLabel), Role(AboutRole::aboutLinkLabel)}) {
        pressF8([&] { about()->userPresses(where, MouseButton::right, {5, 5}); });
        EXPECT_EQ(about(), nullptr);
    }
    expectAddressOpens(0);
}

TEST_F(AboutWindowTest, BothLinksOpenTheAddressInTheDefaultBrowser) {
    pressF8([&] {
        about()->userPresses(AboutRole::aboutLinkLabel, MouseButton::left, {3, 3});
        about()->userPresses(AboutRole::nameLabel, MouseButton::left, {3, 3});  // no link
        about()->userPressesEscape();
    });
    main->userPresses(MainRole::linkLabel, MouseButton::left, {3, 3});
    main->userPresses(MainRole::linkLabel, MouseButton::right, {3, 3});
    expectAddressOpens(2);
}

TEST_F(AboutWindowTest, AnAddressThatCannotBeOpenedIsNotReported) {
    desktop.fakeShell().answer(platform::ShellResult::noAssociation);
    main->userPresses(MainRole::linkLabel, MouseButton::left, {3, 3});
    expectAddressOpens(1);
    EXPECT_TRUE(desktop.messages().empty());
    EXPECT_TRUE(main->isOpen());
}

// The tray menu's "退出" while the about window is open: the main window is
// destroyed and saved once, the about window stays until it closes.
TEST_F(AboutWindowTest, ExitWhileTheAboutWindowIsOpenSavesOnceAndEndsAfterIt) {
    const int writesAtStart = desktop.fakeFiles().writeCount();
    main->userMinimizes();
    pressF8([&] {
        main->answerNextMenu(0, MainRole::menuExit);
        main->userRightClicksTrayIcon();
        EXPECT_FALSE(main->isOpen());
        EXPECT_NE(about(), nullptr);
        about()->userPressesEscape();
    });
    EXPECT_EQ(desktop.openWindowCount(), 0);
    EXPECT_EQ(desktop.fakeFiles().writeCount(), writesAtStart + 1);
}

}  // namespace
}  // namespace kv::app
