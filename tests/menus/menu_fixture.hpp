// A scenario of the real game brought to its main menu, with the pointer's
// hit-test wired to the menu buttons, and small steps a player takes: keys,
// typed characters, the pointer and a gamepad.
#pragma once

#include "app/main_window.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

namespace vantorel {

class MenuScenario : public ::testing::Test {
protected:
    void SetUp() override {
        TMForm& f = *game.Form;
        f.FormInput.ItemContains = [](const TMenuButton& b, int32_t x, int32_t y) {
            return b.Contains(x, y);
        };
        f.FormInput.HoverSilent = [&f] { return f.Menus().MainMenu.IntroRunning(); };
        game.RunFrames(1);
        if (S().Cursor.ScreenCode != TScreenCode::MainMenu) {
            f.CloseWindow();
            f.EndGame();
            f.BuildMainMenu(1, 1, 1);
        }
    }

    TGameState& S() { return game.State(); }
    TMenuScreens& Menus() { return game.Form->Menus(); }

    void SkipIntro() {
        ASSERT_TRUE(game.RunUntil([&] { return !Menus().MainMenu.IntroRunning(); }, 600));
    }
    /// A key pressed and released; the frame after the press reads it.
    void Key(TKey key) {
        game.Press(game.Frames(), key);
        game.RunFrames(2);
    }
    /// Several keys going down before the same frame.
    void KeysTogether(std::initializer_list<TKey> keys) {
        for (TKey k : keys)
            game.KeyDown(game.Frames(), k);
        game.RunFrames(1);
        for (TKey k : keys)
            game.KeyUp(game.Frames(), k);
        game.RunFrames(1);
    }
    void Type(uint8_t character) {
        game.Char(game.Frames(), character);
        game.RunFrames(1);
    }
    void TypeText(const char* text) {
        for (const char* c = text; *c != '\0'; ++c)
            Type(static_cast<uint8_t>(*c));
    }
    void Enter() { Type(13); }
    void Hover(int32_t x, int32_t y) {
        game.MouseMove(game.Frames(), 0, 0, x, y);
        game.RunFrames(1);
    }
    /// Points at (x, y) and clicks there.
    void ClickAt(int32_t x, int32_t y) {
        game.MouseMove(game.Frames(), 0, 0, x, y);
        game.Click(game.Frames(), x, y);
        game.RunFrames(2);
    }
    /// A gamepad with button b held (or nothing held for None).
    static TJoystickReading PadWith(std::initializer_list<TPadButton> held) {
        TJoystickReading r;
        r.Kind = TJoystickKind::Gamepad;
        for (TPadButton b : held)
            r.SetPadButton(b, true);
        return r;
    }
    void PadPress(TPadButton b) {
        game.Pad(game.Frames(), PadWith({b}));
        game.RunFrames(1);
        game.Pad(game.Frames(), PadWith({}));
        game.RunFrames(1);
    }
    /// Plays a game until its banner has closed and the ship flies.
    void IntoGame() {
        ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Game);
        ASSERT_TRUE(game.RunUntil([&] { return S().Cursor.WindowKind == TWindowKind::None; }, 400));
    }

    testing::TScenario game{3};
};

} // namespace vantorel
