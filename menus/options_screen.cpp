#include "menus/options_screen.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "menus/my_cursor.hpp"
#include "score_format/name_editor.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"

#include <array>

namespace vantorel {

namespace {

constexpr int32_t kItems = 5;
constexpr int32_t kEditItem = 4;
constexpr int32_t kBackItem = 5;
constexpr int32_t kAddTextStyle = 4;
constexpr int32_t kAddTextX = 291;
constexpr int32_t kAddTextY = 425;
constexpr int32_t kCursorY = 455;
constexpr int32_t kBlinkMs = 500;

constexpr std::array<int32_t, 4> kRowY{224, 290, 361, 429};

/// The lit word of one option: the picture and place for the value 1 and for 0.
struct TValuePictures {
    const char* On;
    int32_t OnX, OnY;
    const char* Off;
    int32_t OffX, OffY;
};
constexpr TValuePictures kFullScreen{"Opt_1_2", 370, 226, "Opt_1_1", 195, 226};
constexpr TValuePictures kMusic{"Opt_2_1", 170, 294, "Opt_2_2", 255, 294};
constexpr TValuePictures kSound{"Opt_3_1", 179, 363, "Opt_3_2", 264, 363};

} // namespace

void TOptionsScreen::Build() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::Options;
    s.Cursor.FirstItem = 1;
    s.Cursor.LastItem = kItems;
    s.Cursor.ItemIndex = kBackItem;
    menus_.Pad.Arm(s.Input);
    background_ = TMyImageSprite::CreateAt(ctx_, 1, "Opt_Bg", 20, 113, 3);
    for (int32_t k = 1; k <= static_cast<int32_t>(kRowY.size()); ++k)
        menus_.Items[static_cast<size_t>(k)] = new TMenuButton(
            ctx_, 1, 20, kRowY[static_cast<size_t>(k - 1)], 0, 0, "OptB_I", "OptB_A");
    menus_.Items[kBackItem] = new TMenuButton(ctx_, 1, 18, 546, 0, 0, "Back_I", "Back_A");
    cursor_ = new TMyCursor(ctx_, 1, kBlinkMs, 5, kAddTextX, kCursorY, "Cursor");
    editing_ = false;
}

void TOptionsScreen::Leave() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::None;
    KillItems(menus_.Items, 1, kItems);
    if (background_ != nullptr)
        background_->Kill();
    if (cursor_ != nullptr)
        cursor_->Kill();
    background_ = nullptr;
    cursor_ = nullptr;
    editing_ = false;
}

void TOptionsScreen::SetEditing(bool on) {
    editing_ = on;
    if (cursor_ != nullptr)
        cursor_->Blinking = on;
}

void TOptionsScreen::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    const bool padPressed = menus_.Pad.Pressed(s.Input);
    UpdateHighlight(s.Cursor, menus_.Items);
    if (editing_ && s.Cursor.ItemIndex != kEditItem)
        SetEditing(false);
    if (!editing_) {
        if (s.Input.WasPressed(TInputKey::Up))
            StepUpStop(s.Cursor.ItemIndex, 1, 1);
        if (s.Input.WasPressed(TInputKey::Down))
            StepDownStop(s.Cursor.ItemIndex, kItems, 1);
    }
    // One activation a frame.
    if (s.Input.WasPressed(TInputKey::Esc))
        ctx_.Navigation.ActivateItemNo(editing_ ? kEditItem : kBackItem);
    else if (padPressed)
        ctx_.Navigation.ActivateItem();
    if (s.Cursor.ScreenCode != TScreenCode::Options)
        return;
    ctx_.Sprites.Move(lagCount);
    DrawValues();
    if (cursor_ != nullptr)
        cursor_->X = kAddTextX + MenuTextWidth(ctx_, s.Saved.Options.AddText, kAddTextStyle);
}

void TOptionsScreen::DrawValues() {
    TDirectDrawSurface* surface = ctx_.Sprites.Engine.Surface();
    if (surface == nullptr)
        return;
    const OptionsRecord& o = ctx_.State.Saved.Options;
    const auto draw = [&](const TValuePictures& p, uint8_t value) {
        if (value != 0)
            ctx_.Images1.Items.Find(p.On).Draw(surface, p.OnX, p.OnY, 0);
        else
            ctx_.Images1.Items.Find(p.Off).Draw(surface, p.OffX, p.OffY, 0);
    };
    draw(kFullScreen, o.FullScreen);
    draw(kMusic, o.Music);
    draw(kSound, o.SoundEffects);
    DrawAtInStyle(ctx_, o.AddText, kAddTextStyle, kAddTextX, kAddTextY);
}

void TOptionsScreen::ActivateItem(int32_t item) {
    TGameState& s = ctx_.State;
    if (!ItemInRange(s.Cursor, item))
        return;
    OptionsRecord& o = s.Saved.Options;
    switch (item) {
    case 1:
        o.FullScreen = o.FullScreen != 0 ? 0 : 1;
        ctx_.Services.SetDisplayMode();
        break;
    case 2:
        o.Music = o.Music != 0 ? 0 : 1;
        ctx_.Services.PlayMusicForScreen();
        break;
    case 3:
        o.SoundEffects = o.SoundEffects != 0 ? 0 : 1;
        break;
    case kEditItem:
        SetEditing(!editing_);
        break;
    case kBackItem:
        Leave();
        menus_.MainMenu.Build(0, 2, 0);
        break;
    default:
        break;
    }
}

void TOptionsScreen::CharacterTyped(uint8_t character) {
    TGameState& s = ctx_.State;
    // A question opened over the screen takes the keys ("Y", "N"); they must not
    // land in the add text behind it.
    if (!editing_ || s.Cursor.WindowKind != TWindowKind::None ||
        s.Cursor.ScreenCode != TScreenCode::Options)
        return;
    const TNameEditor editor(
        [this](const std::string& text) { return MenuTextWidth(ctx_, text, kAddTextStyle); });
    editor.Type(s.Saved.Options.AddText, static_cast<char>(character));
}

} // namespace vantorel
