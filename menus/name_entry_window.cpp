#include "menus/name_entry_window.hpp"

#include "engine/dx_input.hpp"
#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "menus/my_cursor.hpp"
#include "menus/window_frame.hpp"
#include "state/game_context.hpp"
#include "state/game_shell.hpp"
#include "storage/name_editor.hpp"

#include <string>
#include <string_view>

namespace vantorel {

namespace {

constexpr int32_t kPromptStyle = 9;
constexpr int32_t kNameStyle = 10;
constexpr int32_t kCentreX = 400;
constexpr int32_t kBlinkMs = 500;
/// The letters the arrows turn through, in order.
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

/// Bit i: the pad's stick or D-pad held in direction i (Up, Down, Left, Right).
uint32_t PadArrowsHeld(const TDXInput& input) {
    const TDXInputStates& held = input.Joystick.States;
    uint32_t bits = 0;
    for (const TDXInputState d : {TDXInputState::StateUp, TDXInputState::StateDown,
                                  TDXInputState::StateLeft, TDXInputState::StateRight})
        if (held.Contains(d))
            bits |= 1u << static_cast<unsigned>(d);
    return bits;
}

} // namespace

void TNameEntryWindow::Open() {
    TGameState& s = ctx_.State;
    frame_ = CreateWindowFrame(ctx_);
    cursor_ = new TMyCursor(ctx_, 1, kBlinkMs, 15, 220, 374, "Cursor");
    cursor_->Blinking = true;
    staleMousePress_ = s.MouseHeld;
    padArrows_ = PadArrowsHeld(ctx_.Input);
    menus_.Pad.Arm(s);
}

void TNameEntryWindow::Close() {
    if (frame_ != nullptr)
        frame_->Kill();
    if (cursor_ != nullptr)
        cursor_->Kill();
    frame_ = nullptr;
    cursor_ = nullptr;
}

bool TNameEntryWindow::TypeInto(char c) {
    const TNameEditor editor(
        [this](const std::string& text) { return MenuTextWidth(ctx_, text, kNameStyle); });
    return editor.Type(ctx_.State.PlayerName, c);
}

void TNameEntryWindow::ChangeLastLetter(int32_t step) {
    std::string& name = ctx_.State.PlayerName;
    if (name.empty()) {
        TypeInto(kLetters.front());
        return;
    }
    const auto n = static_cast<int32_t>(kLetters.size());
    char last = name.back();
    // A typed small letter turns from its capital.
    if (last >= 'a' && last <= 'z')
        last = static_cast<char>(last - 'a' + 'A');
    const size_t found = kLetters.find(last);
    const int32_t at = found != std::string_view::npos ? static_cast<int32_t>(found) : 0;
    const auto next = static_cast<size_t>(((at + step) % n + n) % n);
    const char old = name.back();
    name.pop_back();
    if (!TypeInto(kLetters[next]))
        name.push_back(old);
}

void TNameEntryWindow::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    if (!s.MouseHeld)
        staleMousePress_ = false;
    const bool padPressed = menus_.Pad.Pressed(s);
    // Only the pad's arrows edit: the keyboard types the name, and its arrows
    // (a player moving a cursor that is not there) must not take letters away.
    const uint32_t held = PadArrowsHeld(ctx_.Input);
    const uint32_t pressed = held & ~padArrows_;
    padArrows_ = held;
    const auto went = [pressed](TDXInputState d) {
        return (pressed >> static_cast<unsigned>(d) & 1u) != 0;
    };
    if (went(TDXInputState::StateUp))
        ChangeLastLetter(1);
    if (went(TDXInputState::StateDown))
        ChangeLastLetter(-1);
    if (went(TDXInputState::StateRight))
        TypeInto(kLetters.front());
    if (went(TDXInputState::StateLeft))
        TypeInto(TNameEditor::Backspace);

    DrawCentredInStyle(ctx_, "Your score is " + std::to_string(s.Score), kPromptStyle, kCentreX,
                       260);
    DrawCentredInStyle(ctx_, "Please, enter Your name:", kPromptStyle, kCentreX, 310);
    DrawCentredInStyle(ctx_, s.PlayerName, kNameStyle, kCentreX, 360);
    if (cursor_ != nullptr) {
        cursor_->X = kCentreX + MenuTextWidth(ctx_, s.PlayerName, kNameStyle) / 2.0;
        cursor_->Move(lagCount);
    }
    if (padPressed)
        ctx_.Shell.ActivateItem();
}

void TNameEntryWindow::CharacterTyped(uint8_t character) {
    TypeInto(static_cast<char>(character));
}

void TNameEntryWindow::ActivateItem(int32_t) {
    TGameState& s = ctx_.State;
    if (staleMousePress_ && !s.MouseHeld) {
        staleMousePress_ = false;
        return;
    }
    s.HighScores.Insert(s.PlayerName, s.Score);
    ctx_.Shell.SaveTable();
    ctx_.Shell.CloseWindow();
    ctx_.Shell.OpenWindow(TWindowKind::SendQuestion);
}

} // namespace vantorel
