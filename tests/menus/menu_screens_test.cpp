// The menus played through the real frame loop, headless: the fade-in, reaching
// and leaving every screen by keys and by the pointer, every item's action, the
// add text, clearing the table, a qualifying score through the name entry, and
// a gamepad alone from the menu through a game and back.
#include "menus/menu_fixture.hpp"
#include "menus/my_cursor.hpp"
#include "objects/my_image_sprite.hpp"
#include "storage/links.hpp"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using Screen = TScreenCode;
using Window = TWindowKind;

// Where a player points to hit the main menu's items: inside each button.
int32_t MainItemY(int32_t item) {
    constexpr int32_t kY[] = {156, 205, 260, 311, 360, 407};
    return kY[item - 1] + 10;
}

TEST_F(MenuScenario, IntroFadesLogosThenItemsOneAfterAnother) {
    TMainMenuScreen& menu = Menus().MainMenu;
    ASSERT_TRUE(menu.IntroRunning());
    ASSERT_NE(menu.UpLogo(), nullptr);
    EXPECT_TRUE(menu.UpLogo()->AlphaMode);
    for (int32_t k = 1; k <= 6; ++k)
        EXPECT_TRUE(game.Form->MenuItems[static_cast<size_t>(k)]->AlphaMode);

    // Keys do nothing while it runs; the pointer still moves the highlight.
    Key(TKey::Down);
    EXPECT_EQ(S().Cursor.ItemIndex, 1);
    Hover(300, MainItemY(4));
    EXPECT_EQ(S().Cursor.ItemIndex, 4);

    int64_t frames = 0;
    while (menu.IntroRunning() && frames < 600) {
        game.RunFrames(1);
        ++frames;
        // An item starts only once the one above it is at 80.
        for (int32_t k = 2; k <= 6; ++k) {
            if (game.Form->MenuItems[static_cast<size_t>(k)]->Alpha > 0) {
                EXPECT_GE(game.Form->MenuItems[static_cast<size_t>(k - 1)]->Alpha, 80)
                    << "item " << k;
            }
        }
    }
    ASSERT_FALSE(menu.IntroRunning());
    EXPECT_FALSE(menu.UpLogo()->AlphaMode);
    EXPECT_FALSE(menu.DownLogo()->AlphaMode);
    for (int32_t k = 1; k <= 6; ++k)
        EXPECT_GE(game.Form->MenuItems[static_cast<size_t>(k)]->Alpha, 255);
    // The highlight chosen during the intro shows once it is over.
    game.RunFrames(1);
    EXPECT_TRUE(game.Form->MenuItems[4]->HighlightShown());
    Key(TKey::Down);
    EXPECT_EQ(S().Cursor.ItemIndex, 5);
}

TEST_F(MenuScenario, MainMenuWrapsAndEscAsksToExit) {
    SkipIntro();
    Key(TKey::Up);
    EXPECT_EQ(S().Cursor.ItemIndex, 6);
    Key(TKey::Down);
    EXPECT_EQ(S().Cursor.ItemIndex, 1);
    Key(TKey::Escape);
    EXPECT_EQ(S().Cursor.WindowKind, Window::ExitGame);
    EXPECT_EQ(S().Cursor.ItemIndex, 12);
    Key(TKey::N);
    EXPECT_EQ(S().Cursor.WindowKind, Window::None);
    EXPECT_EQ(S().Cursor.ItemIndex, 1);
    EXPECT_EQ(game.Form->MenuItems[11], nullptr);
}

struct TSubScreenCase {
    const char* Name;
    int32_t Item;  // main menu item that leads there
    Screen Code;   // the screen reached
    int32_t Items; // its item count
    int32_t BackX; // a point on its Back button
    int32_t BackY;
};

class SubScreens : public MenuScenario, public ::testing::WithParamInterface<TSubScreenCase> {};

TEST_P(SubScreens, ReachedAndLeftByKeys) {
    const TSubScreenCase& c = GetParam();
    SkipIntro();
    for (int32_t i = 1; i < c.Item; ++i)
        Key(TKey::Down);
    Enter();
    EXPECT_EQ(S().Cursor.ScreenCode, c.Code);
    EXPECT_EQ(S().Cursor.LastItem, c.Items);
    EXPECT_EQ(S().Cursor.ItemIndex, c.Items); // Back
    for (int32_t k = c.Items + 1; k <= 6; ++k)
        EXPECT_EQ(game.Form->MenuItems[static_cast<size_t>(k)], nullptr) << "main menu item " << k;
    // The logos stay for the whole visit.
    EXPECT_NE(Menus().MainMenu.UpLogo(), nullptr);
    Key(TKey::Escape);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::MainMenu);
    EXPECT_EQ(S().Cursor.ItemIndex, c.Item);
    EXPECT_FALSE(Menus().MainMenu.IntroRunning());
}

TEST_P(SubScreens, ReachedAndLeftByThePointer) {
    const TSubScreenCase& c = GetParam();
    SkipIntro();
    ClickAt(300, MainItemY(c.Item));
    EXPECT_EQ(S().Cursor.ScreenCode, c.Code);
    // Off every item the highlight stays; a click acts on it wherever it lands.
    Hover(790, 10);
    EXPECT_EQ(S().Cursor.ItemIndex, c.Items);
    ClickAt(c.BackX, c.BackY);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::MainMenu);
    EXPECT_EQ(S().Cursor.ItemIndex, c.Item);
}

INSTANTIATE_TEST_SUITE_P(
    Menus, SubScreens,
    ::testing::Values(TSubScreenCase{"Options", 2, Screen::Options, 5, 30, 556},
                      TSubScreenCase{"HighScores", 3, Screen::HighScores, 3, 30, 556},
                      TSubScreenCase{"Help", 4, Screen::Help, 3, 30, 556}),
    [](const ::testing::TestParamInfo<TSubScreenCase>& p) { return std::string(p.param.Name); });

TEST_F(MenuScenario, NewGameTakesTheLogosAway) {
    SkipIntro();
    TMyImageSprite* logo = Menus().MainMenu.UpLogo();
    ASSERT_NE(logo, nullptr);
    Enter();
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::Game);
    EXPECT_EQ(Menus().MainMenu.UpLogo(), nullptr);
    for (int32_t k = 1; k <= 12; ++k)
        EXPECT_EQ(game.Form->MenuItems[static_cast<size_t>(k)], nullptr);
}

TEST_F(MenuScenario, WebSiteOpensAndTheMenuStays) {
    SkipIntro();
    for (int32_t i = 1; i < 5; ++i)
        Key(TKey::Down);
    Enter();
    ASSERT_EQ(game.Desktop.Links.Opened.size(), 1u);
    EXPECT_EQ(game.Desktop.Links.Opened[0], MakerHomePage);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::MainMenu);
}

TEST_F(MenuScenario, ExitYesEndsTheProgramWithoutTheSky) {
    SkipIntro();
    ClickAt(300, MainItemY(6));
    ASSERT_EQ(S().Cursor.WindowKind, Window::ExitGame);
    Key(TKey::Y);
    EXPECT_TRUE(game.Ended());
    EXPECT_EQ(game.Fixed().Sky, nullptr);
    EXPECT_EQ(Menus().MainMenu.UpLogo(), nullptr);
}

TEST_F(MenuScenario, QuestionButtonsStopAtTheirEnds) {
    SkipIntro();
    Key(TKey::Escape);
    Key(TKey::Right);
    EXPECT_EQ(S().Cursor.ItemIndex, 12);
    Key(TKey::Left);
    EXPECT_EQ(S().Cursor.ItemIndex, 11);
    Key(TKey::Left);
    EXPECT_EQ(S().Cursor.ItemIndex, 11);
    EXPECT_TRUE(game.Form->MenuItems[11]->HighlightShown());
    EXPECT_FALSE(game.Form->MenuItems[12]->HighlightShown());
}

TEST_F(MenuScenario, OptionsItemsInvertTheirOptions) {
    SkipIntro();
    Key(TKey::Down);
    Enter();
    ASSERT_EQ(S().Cursor.ScreenCode, Screen::Options);
    const OptionsRecord before = S().Saved.Options;
    for (int32_t i = 0; i < 4; ++i)
        Key(TKey::Up);
    EXPECT_EQ(S().Cursor.ItemIndex, 1);
    Key(TKey::Up);
    EXPECT_EQ(S().Cursor.ItemIndex, 1); // stops at the top
    Enter();                            // full screen
    EXPECT_NE(S().Saved.Options.FullScreen, before.FullScreen);
    Enter();
    EXPECT_EQ(S().Saved.Options.FullScreen, before.FullScreen);
    Key(TKey::Down);
    Enter(); // music
    EXPECT_NE(S().Saved.Options.Music, before.Music);
    Key(TKey::Down);
    Enter(); // sound effects
    EXPECT_NE(S().Saved.Options.SoundEffects, before.SoundEffects);
    Key(TKey::Down);
    Key(TKey::Down);
    Key(TKey::Down);
    EXPECT_EQ(S().Cursor.ItemIndex, 5); // stops at the bottom
}

TEST_F(MenuScenario, AddTextEditingStartsTypesAndEnds) {
    SkipIntro();
    Key(TKey::Down);
    Enter();
    S().Saved.Options.AddText = "Hi";
    Key(TKey::Up);
    ASSERT_EQ(S().Cursor.ItemIndex, 4);
    TOptionsScreen& options = Menus().Options;
    EXPECT_FALSE(options.Editing());
    TypeText("x");
    EXPECT_EQ(S().Saved.Options.AddText, "Hi"); // not editing: nothing typed lands
    Enter();
    ASSERT_TRUE(options.Editing());
    EXPECT_TRUE(options.Cursor()->Blinking);
    TypeText("yo 2!_");
    EXPECT_EQ(S().Saved.Options.AddText, "Hiyo 2");
    Type(8);
    EXPECT_EQ(S().Saved.Options.AddText, "Hiyo ");
    const double cursorBefore = options.Cursor()->X;
    TypeText("WWWW");
    EXPECT_GT(options.Cursor()->X, cursorBefore); // follows the end of the text
    // Up and Down leave the highlight while editing; Esc ends editing, not the screen.
    Key(TKey::Up);
    Key(TKey::Down);
    EXPECT_EQ(S().Cursor.ItemIndex, 4);
    Key(TKey::Escape);
    EXPECT_FALSE(options.Editing());
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::Options);
    // Twelve characters at most.
    Enter();
    TypeText("abcdefghijklmnop");
    EXPECT_LE(S().Saved.Options.AddText.size(), 12u);
    // Pointing at another item ends editing.
    Hover(30, 300);
    EXPECT_EQ(S().Cursor.ItemIndex, 2);
    EXPECT_FALSE(options.Editing());
}

TEST_F(MenuScenario, TypedKeysDoNotReachTheAddTextBehindAWindow) {
    SkipIntro();
    Key(TKey::Down);
    Enter();
    Key(TKey::Up);
    Enter();
    ASSERT_TRUE(Menus().Options.Editing());
    const std::string text = S().Saved.Options.AddText;
    game.CloseRequest(game.Frames());
    game.RunFrames(1);
    ASSERT_EQ(S().Cursor.WindowKind, Window::ExitGame);
    TypeText("n");
    EXPECT_EQ(S().Saved.Options.AddText, text);
}

TEST_F(MenuScenario, HighScoreItemsClearAndOpenTheWorldTable) {
    SkipIntro();
    S().Saved.HighScores.Insert("ACE", 9000);
    Key(TKey::Down);
    Key(TKey::Down);
    Enter();
    ASSERT_EQ(S().Cursor.ScreenCode, Screen::HighScores);
    Key(TKey::Up);
    Enter();
    EXPECT_EQ(game.Desktop.Links.Opened.size(), 1u);
    Key(TKey::Up);
    Enter();
    ASSERT_EQ(S().Cursor.WindowKind, Window::ClearTable);
    Key(TKey::N);
    EXPECT_EQ(S().Saved.HighScores[1].Name, "ACE");
    EXPECT_EQ(S().Cursor.ItemIndex, 1); // the screen's highlight comes back
    Enter();
    Key(TKey::Y);
    EXPECT_EQ(S().Cursor.WindowKind, Window::None);
    EXPECT_EQ(S().Saved.HighScores[1], (HighScoreEntry{"ANONYMOUS", 3000}));
    EXPECT_EQ(S().Saved.HighScores[10], (HighScoreEntry{"ANONYMOUS", 300}));
}

TEST_F(MenuScenario, HelpPagesWrapAndKeysFollowTheButtons) {
    SkipIntro();
    for (int32_t i = 1; i < 4; ++i)
        Key(TKey::Down);
    Enter();
    THelpScreen& help = Menus().Help;
    ASSERT_EQ(help.Page(), 1);
    Key(TKey::Right); // Back highlighted: nothing
    EXPECT_EQ(S().Cursor.ItemIndex, 3);
    EXPECT_EQ(help.Page(), 1);
    Key(TKey::Up);
    EXPECT_EQ(S().Cursor.ItemIndex, 1);
    Key(TKey::Left); // on Prev: previous page, 1 wraps to 3
    EXPECT_EQ(help.Page(), 3);
    Key(TKey::Right); // to Next
    EXPECT_EQ(S().Cursor.ItemIndex, 2);
    Key(TKey::Right); // on Next: 3 wraps to 1
    EXPECT_EQ(help.Page(), 1);
    Enter();
    EXPECT_EQ(help.Page(), 2);
    Key(TKey::Down);
    EXPECT_EQ(S().Cursor.ItemIndex, 3);
}

TEST_F(MenuScenario, HelpEscAndArrowInOneFrameActOnce) {
    SkipIntro();
    for (int32_t i = 1; i < 4; ++i)
        Key(TKey::Down);
    Enter();
    Key(TKey::Up);
    ASSERT_EQ(S().Cursor.ItemIndex, 1);
    KeysTogether({TKey::Left, TKey::Escape});
    EXPECT_EQ(Menus().Help.Page(), 3);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::Help);
}

// A game whose score beats rank 3 (2400) but not rank 2 (2700): Esc, "Yes", the
// name typed, committed, then "No" to sending shows the table with the name.
TEST_F(MenuScenario, QualifyingScoreEntersTheTableAtItsRank) {
    SkipIntro();
    S().Progress.PlayerName.clear();
    Enter();
    IntoGame();
    S().Progress.Score = 2500;
    Key(TKey::Escape);
    ASSERT_EQ(S().Cursor.WindowKind, Window::ExitToMenu);
    Key(TKey::Y);
    ASSERT_EQ(S().Cursor.WindowKind, Window::NameEntry);
    ASSERT_NE(Menus().NameEntry.Cursor(), nullptr);
    TypeText("Ace_!7");
    EXPECT_EQ(S().Progress.PlayerName, "Ace7");
    Enter();
    ASSERT_EQ(S().Cursor.WindowKind, Window::SendQuestion);
    EXPECT_EQ(S().Cursor.ItemIndex, 11);
    EXPECT_EQ(S().Saved.HighScores[3], (HighScoreEntry{"Ace7", 2500}));
    EXPECT_EQ(S().Saved.HighScores[4].Score, 2400);
    EXPECT_EQ(S().Saved.HighScores[10].Score, 600);
    Key(TKey::N);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::HighScores);
    EXPECT_EQ(S().Cursor.WindowKind, Window::None);
    EXPECT_NE(Menus().MainMenu.UpLogo(), nullptr);
    Key(TKey::Escape);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::MainMenu);
    EXPECT_EQ(S().Cursor.ItemIndex, 3);
}

TEST_F(MenuScenario, ExitToMenuWithoutAQualifyingScoreGoesToTheMenu) {
    SkipIntro();
    Enter();
    IntoGame();
    S().Progress.Score = 300;
    Key(TKey::Escape);
    Key(TKey::N);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::Game); // No: the game goes on
    Key(TKey::Escape);
    Key(TKey::Y);
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::MainMenu);
    EXPECT_EQ(S().Cursor.ItemIndex, 3);
    EXPECT_NE(Menus().MainMenu.UpLogo(), nullptr);
}

TEST_F(MenuScenario, SendYesShowsTheSendingWindow) {
    SkipIntro();
    Enter();
    IntoGame();
    S().Progress.Score = 5000;
    Key(TKey::Escape);
    Key(TKey::Y);
    Enter();
    ASSERT_EQ(S().Cursor.WindowKind, Window::SendQuestion);
    Key(TKey::Y);
    EXPECT_EQ(S().Cursor.WindowKind, Window::Sending);
}

// A mouse button held since the game (the player firing) must not commit the
// name when it is let go after "Game Over" gave way to the name entry.
TEST_F(MenuScenario, FireHeldIntoTheNameEntryCommitsNothing) {
    SkipIntro();
    Enter();
    IntoGame();
    S().Progress.Score = 5000;
    S().Progress.PlayerName = "Old";
    TPlatformEvent down;
    down.Kind = TEventKind::MouseDown;
    down.Button = TMouseButton::Left;
    down.Clicks = 1;
    game.At(game.Frames(), down);
    game.Pad(game.Frames(), PadWith({TPadButton::South}));
    game.RunFrames(1);
    game.Form->OpenWindow(Window::GameOver);
    ASSERT_TRUE(game.RunUntil([&] { return S().Cursor.WindowKind == Window::NameEntry; }, 400));
    game.RunFrames(2);
    TPlatformEvent up = down;
    up.Kind = TEventKind::MouseUp;
    game.At(game.Frames(), up);
    game.Pad(game.Frames(), PadWith({}));
    game.RunFrames(3);
    EXPECT_EQ(S().Cursor.WindowKind, Window::NameEntry);
    EXPECT_NE(S().Saved.HighScores[1].Name, "Old");
    // A new click commits.
    ClickAt(400, 300);
    EXPECT_EQ(S().Cursor.WindowKind, Window::SendQuestion);
    EXPECT_EQ(S().Saved.HighScores[1], (HighScoreEntry{"Old", 5000}));
}

// The pad alone: start a game, leave it, enter a name with the arrows, decline
// sending, and go back from the table to the menu.
TEST_F(MenuScenario, GamepadAloneFromMenuThroughAGameAndBack) {
    SkipIntro();
    S().Progress.PlayerName.clear();
    game.Pad(game.Frames(), PadWith({}));
    game.RunFrames(1);
    PadPress(TPadButton::South);
    IntoGame();
    S().Progress.Score = 5000;
    PadPress(TPadButton::Back);
    ASSERT_EQ(S().Cursor.WindowKind, Window::ExitToMenu);
    PadPress(TPadButton::DPadLeft);
    PadPress(TPadButton::South);
    ASSERT_EQ(S().Cursor.WindowKind, Window::NameEntry);
    PadPress(TPadButton::DPadUp);    // "A"
    PadPress(TPadButton::DPadRight); // "AA"
    PadPress(TPadButton::DPadUp);    // "AB"
    PadPress(TPadButton::DPadRight); // "ABA"
    PadPress(TPadButton::DPadLeft);  // "AB"
    PadPress(TPadButton::DPadDown);  // "AA"
    PadPress(TPadButton::DPadDown);  // "A "
    EXPECT_EQ(S().Progress.PlayerName, "A ");
    PadPress(TPadButton::DPadDown); // "A9"
    EXPECT_EQ(S().Progress.PlayerName, "A9");
    PadPress(TPadButton::South);
    ASSERT_EQ(S().Cursor.WindowKind, Window::SendQuestion);
    EXPECT_EQ(S().Saved.HighScores[1], (HighScoreEntry{"A9", 5000}));
    PadPress(TPadButton::DPadRight);
    PadPress(TPadButton::South);
    ASSERT_EQ(S().Cursor.ScreenCode, Screen::HighScores);
    PadPress(TPadButton::South); // Back
    EXPECT_EQ(S().Cursor.ScreenCode, Screen::MainMenu);
    EXPECT_EQ(S().Cursor.ItemIndex, 3);
}

// Outside the window's frame, the frame on which a window closes looks as the
// frames did while it was open: the screen's texts and values (the heads-up
// display, the option values, the add text) are drawn on it too.
TEST_F(MenuScenario, ScreenTextsStayOnTheFrameAWindowCloses) {
    const auto closeWithNo = [&] {
        game.RunFrames(2);
        const std::vector<uint32_t> open = game.LastFrame();
        game.Press(game.Frames(), TKey::N);
        ASSERT_TRUE(game.RunUntil([&] { return S().Cursor.WindowKind == Window::None; }, 5));
        const std::vector<uint32_t>& closing = game.LastFrame();
        int32_t changed = 0;
        for (int32_t y = 0; y < 600; ++y)
            for (int32_t x = 0; x < 800; ++x) {
                const bool inFrame = x >= 210 && x < 590 && y >= 200 && y < 420;
                const auto i = static_cast<size_t>(y * 800 + x);
                changed += !inFrame && open[i] != closing[i] ? 1 : 0;
            }
        EXPECT_EQ(changed, 0);
    };
    SkipIntro();
    S().Saved.Options.AddText = "Hello there";
    Key(TKey::Down);
    Enter();
    ASSERT_EQ(S().Cursor.ScreenCode, Screen::Options);
    game.CloseRequest(game.Frames());
    game.RunFrames(1);
    ASSERT_EQ(S().Cursor.WindowKind, Window::ExitGame);
    {
        SCOPED_TRACE("the options screen");
        closeWithNo();
    }
    Key(TKey::Escape);
    Key(TKey::Up);
    Enter();
    IntoGame();
    S().Progress.Score = 4321;
    Key(TKey::Escape);
    ASSERT_EQ(S().Cursor.WindowKind, Window::ExitToMenu);
    {
        SCOPED_TRACE("the game");
        closeWithNo();
    }
}

// Over a game the system pointer shows only for the questions a click answers;
// the ship's own windows and the name entry keep it hidden and relative.
TEST_F(MenuScenario, OverAGameThePointerShowsOnlyForTheQuestions) {
    SkipIntro();
    Enter();
    IntoGame();
    const TNullPointer& pointer = game.Desktop.Pointer;
    EXPECT_FALSE(pointer.Visible());
    struct Case {
        Window Kind;
        bool Shown;
    };
    const Case cases[] = {
        {Window::ExitGame, true},     {Window::ExitToMenu, true}, {Window::ClearTable, true},
        {Window::SendQuestion, true}, {Window::Pause, false},     {Window::LevelBanner, false},
        {Window::GameOver, false},    {Window::NameEntry, false}, {Window::Sending, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Kind));
        game.Form->OpenWindow(c.Kind);
        game.RunFrames(1);
        ASSERT_EQ(S().Cursor.WindowKind, c.Kind);
        EXPECT_EQ(pointer.Visible(), c.Shown);
        EXPECT_EQ(pointer.Relative(), !c.Shown);
        game.Form->CloseWindow();
        game.RunFrames(1);
        EXPECT_FALSE(pointer.Visible());
    }
}

// In the name entry the keyboard types and its arrow keys edit nothing (a
// player pressing Left to move a cursor keeps the letter); the pad's arrows
// still turn and take letters.
TEST_F(MenuScenario, NameEntryKeyboardArrowsLeaveTheName) {
    SkipIntro();
    S().Progress.PlayerName.clear();
    Enter();
    IntoGame();
    S().Progress.Score = 5000;
    Key(TKey::Escape);
    Key(TKey::Y);
    ASSERT_EQ(S().Cursor.WindowKind, Window::NameEntry);
    TypeText("Ace");
    for (TKey k : {TKey::Left, TKey::Up, TKey::Down, TKey::Right, TKey::Left})
        Key(k);
    EXPECT_EQ(S().Progress.PlayerName, "Ace");
    game.Pad(game.Frames(), PadWith({}));
    game.RunFrames(1);
    PadPress(TPadButton::DPadUp); // "AcF": a small letter turns from its capital
    EXPECT_EQ(S().Progress.PlayerName, "AcF");
    PadPress(TPadButton::DPadLeft);
    EXPECT_EQ(S().Progress.PlayerName, "Ac");
}

// Fire held on Space through "Game Over": the key repeats of the held Space
// type nothing into the name entry; a new press of Space types a space.
TEST_F(MenuScenario, SpaceHeldIntoTheNameEntryTypesNothing) {
    SkipIntro();
    Enter();
    IntoGame();
    S().Progress.Score = 5000;
    S().Progress.PlayerName = "Ace";
    game.KeyDown(game.Frames(), TKey::Space);
    game.RunFrames(1);
    game.Form->OpenWindow(Window::GameOver);
    TPlatformEvent repeat;
    repeat.Kind = TEventKind::KeyDown;
    repeat.Key = TKey::Space;
    repeat.Repeat = true;
    const auto repeatSpace = [&] {
        game.At(game.Frames(), repeat);
        game.Char(game.Frames(), ' ');
        game.RunFrames(1);
    };
    for (int32_t i = 0; i < 400 && S().Cursor.WindowKind != Window::NameEntry; ++i)
        repeatSpace();
    ASSERT_EQ(S().Cursor.WindowKind, Window::NameEntry);
    for (int32_t i = 0; i < 5; ++i)
        repeatSpace();
    EXPECT_EQ(S().Progress.PlayerName, "Ace");
    game.KeyUp(game.Frames(), TKey::Space);
    game.KeyDown(game.Frames(), TKey::Space);
    game.Char(game.Frames(), ' ');
    game.RunFrames(1);
    EXPECT_EQ(S().Progress.PlayerName, "Ace ");
}

// The first help page tells how its pages turn, and the screen keeps to it: the
// screen opens with "Back" highlighted, where Left and Right do nothing, so the
// page says to pick "Prev" or "Next" first.
TEST_F(MenuScenario, HelpPagesTurnAsTheFirstPageSays) {
    std::ifstream svg(std::string(VANTOREL_TEST_DATA) + "/../../assets/res1/Help1.svg");
    ASSERT_TRUE(svg.good());
    const std::string page((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("Turn these pages"), std::string::npos);
    EXPECT_NE(page.find("Prev or Next"), std::string::npos);

    SkipIntro();
    for (int32_t i = 1; i < 4; ++i)
        Key(TKey::Down);
    Enter();
    ASSERT_EQ(S().Cursor.ScreenCode, Screen::Help);
    THelpScreen& help = Menus().Help;
    Key(TKey::Left);
    Key(TKey::Right);
    EXPECT_EQ(help.Page(), 1);
    EXPECT_EQ(S().Cursor.ItemIndex, 3); // still Back
    Key(TKey::Up);                      // Prev
    Key(TKey::Left);
    EXPECT_EQ(help.Page(), 3);
    Key(TKey::Right); // Next
    Key(TKey::Right);
    EXPECT_EQ(help.Page(), 1);
}

} // namespace
} // namespace vantorel
