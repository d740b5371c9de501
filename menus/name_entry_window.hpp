// The name entry after a qualifying game: "Your score is ...", the name being
// typed with a blinking cursor after it, and Enter, a click or the pad's button
// to put the name and score into the table.
//
// Letters come from the keyboard's typed characters, or from the pad's stick
// and D-pad as on an arcade table: Up and Down turn the last letter through
// A..Z, 0..9 and the space (an empty name starts at "A"), Right adds a letter
// after it, Left takes the last one away. Both follow the typed name's rules: at
// most 12 characters, at most 240 pixels wide before one is added. The
// keyboard's arrow keys do nothing here: a player pressing Left to move a text
// cursor would lose a letter.
#pragma once

#include "state/modal_window.hpp"

#include <cstdint>

namespace vantorel {

class TMyCursor;
class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class TNameEntryWindow final : public IModalWindow {
public:
    TNameEntryWindow(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    TWindowKind Kind() const override { return TWindowKind::NameEntry; }
    /// The frame and the blinking cursor. A mouse button or the pad's button still
    /// held from the game does not commit when it is released.
    void Open() override;
    /// The texts, the cursor after the name, the pad's arrows' letters and its button.
    void Tick(int32_t lagCount) override;
    /// Whatever the item: the name and score go into the table, then the send
    /// question. The release of a button held since before the window opened is
    /// not a commitment and is ignored.
    void ActivateItem(int32_t item) override;
    /// Backspace and the name's characters, measured in the name's style.
    void CharacterTyped(uint8_t character) override;
    void Close() override;

    TMyCursor* Cursor() const { return cursor_; }

private:
    bool TypeInto(char c);
    void ChangeLastLetter(int32_t step);

    TGameContext& ctx_;
    TMenuScreens& menus_;
    TMyImageSprite* frame_ = nullptr;
    TMyCursor* cursor_ = nullptr;
    /// A mouse button was down when the window opened; its release is no click.
    bool staleMousePress_ = false;
    /// The pad's arrows held at the last tick (bit per direction state); one held
    /// when the window opened turns no letter until it is pressed again.
    uint32_t padArrows_ = 0;
};

} // namespace vantorel
