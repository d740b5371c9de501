// The menu widgets on the game's own pictures: a button's hit-test edges, the
// highlight applied once, the cursor's blinking, and a question window answering
// at most once a frame whatever keys arrive together.
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "menus/my_cursor.hpp"
#include "platform/http_client.hpp"
#include "platform/link_opener.hpp"
#include "support/fake_shell.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vantorel {
namespace {

// The game's sprite engine and pictures, with a shell that only records calls.
class MenuWidgets : public ::testing::Test {
protected:
    TGameState& S() { return game.State(); }

    testing::TScenario game{5};
    TFakeShell shell{game.State()};
    TGameContext ctx{game.State(),
                     game.Form->MDXSpriteEngine,
                     game.Form->MDXImageList1,
                     game.Form->MDXImageList2,
                     shell,
                     shell};
    TRecordingLinkOpener links;
    TRecordingHttpClient http;
    TMenuScreens menus{ctx, game.Form->MenuItems, game.Form->Fixed, links, http};
};

TEST_F(MenuWidgets, ButtonContainsItsEdgesAndNothingBeyond) {
    auto* b = new TMenuButton(ctx, 1, 100, 200, 0, 0, "Back_I", "Back_A");
    const int32_t r = 100 + b->Width;
    const int32_t bottom = 200 + b->Height;
    struct TCase {
        int32_t X, Y;
        bool Hit;
    };
    const std::vector<TCase> cases = {
        {100, 200, true}, {r, bottom, true},   {r, 200, true},    {100, bottom, true},
        {99, 210, false}, {r + 1, 210, false}, {110, 199, false}, {110, bottom + 1, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(b->Contains(c.X, c.Y), c.Hit) << c.X << "," << c.Y;
    EXPECT_EQ(b->Z(), 4);
    b->Kill();
}

TEST_F(MenuWidgets, HighlightIsAppliedOnceAndUndoneWhenItMoves) {
    TGameState& s = S();
    s.Cursor.FirstItem = 11;
    s.Cursor.LastItem = 12;
    s.Cursor.ItemIndex = 12;
    auto* yes = new TMenuButton(ctx, 1, 304, 353, 1, 0, "Yes", "Yes");
    auto* no = new TMenuButton(ctx, 1, 427, 353, 1, 0, "No", "No");
    TMenuItems& items = game.Form->MenuItems;
    items[11] = yes;
    items[12] = no;
    EXPECT_EQ(yes->AnimPosition, 1);

    UpdateHighlight(s.Cursor, items);
    EXPECT_TRUE(no->HighlightShown());
    EXPECT_EQ(no->AnimPosition, 0);
    // Not applied again on the next frame: a change since then stays.
    no->AnimPosition = 0.25;
    UpdateHighlight(s.Cursor, items);
    EXPECT_EQ(no->AnimPosition, 0.25);

    s.Cursor.ItemIndex = 11;
    UpdateHighlight(s.Cursor, items);
    EXPECT_FALSE(no->HighlightShown());
    EXPECT_EQ(no->AnimPosition, 1);
    EXPECT_TRUE(yes->HighlightShown());
    KillItems(items, 11, 12);
    EXPECT_EQ(items[11], nullptr);
}

TEST_F(MenuWidgets, CursorBlinksEveryPeriodOnlyWhileBlinking) {
    S().Timing.FrameMs = 100;
    auto* cursor = new TMyCursor(ctx, 1, 500, 15, 220, 374, "Cursor");
    EXPECT_FALSE(cursor->Visible);
    cursor->Move(100);
    EXPECT_FALSE(cursor->Visible);

    cursor->Blinking = true;
    std::vector<bool> seen;
    for (int32_t i = 0; i < 13; ++i) {
        cursor->Move(100);
        seen.push_back(cursor->Visible);
    }
    // Countdown 0 runs out at once, then every 500 ms: five frames of 100 ms
    // count it down and the sixth changes it.
    const std::vector<bool> expected = {true,  true,  true,  true,  true,  true, false,
                                        false, false, false, false, false, true};
    EXPECT_EQ(seen, expected);
    cursor->Blinking = false;
    cursor->Move(100);
    EXPECT_FALSE(cursor->Visible);
    cursor->Kill();
}

TEST_F(MenuWidgets, QuestionAnswersOnceWhenYAndNArriveTogether) {
    TGameState& s = S();
    s.Cursor.WindowKind = TWindowKind::ClearTable;
    menus.ClearTable.Open();
    s.Input.SetPressed(TInputKey::Y, true);
    s.Input.SetPressed(TInputKey::N, true);
    menus.ClearTable.Tick(16);
    EXPECT_EQ(shell.Calls, (std::vector<std::string>{"ActivateItemNo 11"}));
    menus.ClearTable.Close();
}

TEST_F(MenuWidgets, ItemOutsideTheRangeDoesNothing) {
    TGameState& s = S();
    s.Cursor.WindowKind = TWindowKind::ClearTable;
    menus.ClearTable.Open();
    s.Saved.HighScores.Insert("ACE", 9000);
    // A stale highlight left from the screen below.
    s.Cursor.FirstItem = 11;
    s.Cursor.LastItem = 11;
    menus.ClearTable.ActivateItem(12);
    EXPECT_TRUE(shell.Calls.empty());
    menus.ClearTable.ActivateItem(3);
    EXPECT_TRUE(shell.Calls.empty());
    menus.ClearTable.ActivateItem(11);
    EXPECT_EQ(shell.Calls, (std::vector<std::string>{"CloseWindow", "SaveTable"}));
    EXPECT_EQ(s.Saved.HighScores[1].Name, "ANONYMOUS");
    menus.ClearTable.Close();
}

} // namespace
} // namespace vantorel
