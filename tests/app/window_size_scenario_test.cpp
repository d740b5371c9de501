// The game in a window of another size: the same clicks and the same hand motion,
// made where the picture shows in the window, give the same game.
#include "menus/main_menu_screen.hpp"
#include "menus/menu_screens.hpp"
#include "objects/player.hpp"
#include "platform/letterbox.hpp"
#include "platform/sdl_event_source.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <memory>
#include <vector>

namespace vantorel {
namespace {

constexpr int32_t kNewGame = 1;
constexpr int32_t kOptions = 2;
constexpr int32_t kHelp = 4;

/// The middle of a main-menu item on the 800x600 display.
TFitRect ItemMiddle(int32_t item) {
    constexpr int32_t kTop[] = {156, 205, 260, 311, 360, 407};
    return {400, kTop[item - 1] + 20};
}

struct TWindowCase {
    const char* Name;
    TLetterbox Fit;
};

/// A person at the window: points at places of the picture as the window shows
/// them, in desktop units, and the game hears it through the desktop layer's own
/// translation for that window.
class TPersonAtWindow {
public:
    TPersonAtWindow(testing::TScenario& game, const TLetterbox& fit) : game_(game), fit_(fit) {}

    void PointAt(TFitRect picture) {
        const TFitRect at = fit_.ToWindow(picture.X, picture.Y);
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = at.X;
        e.motion.y = at.Y;
        e.motion.xrel = at.X - x_;
        e.motion.yrel = at.Y - y_;
        x_ = at.X;
        y_ = at.Y;
        Send(e);
    }
    void Click() {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = x_;
        e.button.y = y_;
        Send(e);
        game_.RunFrames(1);
        e.type = SDL_MOUSEBUTTONUP;
        Send(e);
        game_.RunFrames(2);
    }
    /// The hand moves the mouse by (dx, dy) picture pixels' worth: more desktop
    /// units in a larger window. Relative mode holds the pointer in place.
    void Steer(int32_t dx, int32_t dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x_;
        e.motion.y = y_;
        e.motion.xrel = static_cast<int32_t>(std::lround(dx / fit_.MotionScaleX()));
        e.motion.yrel = static_cast<int32_t>(std::lround(dy / fit_.MotionScaleY()));
        Send(e);
    }

private:
    void Send(const SDL_Event& e) {
        std::vector<TPlatformEvent> made;
        TranslateSdlEvent(e, made, fit_);
        for (const TPlatformEvent& ev : made)
            game_.At(game_.Frames(), ev);
    }

    testing::TScenario& game_;
    TLetterbox fit_;
    int32_t x_ = 0;
    int32_t y_ = 0;
};

/// What a player of one window size got from the script.
struct TOutcome {
    int32_t HelpHover = 0;
    int32_t OptionsHover = 0;
    TScreenCode AfterOptionsClick = TScreenCode::MainMenu;
    TScreenCode AfterNewGameClick = TScreenCode::MainMenu;
    double ShipX = 0;
    double ShipY = 0;
    std::vector<uint32_t> LastFrame;
};

TOutcome Play(const TLetterbox& fit) {
    testing::TScenario game(7);
    TOutcome got;
    TPersonAtWindow person(game, fit);
    const auto menuReady = [&] {
        return game.State().Cursor.ScreenCode == TScreenCode::MainMenu &&
               !game.Form->Menus().MainMenu.IntroRunning();
    };
    EXPECT_TRUE(game.RunUntil(menuReady, 600));

    person.PointAt(ItemMiddle(kHelp));
    game.RunFrames(2);
    got.HelpHover = game.State().Cursor.ItemIndex;
    person.PointAt(ItemMiddle(kOptions));
    game.RunFrames(2);
    got.OptionsHover = game.State().Cursor.ItemIndex;
    person.Click();
    got.AfterOptionsClick = game.State().Cursor.ScreenCode;

    game.Press(game.Frames(), TKey::Escape);
    EXPECT_TRUE(game.RunUntil(menuReady, 600));
    person.PointAt(ItemMiddle(kNewGame));
    game.RunFrames(2);
    person.Click();
    got.AfterNewGameClick = game.State().Cursor.ScreenCode;

    // Into the level, then steer right and down a little each frame (5 picture
    // pixels: a whole number of desktop units at each size below).
    game.RunFrames(180);
    for (int i = 0; i < 20; ++i) {
        person.Steer(5, 5);
        game.RunFrames(1);
    }
    game.RunFrames(10);
    if (game.Fixed().Player != nullptr) {
        got.ShipX = game.Fixed().Player->X;
        got.ShipY = game.Fixed().Player->Y;
    }
    got.LastFrame = game.LastFrame();
    return got;
}

TEST(WindowSize, TheSameClicksAndSteeringGiveTheSameGameAtEverySize) {
    // The game's own size is the reference; the others are letterboxed, scaled by
    // a whole and an uneven factor, and one is a HiDPI window.
    const TOutcome reference = Play(TLetterbox(800, 600));
    EXPECT_EQ(reference.HelpHover, kHelp);
    EXPECT_EQ(reference.OptionsHover, kOptions);
    EXPECT_EQ(reference.AfterOptionsClick, TScreenCode::Options);
    EXPECT_EQ(reference.AfterNewGameClick, TScreenCode::Game);
    // The steering moved the ship from where it comes in.
    EXPECT_GT(reference.ShipX, TPlayer::kStartX + 50);
    EXPECT_GT(reference.ShipY, TPlayer::kStartY + 20);

    const TWindowCase sizes[] = {
        {"1280x720, bars left and right", TLetterbox(800, 600, 1280, 720)},
        {"1600x1400 HiDPI at 2x, bars above and below",
         TLetterbox(800, 600, 1600, 1400, 3200, 2800)},
    };
    for (const TWindowCase& size : sizes) {
        SCOPED_TRACE(size.Name);
        const TOutcome got = Play(size.Fit);
        EXPECT_EQ(got.HelpHover, reference.HelpHover);
        EXPECT_EQ(got.OptionsHover, reference.OptionsHover);
        EXPECT_EQ(got.AfterOptionsClick, reference.AfterOptionsClick);
        EXPECT_EQ(got.AfterNewGameClick, reference.AfterNewGameClick);
        EXPECT_EQ(got.ShipX, reference.ShipX);
        EXPECT_EQ(got.ShipY, reference.ShipY);
        EXPECT_TRUE(got.LastFrame == reference.LastFrame) << "the last frames differ";
    }
}

} // namespace
} // namespace vantorel
