// One copy of the program per folder: copies are programs on fake desktops
// that share one system's named objects.
#include "app/one_copy_per_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "platform/fake/fake_desktop.h"

namespace kv::app {
namespace {

using platform::fake::FakeDesktop;
using platform::fake::FakeWindow;

struct Copy {
    explicit Copy(const std::string& folder) { desktop.setProgramDirectory(folder); }
    FakeDesktop desktop;
    Klikvane program{desktop};
    FakeWindow* mainWindow() { return desktop.findWindow(kMainWindowSpec); }
    bool touchedNoFile() {
        return desktop.fakeFiles().readCount() == 0 && desktop.fakeFiles().writeCount() == 0 &&
               desktop.fakeFiles().paths().empty();
    }
    // Runs the program as the process does, closing its window at closeAt.
    void runUntilClosedAt(long closeAt) {
        desktop.clock().at(closeAt, [this] {
            if (FakeWindow* w = mainWindow()) {
                w->close();
            }
        });
        program.run();
    }
};

// What became of a later copy started while the first one ran minimised.
struct Outcome {
    bool laterOpenedAWindow = false;
    bool laterTouchedNoFile = false;
    std::size_t laterMessages = 0;
    std::string laterMessage;
    int firstBroughtForward = 0;
    bool firstRestored = false;
    int firstActivations = 0;
};

Outcome startASecondCopy(const std::string& firstFolder, const std::string& laterFolder,
                         const std::function<void(Copy& first, Copy& later)>& arrange = {}) {
    Copy first{firstFolder};
    Copy later{laterFolder};
    later.desktop.fakeCopies().joinSystemOf(first.desktop);
    if (arrange) {
        arrange(first, later);
    }
    Outcome o;
    first.desktop.clock().at(500, [&] { first.mainWindow()->minimize(); });
    first.desktop.clock().at(1000, [&] {
        FakeWindow* window = first.mainWindow();
        const int activationsBefore = first.desktop.activations(*window);
        later.desktop.clock().at(100,
                                 [&] { o.laterOpenedAWindow = later.mainWindow() != nullptr; });
        later.runUntilClosedAt(200);
        o.firstRestored = !window->isMinimized();
        o.firstActivations = first.desktop.activations(*window) - activationsBefore;
    });
    first.runUntilClosedAt(5000);
    o.laterTouchedNoFile = later.touchedNoFile();
    o.laterMessages = later.desktop.messages().size();
    if (o.laterMessages > 0) {
        o.laterMessage =
            later.desktop.messages()[0].text + " | " + later.desktop.messages()[0].title;
    }
    o.firstBroughtForward = first.desktop.fakeCopies().timesBroughtForward();
    return o;
}

TEST(OneCopyPerFolder, ASecondCopyInTheSameFolderBringsTheFirstForwardAndEndsUntouched) {
    // Windows compares paths without case: both are the same folder.
    for (const char* folder : {"C:\\Tools\\Klikvane", "c:\\TOOLS\\klikvane"}) {
        const Outcome o = startASecondCopy("C:\\Tools\\Klikvane", folder);
        EXPECT_FALSE(o.laterOpenedAWindow) << folder;
        EXPECT_TRUE(o.laterTouchedNoFile) << folder;
        EXPECT_EQ(o.laterMessages, 0u) << folder;
        EXPECT_EQ(o.firstBroughtForward, 1) << folder;
        EXPECT_TRUE(o.firstRestored) << folder;
        EXPECT_EQ(o.firstActivations, 1) << folder;
    }
}

TEST(OneCopyPerFolder, ACopyInAnotherFolderRunsWithItsOwnList) {
    const Outcome o = startASecondCopy("C:\\Tools\\Klikvane", "C:\\Tools\\Klikvane2");
    EXPECT_TRUE(o.laterOpenedAWindow);
    EXPECT_FALSE(o.laterTouchedNoFile);  // it read and saved its own store
    EXPECT_EQ(o.firstBroughtForward, 0);
    EXPECT_FALSE(o.firstRestored);
}

TEST(OneCopyPerFolder, WithoutNamedObjectsEveryCopyRunsAsBefore) {
    const Outcome o = startASecondCopy("C:\\K", "C:\\K", [](Copy&, Copy& later) {
        later.desktop.fakeCopies().setUnavailable(true);
    });
    EXPECT_TRUE(o.laterOpenedAWindow);
    EXPECT_EQ(o.laterMessages, 0u);
    EXPECT_EQ(o.firstBroughtForward, 0);
}

TEST(OneCopyPerFolder, ARunningCopyThatDoesNotAnswerIsReportedAndTheSecondEnds) {
    const Outcome o = startASecondCopy(
        "C:\\K", "C:\\K", [](Copy& first, Copy&) { first.desktop.fakeCopies().setHung(true); });
    EXPECT_FALSE(o.laterOpenedAWindow);
    EXPECT_TRUE(o.laterTouchedNoFile);
    EXPECT_EQ(o.laterMessage, "Klikvane已在此文件夹中运行,但没有响应 | 鼠标自动点击");
    EXPECT_FALSE(o.firstRestored);
}

TEST(OneCopyPerFolder, TheFolderIsFreeAgainOnceTheFirstCopyHasEnded) {
    auto first = std::make_unique<Copy>("C:\\K");
    Copy next{"C:\\K"};
    next.desktop.fakeCopies().joinSystemOf(first->desktop);
    first->runUntilClosedAt(100);
    EXPECT_EQ(next.desktop.copies().claimFolder(), platform::FolderClaim::heldElsewhere);
    first.reset();  // the process ends
    EXPECT_EQ(next.desktop.copies().claimFolder(), platform::FolderClaim::claimed);
}

}  // namespace
}  // namespace kv::app
