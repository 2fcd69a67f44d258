#include "drag/row_drag.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/klikvane.h"
#include "app/main_window_layout.h"
#include "drag/bmp_image.h"
#include "drag/drag_image_layout.h"
#include "platform/fake/fake_desktop.h"
#include "steps/byte_order.h"
#include "steps/step_list.h"

namespace kv::drag {
namespace {

using mainwin::MainRole;
using platform::MouseButton;
using platform::Point;
using platform::Rect;
using platform::fake::FakeDesktop;
using platform::fake::FakeListControl;
using platform::fake::FakeWindow;
using steps::StepRecord;

constexpr int kRowHeight = FakeListControl::kRowHeight;
constexpr int kHeaderHeight = FakeListControl::kHeaderHeight;

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

StepRecord rowNamed(int n) {
    const std::string s = std::to_string(n);
    return {"x" + s, "y" + s, "左键", "单击", "100" + s, s, "文字" + s};
}

class RowDragTest : public ::testing::Test {
public:
    FakeDesktop desktop;
    app::Klikvane program{desktop};
    FakeWindow* main = nullptr;
    platform::NativeWindow header = 0;

    void SetUp() override {
        main = static_cast<FakeWindow*>(program.openMainWindow());
        ASSERT_NE(main, nullptr);
        // The list's header is a window of its own, in front of the list.
        const Rect list = listRect();
        header = desktop.addNativeWindow(main->controlHandle(MainRole::stepList),
                                         {list.left, list.top, list.width, kHeaderHeight});
    }
    void addRows(int n) {
        steps::StepList steps(main->list(MainRole::stepList));
        for (int i = 0; i < n; ++i) {
            steps.appendStep(rowNamed(i));
        }
    }
    FakeListControl& list() { return main->fakeList(MainRole::stepList); }
    Rect listRect() const { return desktop.windowRect(main->controlHandle(MainRole::stepList)); }
    // A screen point inside a row as the list shows it now.
    Point rowPoint(int row, int dx = 30, int dy = kRowHeight / 2) {
        const Rect bounds = list().rowBounds(row);
        return desktop.clientToScreen(main->controlHandle(MainRole::stepList),
                                      {bounds.left + dx, bounds.top + dy});
    }
    Point controlPoint(MainRole role) {
        const Rect r = desktop.windowRect(main->controlHandle(role));
        return {r.left + r.width / 2, r.top + r.height / 2};
    }
    std::vector<StepRecord> rows() {
        steps::StepList steps(main->list(MainRole::stepList));
        std::vector<StepRecord> all;
        for (int r = 0; r < steps.rowCount(); ++r) {
            all.push_back(steps.readRow(r).value_or(StepRecord{}));
        }
        return all;
    }
    const RowDrag& drag() { return program.mainWindow().rowDrag(); }
    FakeWindow* picture() { return desktop.findWindow(kDragImageWindowSpec); }
    // Press, move through the middle, rest long enough for the window under
    // the mouse to be sampled, then release.
    void dragAndDrop(Point from, Point to) {
        desktop.userPressesAt(from);
        desktop.userMovesTo({(from.x + to.x) / 2, (from.y + to.y) / 2});
        desktop.userMovesTo(to);
        desktop.clock().runFor(150);
        desktop.userReleasesAt(to);
    }
    void expectNoDragLeft() {
        EXPECT_FALSE(drag().isLive());
        EXPECT_EQ(desktop.liveHookCount(), 0);
        EXPECT_EQ(picture(), nullptr);
        EXPECT_FALSE(drag().dragImageShown());
    }
};

// Where the user lets go, and what becomes of rows 0..3.
enum class Outcome { swapped0and3, unchanged, deleted0, swapped0and2, swapped0and1 };

struct DropCase {
    const char* name;
    std::function<Point(RowDragTest&)> target;
    Outcome outcome;
    bool restBeforeRelease = true;
};

class RowDropTable : public RowDragTest {};

TEST_F(RowDropTable, EachPlaceOfReleaseExchangesKeepsOrDeletes) {
    const std::vector<DropCase> cases = {
        {"onto row 3", [](RowDragTest& t) { return t.rowPoint(3); }, Outcome::swapped0and3},
        {"onto itself", [](RowDragTest& t) { return t.rowPoint(0, 200, 3); }, Outcome::unchanged},
        {"below the last row",
         [](RowDragTest& t) {
             return Point{t.listRect().left + 30, t.listRect().bottom() - 5};
         },
         Outcome::unchanged},
        {"on the header",
         [](RowDragTest& t) {
             return Point{t.listRect().left + 30, t.listRect().top + 5};
         },
         Outcome::deleted0},
        {"on a button", [](RowDragTest& t) { return t.controlPoint(MainRole::startButton); },
         Outcome::deleted0},
        {"on the desktop",
         [](RowDragTest&) {
             return Point{5, 5};
         },
         Outcome::deleted0},
        {"in another program",
         [](RowDragTest& t) {
             t.desktop.addNativeWindow(0, {1000, 10, 200, 200});
             return Point{1100, 100};
         },
         Outcome::deleted0},
        {"in another program before the window under the mouse was sampled again",
         [](RowDragTest& t) {
             t.desktop.addNativeWindow(0, {1000, 10, 200, 200});
             return Point{1100, 100};
         },
         Outcome::unchanged, false},
        {"on the common edge of rows 2 and 3", [](RowDragTest& t) { return t.rowPoint(3, 30, 0); },
         Outcome::swapped0and2},
        {"at a negative point",
         [](RowDragTest&) {
             return Point{-300, -40};
         },
         Outcome::deleted0},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        steps::StepList(main->list(MainRole::stepList)).deleteAllRows();
        addRows(4);
        const std::vector<StepRecord> before = rows();
        const int writesBefore = list().writes();
        const Point to = c.target(*this);
        const Point from = rowPoint(0);
        desktop.userPressesAt(from);
        desktop.userMovesTo({from.x + 3, from.y + 3});
        if (c.restBeforeRelease) {
            desktop.userMovesTo(to);
            desktop.clock().runFor(150);
        } else {
            desktop.clock().runFor(150);  // sampled over the list
            desktop.userMovesTo(to);
        }
        desktop.userReleasesAt(to);
        expectNoDragLeft();

        std::vector<StepRecord> expected = before;
        switch (c.outcome) {
            case Outcome::swapped0and3:
                expected = {before[3], before[1], before[2], before[0]};
                break;
            case Outcome::swapped0and2:
                expected = {before[2], before[1], before[0], before[3]};
                break;
            case Outcome::swapped0and1:
                expected = {before[1], before[0], before[2], before[3]};
                break;
            case Outcome::deleted0:
                expected = {before[1], before[2], before[3]};
                break;
            case Outcome::unchanged:
                EXPECT_EQ(list().writes(), writesBefore) << "nothing written";
                break;
        }
        EXPECT_EQ(rows(), expected);
        // Desktop windows added by a case are left where they are; each case
        // releases over its own point.
    }
}

TEST_F(RowDragTest, AClickWithoutMovingShowsNoPictureAndWritesNothing) {
    addRows(4);
    const std::vector<StepRecord> before = rows();
    const int writes = list().writes();
    desktop.userPressesAt(rowPoint(1));
    EXPECT_TRUE(drag().isLive());
    EXPECT_EQ(list().selectedRow(), 1) << "the press keeps its ordinary effect";
    desktop.userReleasesAt(rowPoint(1));
    expectNoDragLeft();
    EXPECT_EQ(desktop.captureCount(), 0);
    EXPECT_EQ(list().writes(), writes);
    EXPECT_EQ(rows(), before);
}

TEST_F(RowDragTest, APressOnNoRowOrWithAnotherButtonStartsNothing) {
    addRows(2);
    desktop.userPressesAt({listRect().left + 30, listRect().bottom() - 5});
    EXPECT_FALSE(drag().isLive());
    desktop.userPressesAt(rowPoint(0), MouseButton::right);
    EXPECT_FALSE(drag().isLive());
    EXPECT_EQ(desktop.liveHookCount(), 0);
}

TEST_F(RowDragTest, AReleaseAboveTheListOverARowScrolledOutOfViewExchangesWithIt) {
    addRows(6);
    const std::vector<StepRecord> before = rows();
    list().scrollTo(2);
    // Row 0 now lies 40 pixels above the first row shown: above the list.
    const Point above = rowPoint(0, 30, 5);
    ASSERT_LT(above.y, listRect().top);
    dragAndDrop(rowPoint(3), above);
    std::vector<StepRecord> expected = before;
    std::swap(expected[0], expected[3]);
    EXPECT_EQ(rows(), expected);
}

TEST_F(RowDragTest, CellsTravelWholeByteForByteWithTheirRowKeys) {
    steps::StepList steps(main->list(MainRole::stepList));
    const StepRecord longRow = {
        repeated("字", 256),        std::string(2000, 'a'), "", "中键", "", "",
        repeated("中文", 500) + "z"};
    const StepRecord plainRow = {"1", "2", "左键", "单击", "1000", "1", ""};
    steps.appendStep(longRow);
    steps.appendStep(plainRow);
    const platform::RowKey longKey = list().rowKey(0);
    const platform::RowKey plainKey = list().rowKey(1);
    dragAndDrop(rowPoint(0), rowPoint(1));
    EXPECT_EQ(rows(), (std::vector<StepRecord>{plainRow, longRow}));
    EXPECT_EQ(list().rowKey(0), plainKey) << "each row's key goes with its texts";
    EXPECT_EQ(list().rowKey(1), longKey);
}

TEST_F(RowDragTest, TheLastOfTenThousandRowsOntoTheFirstAndBackRestoresTheList) {
    {
        steps::StepList steps(main->list(MainRole::stepList));
        steps::BulkUpdate bulk(steps);
        addRows(10000);
    }
    const std::vector<StepRecord> before = rows();
    list().scrollTo(9990);
    const int queriesBefore = list().boundsQueries();
    dragAndDrop(rowPoint(9999), rowPoint(0));
    EXPECT_LE(list().boundsQueries() - queriesBefore, 20) << "no question per row";
    EXPECT_EQ(rows()[0], before[9999]);
    EXPECT_EQ(rows()[9999], before[0]);
    list().scrollTo(0);
    dragAndDrop(rowPoint(0), rowPoint(9999));
    EXPECT_EQ(rows(), before);
}

TEST_F(RowDragTest, RowAtPointIncludesAllFourEdgesAndTheUpperRowWinsOnACommonEdge) {
    addRows(3);
    const Rect r1 = list().rowBounds(1);
    EXPECT_EQ(rowAtPoint(list(), {r1.left, r1.top}), 0) << "row 0's bottom edge";
    EXPECT_EQ(rowAtPoint(list(), {r1.left, r1.top + 1}), 1);
    EXPECT_EQ(rowAtPoint(list(), {r1.right(), r1.bottom() - 1}), 1);
    EXPECT_EQ(rowAtPoint(list(), {r1.right() + 1, r1.top + 1}), -1);
    EXPECT_EQ(rowAtPoint(list(), {r1.left - 1, r1.top + 1}), -1);
    const Rect r2 = list().rowBounds(2);
    EXPECT_EQ(rowAtPoint(list(), {r2.left, r2.bottom()}), 2) << "the last row's bottom edge";
    EXPECT_EQ(rowAtPoint(list(), {r2.left, r2.bottom() + 1}), -1);
    EXPECT_EQ(rowAtPoint(list(), {r1.left, list().rowBounds(0).top - 1}), -1);
}

// ---- every end, and every cancel, leaves no hook and no picture ----

class DragEnds : public RowDragTest {
protected:
    std::vector<StepRecord> before;
    void SetUp() override {
        RowDragTest::SetUp();
        addRows(4);
        before = rows();
        desktop.userPressesAt(rowPoint(0));
        desktop.userMovesTo(rowPoint(2));
        desktop.userMovesTo(rowPoint(3));
        ASSERT_TRUE(drag().isLive());
        ASSERT_NE(picture(), nullptr);
        ASSERT_EQ(desktop.liveHookCount(), 1);
    }
    // A release over the desktop would delete the row if the drag were live.
    void releaseOnDesktop() {
        desktop.userMovesTo({5, 5});
        desktop.clock().runFor(150);
        desktop.userReleasesAt({5, 5});
    }
};

TEST_F(DragEnds, TheMainWindowClosingMidDragEndsItAndSavesTheListUnchanged) {
    main->close();
    expectNoDragLeft();
    EXPECT_EQ(desktop.openWindowCount(), 0);
    desktop.userReleasesAt({5, 5});
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, TheLeftButtonFoundUpWithNoReleaseCancelsAtTheNextRefresh) {
    desktop.userReleasesLeftUnseen();
    desktop.clock().runFor(100);
    expectNoDragLeft();
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, TheLeftButtonFoundUpWithNoReleaseCancelsAtTheNextHookEvent) {
    desktop.userReleasesLeftUnseen();
    desktop.userMovesTo({5, 5});
    expectNoDragLeft();
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, AReleaseStillQueuedCountsAsReported) {
    desktop.userReleasesAt(rowPoint(3), MouseButton::left, /*deliver=*/false);
    program.mainWindow().uiRefreshTick(*main);
    EXPECT_TRUE(drag().isLive());
    desktop.deliverQueued();
    expectNoDragLeft();
    EXPECT_EQ(rows(), (std::vector<StepRecord>{before[3], before[1], before[2], before[0]}));
}

TEST_F(DragEnds, ASecondPressCancels) {
    desktop.userPressesAt({5, 5}, MouseButton::right);
    expectNoDragLeft();
    releaseOnDesktop();
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, TheMainWindowMinimisedCancels) {
    main->minimize();
    expectNoDragLeft();
    releaseOnDesktop();
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, TheProgramsOwnPlaybackClickCancels) {
    desktop.input().sendMouseEvent(platform::MouseEvent::leftDown);
    desktop.input().sendMouseEvent(platform::MouseEvent::leftUp);
    desktop.deliverQueued();
    expectNoDragLeft();
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, AReleaseHandledAfterTheEndChangesNothing) {
    desktop.userMovesTo({5, 5});
    desktop.clock().runFor(150);
    desktop.userReleasesAt({5, 5}, MouseButton::left, /*deliver=*/false);
    main->minimize();  // the drag ends before the queued release is handled
    desktop.deliverQueued();
    expectNoDragLeft();
    EXPECT_EQ(rows(), before);
}

TEST_F(DragEnds, RowsDeletedDuringTheDragMakeTheDropChangeNothing) {
    steps::StepList(main->list(MainRole::stepList)).deleteRow(1);
    const std::vector<StepRecord> now = rows();
    desktop.userReleasesAt(rowPoint(2));
    expectNoDragLeft();
    EXPECT_EQ(rows(), now);
}

TEST_F(DragEnds, TheDragObjectGoingAwayEndsIt) {
    {
        RowDrag standalone(desktop, program.shared());
        desktop.userReleasesAt(rowPoint(3));  // ends the main window's drag
        desktop.userPressesAt(rowPoint(1));   // and starts another
        standalone.onListPress(
            *main, MouseButton::left,
            desktop.screenToClient(main->controlHandle(MainRole::stepList), rowPoint(2)));
        EXPECT_TRUE(standalone.isLive());
        EXPECT_EQ(desktop.liveHookCount(), 2);
    }
    EXPECT_EQ(desktop.liveHookCount(), 1);
}

TEST_F(DragEnds, TheHookProcedureOnlyReportsTheWorkRunsInTheWindow) {
    releaseOnDesktop();  // end the drag from SetUp
    const int captures = desktop.captureCount();
    desktop.userPressesAt(rowPoint(1));
    const Point to = rowPoint(2);
    const int calls = desktop.hookProcedureCalls();
    const int queries = list().boundsQueries();
    desktop.userMovesTo(to, /*deliver=*/false);
    EXPECT_EQ(desktop.hookProcedureCalls(), calls + 1);
    EXPECT_EQ(desktop.captureCount(), captures);
    EXPECT_EQ(list().boundsQueries(), queries);
    EXPECT_EQ(picture(), nullptr);
    desktop.deliverQueued();
    EXPECT_EQ(desktop.captureCount(), captures + 1);
    EXPECT_NE(picture(), nullptr);
}

TEST_F(RowDragTest, AHookTheSystemRefusesMeansNoDragButTheRowIsSelected) {
    addRows(3);
    desktop.setHooksRefused(true);
    desktop.userPressesAt(rowPoint(2));
    EXPECT_FALSE(drag().isLive());
    EXPECT_EQ(list().selectedRow(), 2);
    desktop.userMovesTo({5, 5});
    desktop.clock().runFor(150);
    desktop.userReleasesAt({5, 5});
    EXPECT_EQ(rows().size(), 3u);
}

// ---- the picture ----

TEST_F(RowDragTest, ThePictureAppearsAtTheFirstMoveThenFollowsAtPointMinusGrabOffset) {
    addRows(4);
    const Point press = rowPoint(1, 37, 6);
    desktop.userPressesAt(press);
    const Rect bounds = list().rowBounds(1);
    EXPECT_EQ(drag().grabOffset(), (Point{37, 6}));
    EXPECT_EQ(picture(), nullptr);

    desktop.userMovesTo({press.x + 10, press.y + 50});
    FakeWindow* shown = picture();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(desktop.windowRect(shown->handle()),
              (Rect{press.x + 10 - 37, press.y + 50 - 6, bounds.width, bounds.height}));
    EXPECT_EQ(shown->seeThroughAlpha(), 180);
    EXPECT_EQ(shown->controlRect(DragImageRole::dragPicture),
              (Rect{5, 1, bounds.width, bounds.height}));
    // The mouse passes through: the window under it is the one beneath.
    EXPECT_NE(desktop.windowAtPoint({press.x + 10, press.y + 50}), shown->handle());

    const Point rowCorner =
        desktop.clientToScreen(main->controlHandle(MainRole::stepList), {bounds.left, bounds.top});
    const std::string bmp = shown->picture(DragImageRole::dragPicture);
    steps::ByteReader in(bmp);
    EXPECT_EQ(in.i32(18), bounds.width);
    EXPECT_EQ(in.i32(22), bounds.height);
    // The top-left pixel is the last row of the file.
    const std::size_t topLeft =
        kBmpPixelOffset + bmpRowStride(bounds.width) * static_cast<std::size_t>(bounds.height - 1);
    const auto expected = FakeDesktop::screenPixel(rowCorner);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft]), expected[0]);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft + 1]), expected[1]);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft + 2]), expected[2]);

    desktop.userMovesTo({200, 300});
    EXPECT_EQ(desktop.windowRect(shown->handle()),
              (Rect{200 - 37, 300 - 6, bounds.width, bounds.height}));
    EXPECT_EQ(desktop.captureCount(), 1) << "taken once, at the first move";
    desktop.userReleasesAt({200, 300});
    EXPECT_FALSE(shown->isOpen());
}

TEST_F(RowDragTest, AFailedCaptureGivesAnEmptyPictureInAWindowOfTheRowsSize) {
    addRows(2);
    desktop.setCaptureFails(true);
    desktop.userPressesAt(rowPoint(0));
    desktop.userMovesTo(rowPoint(1));
    FakeWindow* shown = picture();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->picture(DragImageRole::dragPicture).empty());
    EXPECT_EQ(desktop.windowRect(shown->handle()).width, list().rowBounds(0).width);
    desktop.userReleasesAt(rowPoint(1));
    EXPECT_EQ(rows()[0], rowNamed(1));
}

TEST_F(RowDragTest, ARowPartlyOffScreenIsCaughtClippedAtEachEdge) {
    addRows(1);
    const platform::NativeWindow listHandle = main->controlHandle(MainRole::stepList);
    const Rect row = list().rowBounds(0);  // 475 x 20 at list 0, 24
    struct Case {
        const char* edge;
        Point mainAt;
        int width;
        int height;
        Point firstPixel;
    };
    const Case cases[] = {
        {"left", {-100, 300}, row.width - 100, row.height, {0, 324}},
        {"top", {300, -30}, row.width, row.height - 6, {300, 0}},
        {"right",
         {FakeDesktop::kScreenWidth - 75, 300},
         75,
         row.height,
         {FakeDesktop::kScreenWidth - 75, 324}},
        {"bottom",
         {300, FakeDesktop::kScreenHeight - 32},
         row.width,
         8,
         {300, FakeDesktop::kScreenHeight - 8}},
        {"wholly off", {-1000, 300}, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        main->moveTo(c.mainAt);
        const std::string bmp = captureRowImage(desktop, list(), listHandle, 0);
        if (c.width == 0) {
            EXPECT_TRUE(bmp.empty());
            continue;
        }
        steps::ByteReader in(bmp);
        EXPECT_EQ(in.i32(18), c.width);
        EXPECT_EQ(in.i32(22), c.height);
        const std::size_t topLeft =
            kBmpPixelOffset + bmpRowStride(c.width) * static_cast<std::size_t>(c.height - 1);
        const auto expected = FakeDesktop::screenPixel(c.firstPixel);
        EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft]), expected[0]);
        EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft + 1]), expected[1]);
        EXPECT_EQ(static_cast<std::uint8_t>(bmp[topLeft + 2]), expected[2]);
    }
}

TEST(BmpImage, HeadersAndBottomUpRowsPaddedToFourBytes) {
    platform::ScreenPixels pixels;
    pixels.width = 2;
    pixels.height = 2;
    // Top row: (1,2,3) (4,5,6); bottom row: (7,8,9) (10,11,12).
    pixels.bgr = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::string bmp = encodeBmp(pixels);
    const unsigned char expected[] = {
        'B', 'M', 70, 0,  0,  0,  0, 0, 0, 0, 54, 0, 0, 0,         // file header
        40,  0,   0,  0,  2,  0,  0, 0, 2, 0, 0,  0, 1, 0, 24, 0,  // size, w, h, planes, bits
        0,   0,   0,  0,  16, 0,  0, 0, 0, 0, 0,  0, 0, 0, 0,  0,  // BI_RGB, image size
        0,   0,   0,  0,  0,  0,  0, 0,                            // colours
        7,   8,   9,  10, 11, 12, 0, 0,                            // bottom row first
        1,   2,   3,  4,  5,  6,  0, 0,
    };
    EXPECT_EQ(bmp, std::string(reinterpret_cast<const char*>(expected), sizeof expected));

    pixels.width = 4;  // 12 bytes a row: no padding
    pixels.height = 1;
    pixels.bgr.assign(12, 0xAB);
    const std::string wide = encodeBmp(pixels);
    EXPECT_EQ(wide.size(), 54u + 12u);
    EXPECT_EQ(encodeBmp({}), "");
    pixels.bgr.pop_back();  // pixels that do not fill the size
    EXPECT_EQ(encodeBmp(pixels), "");
}

}  // namespace
}  // namespace kv::drag

namespace kv::drag {
namespace {

// A pass plays on its worker while the user exchanges and deletes rows with
// the mouse: every step played is one whole row, and none is played from
// past the list's end.
TEST_F(RowDragTest, ThreadedPassSeesEachRowWholeWhileDropsExchangeAndDelete) {
    steps::StepList steps(main->list(MainRole::stepList));
    for (int i = 0; i < 8; ++i) {
        const std::string at = std::to_string(10 * (i + 1));
        steps.appendStep({at, at, "左键", "单击", "100", "1", ""});
    }
    desktop.clock().runFor(100);  // the refresh enables the loop mode
    main->userClicks(MainRole::loopRadio);
    main->userClicks(MainRole::startButton);
    int drops = 0;
    for (int round = 0; round < 24; ++round) {
        main->userRestores();
        const int count = steps.rowCount();
        if (count < 3) {
            break;
        }
        const Point from = rowPoint(round % count);
        if (round % 3 == 2) {
            desktop.userPressesAt(from);
            desktop.userMovesTo({5, 5});
            desktop.clock().runFor(100);
            desktop.userReleasesAt({5, 5});
        } else {
            desktop.userPressesAt(from);
            desktop.userMovesTo(rowPoint((round + 2) % count));
            desktop.userReleasesAt(rowPoint((round + 2) % count));
        }
        ++drops;
        desktop.clock().runFor(170 + 37 * (round % 5));
    }
    main->userClicks(MainRole::startButton);
    desktop.clock().finishWorkers();
    EXPECT_GT(drops, 10);

    int moves = 0;
    for (const auto& record : desktop.fakeInput().records()) {
        if (record.kind != platform::fake::InputRecord::Kind::move) {
            continue;
        }
        ++moves;
        EXPECT_EQ(record.point.x, record.point.y) << "a step mixed from two rows";
        EXPECT_NE(record.point, (Point{0, 0})) << "a row played from past the end";
    }
    EXPECT_GT(moves, 8);
    EXPECT_EQ(desktop.liveHookCount(), 0);
}

}  // namespace
}  // namespace kv::drag
