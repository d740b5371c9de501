// A game played from window events, recorded one input snapshot a frame, and a
// fresh game played from those snapshots alone: the two must agree in every frame.
// This is what a replay file relies on: the snapshot is the frame's whole input.
#include "menus/menu_screens.hpp"
#include "objects/player.hpp"
#include "support/scenario.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using testing::TScenario;

/// What a player could see of the game's state after a frame.
std::string Digest(const TGameState& s, const TGameSprites& fixed) {
    std::ostringstream out;
    out << "screen " << static_cast<int>(s.Cursor.ScreenCode) << " window "
        << static_cast<int>(s.Cursor.WindowKind) << " item " << s.Cursor.ItemIndex << " score "
        << s.Progress.Score << " lives " << s.Progress.Lives << " level " << s.Progress.Level
        << " left " << s.Progress.MonstersLeft << " name '" << s.Progress.PlayerName
        << "' add text '" << s.Saved.Options.AddText << "'";
    if (fixed.Player != nullptr)
        out << " ship " << fixed.Player->X << "," << fixed.Player->Y << " state "
            << static_cast<int>(fixed.Player->State) << " fire " << fixed.Player->FireHeld;
    return out.str();
}

struct TRecordedFrame {
    int32_t Lag = 0;
    TInputSnapshot Input;
    std::string State;
};

class InputReplay : public ::testing::Test {
protected:
    void SetUp() override {
        TMForm& f = *live.Form;
        f.MDXTimer.OnTimer = [this, &f](int32_t lag) {
            const int64_t before = f.FrameCount();
            f.MDXTimerTimer(lag);
            if (f.FrameCount() != before)
                frames.push_back({lag, f.State.Input, Digest(f.State, f.Fixed)});
        };
    }

    TGameState& S() { return live.State(); }
    TGameSprites& Fixed() { return live.Fixed(); }
    void Run(int64_t n) { live.RunFrames(n); }
    void Press(TKey key, TShiftState shift = {}) {
        live.Press(live.Frames(), key, shift);
        Run(3);
    }
    void Enter() {
        live.KeyDown(live.Frames(), TKey::Enter);
        live.Char(live.Frames(), 13);
        live.KeyUp(live.Frames() + 1, TKey::Enter);
        Run(3);
    }
    void Type(const char* text) {
        for (const char* c = text; *c != '\0'; ++c) {
            live.Char(live.Frames(), static_cast<uint8_t>(*c));
            Run(1);
        }
    }
    bool MenuReady() {
        return live.RunUntil(
            [&] {
                return S().Cursor.ScreenCode == TScreenCode::MainMenu &&
                       S().Cursor.WindowKind == TWindowKind::None &&
                       !live.Form->Menus().MainMenu.IntroRunning();
            },
            900);
    }

    TScenario live{3};
    std::vector<TRecordedFrame> frames;
};

TEST_F(InputReplay, AGamePlayedFromItsSnapshotsPlaysTheSameAsFromItsEvents) {
    // The menus: the pointer, the arrows, Enter, the add text typed in Options.
    ASSERT_TRUE(MenuReady());
    live.MouseMove(live.Frames(), 5, 5, 100, 100);
    live.MouseMove(live.Frames() + 3, -5, 2, 700, 580);
    Run(6);
    Press(TKey::Down);
    Enter();
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Options);
    Press(TKey::Up);
    Enter();
    Type("Ace\b\bce");
    Enter();
    Press(TKey::Escape);
    if (S().Cursor.ScreenCode == TScreenCode::Options)
        Press(TKey::Escape);
    ASSERT_TRUE(MenuReady());
    for (int i = 0; i < 6 && S().Cursor.ItemIndex != 1; ++i)
        Press(TKey::Up);
    Enter();
    ASSERT_EQ(S().Cursor.ScreenCode, TScreenCode::Game);

    // A game: the banner, then steering, fire, the mouse, the pad, pause, the
    // full-screen switch's pause and the exit question answered No.
    ASSERT_TRUE(live.RunUntil(
        [&] { return Fixed().Player != nullptr && Fixed().Player->State == TPlayerState::Flying; },
        600));
    live.KeyDown(live.Frames(), TKey::Space);
    live.KeyDown(live.Frames(), TKey::Right);
    Run(40);
    live.KeyUp(live.Frames(), TKey::Right);
    for (int i = 0; i < 20; ++i) {
        live.MouseMove(live.Frames(), 3, -2);
        Run(1);
    }
    TJoystickReading pad;
    pad.Kind = TJoystickKind::Gamepad;
    pad.X.Position = -32768;
    live.Pad(live.Frames(), pad);
    Run(20);
    pad.X.Position = 0;
    pad.SetPadButton(TPadButton::DPadDown, true);
    live.Pad(live.Frames(), pad);
    Run(10);
    live.Pad(live.Frames(), TJoystickReading{});
    Press(TKey::P);
    ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::Pause);
    Run(10);
    Press(TKey::P);
    ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::None);
    Press(TKey::Enter, TShiftState{false, false, true});
    ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::Pause) << "the full-screen switch pauses";
    Press(TKey::Escape);
    Run(10);
    Press(TKey::Escape);
    ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::ExitToMenu);
    Press(TKey::N);
    ASSERT_EQ(S().Cursor.WindowKind, TWindowKind::None);
    live.KeyUp(live.Frames(), TKey::Space);
    Run(30);
    ASSERT_GT(frames.size(), 300u);

    // The same game from the snapshots alone: no events, no devices.
    TScenario replay{3};
    TMForm& f = *replay.Form;
    size_t next = 0;
    std::vector<std::string> replayed;
    f.MDXTimer.OnTimer = [&](int32_t) {
        if (next >= frames.size()) {
            f.Terminate();
            return;
        }
        const TRecordedFrame& r = frames[next++];
        f.Frame(r.Lag, r.Input);
        replayed.push_back(Digest(f.State, f.Fixed));
    };
    replay.RunFrames(static_cast<int64_t>(frames.size()));
    ASSERT_EQ(replayed.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
        ASSERT_EQ(replayed[i], frames[i].State) << "frame " << i;
    EXPECT_EQ(f.State.Saved.Options.AddText, live.State().Saved.Options.AddText);
}

} // namespace
} // namespace vantorel
