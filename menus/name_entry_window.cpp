#include "menus/name_entry_window.hpp"

#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "menus/my_cursor.hpp"
#include "menus/window_frame.hpp"
#include "score_format/name_editor.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"

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
uint32_t PadArrowsHeld(const TInputSnapshot& input) {
    uint32_t bits = 0;
    for (const TPadControl d :
         {TPadControl::Up, TPadControl::Down, TPadControl::Left, TPadControl::Right})
        if (input.PadHolds(d))
            bits |= 1u << static_cast<unsigned>(d);
    return bits;
}

} // namespace

void TNameEntryWindow::Open() {
    TGameState& s = ctx_.State;
    frame_ = CreateWindowFrame(ctx_);
    cursor_ = new TMyCursor(ctx_, 1, kBlinkMs, 15, 220, 374, "Cursor");
    cursor_->Blinking = true;
    staleMousePress_ = s.Input.HeldBy(TFireControl::Mouse);
    padArrows_ = PadArrowsHeld(s.Input);
    menus_.Pad.Arm(s.Input);
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
    return editor.Type(ctx_.State.Progress.PlayerName, c);
}

void TNameEntryWindow::ChangeLastLetter(int32_t step) {
    std::string& name = ctx_.State.Progress.PlayerName;
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
    if (!s.Input.HeldBy(TFireControl::Mouse))
        staleMousePress_ = false;
    const bool padPressed = menus_.Pad.Pressed(s.Input);
    // Only the pad's arrows edit: the keyboard types the name, and its arrows
    // (a player moving a cursor that is not there) must not take letters away.
    const uint32_t held = PadArrowsHeld(s.Input);
    const uint32_t pressed = held & ~padArrows_;
    padArrows_ = held;
    const auto went = [pressed](TPadControl d) {
        return (pressed >> static_cast<unsigned>(d) & 1u) != 0;
    };
    if (went(TPadControl::Up))
        ChangeLastLetter(1);
    if (went(TPadControl::Down))
        ChangeLastLetter(-1);
    if (went(TPadControl::Right))
        TypeInto(kLetters.front());
    if (went(TPadControl::Left))
        TypeInto(TNameEditor::Backspace);

    DrawCentredInStyle(ctx_, "Your score is " + std::to_string(s.Progress.Score), kPromptStyle,
                       kCentreX, 260);
    DrawCentredInStyle(ctx_, "Please, enter Your name:", kPromptStyle, kCentreX, 310);
    DrawCentredInStyle(ctx_, s.Progress.PlayerName, kNameStyle, kCentreX, 360);
    if (cursor_ != nullptr) {
        cursor_->X = kCentreX + MenuTextWidth(ctx_, s.Progress.PlayerName, kNameStyle) / 2.0;
        cursor_->Move(lagCount);
    }
    if (padPressed)
        ctx_.Navigation.ActivateItem();
}

void TNameEntryWindow::CharacterTyped(uint8_t character) {
    TypeInto(static_cast<char>(character));
}

void TNameEntryWindow::ActivateItem(int32_t) {
    TGameState& s = ctx_.State;
    if (staleMousePress_ && !s.Input.HeldBy(TFireControl::Mouse)) {
        staleMousePress_ = false;
        return;
    }
    s.Saved.HighScores.Insert(s.Progress.PlayerName, s.Progress.Score);
    ctx_.Services.SaveTable();
    ctx_.Navigation.CloseWindow();
    ctx_.Navigation.OpenWindow(TWindowKind::SendQuestion);
}

} // namespace vantorel
