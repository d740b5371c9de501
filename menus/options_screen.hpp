// The options screen: full screen, music, sound effects and the add text that
// goes with a score report.
#pragma once

#include "state/screen.hpp"

#include <cstdint>

namespace vantorel {

class TMyCursor;
class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class TOptionsScreen final : public IScreen {
public:
    TOptionsScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the options screen with its last item (Back) highlighted and the add
    /// text not being edited.
    void Build();
    void Leave();

    /// The add text takes typed characters (item 4 switched it on).
    bool Editing() const { return editing_; }
    TMyCursor* Cursor() const { return cursor_; }

    TScreenCode Code() const override { return TScreenCode::Options; }
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;
    /// While editing and no window is open over the screen: the add text takes the
    /// character by the name entry's rules, measured in the add text's style.
    void CharacterTyped(uint8_t character) override;
    /// The value pictures and the add text stay drawn under a window.
    void DrawUnderWindow() override { DrawValues(); }

private:
    void DrawValues();
    void SetEditing(bool on);

    TGameContext& ctx_;
    TMenuScreens& menus_;
    TMyImageSprite* background_ = nullptr;
    TMyCursor* cursor_ = nullptr;
    bool editing_ = false;
};

} // namespace vantorel
