#include "menus/main_menu_screen.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "objects/game_sprites.hpp"
#include "objects/scroll_background.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"
#include "storage/links.hpp"

#include <string>

namespace vantorel {

namespace {

constexpr int32_t kItems = 6;
constexpr int32_t kItemX = 205;
constexpr std::array<int32_t, kItems> kItemY{156, 205, 260, 311, 360, 407};
constexpr int32_t kLogoLayer = 4;
constexpr int32_t kOpaque = 255;
// An item starts to fade in when the one above it has reached this opacity.
constexpr int32_t kNextItemAt = 80;

} // namespace

void TMainMenuScreen::Build(int32_t intro, int32_t item, int32_t fresh) {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::MainMenu;
    if (fresh != 0)
        ctx_.Services.PlayMusicForScreen();
    s.Cursor.FirstItem = 1;
    s.Cursor.LastItem = kItems;
    s.Cursor.ItemIndex = item;
    intro_ = intro;
    menus_.Pad.Arm(s.Input);

    if (menus_.Fixed.Sky != nullptr) {
        menus_.Fixed.Sky->ChangeImage("SkyTile", 2);
        menus_.Fixed.Sky->ScrollX = 0;
        menus_.Fixed.Sky->X = 0;
        menus_.Fixed.Sky->Y = 0;
    }
    if (fresh != 0) {
        for (TMyImageSprite*& logo : logos_)
            if (logo != nullptr)
                logo->Kill();
        logos_[0] = TMyImageSprite::CreateAt(ctx_, 1, "UpLogo", 10, 25, kLogoLayer);
        logos_[1] = TMyImageSprite::CreateAt(ctx_, 1, "DownLogo", 573, 530, kLogoLayer);
    }
    for (int32_t k = 1; k <= kItems; ++k) {
        const std::string stem = "MM_" + std::to_string(k);
        menus_.Items[static_cast<size_t>(k)] = new TMenuButton(
            ctx_, 1, kItemX, kItemY[static_cast<size_t>(k - 1)], 0, 0, stem + "_I", stem + "_A");
    }
    if (intro == 1) {
        for (TMyImageSprite* logo : logos_) {
            if (logo != nullptr) {
                logo->AlphaMode = true;
                logo->Alpha = 0;
            }
        }
        for (int32_t k = 1; k <= kItems; ++k) {
            TMenuButton* b = menus_.Items[static_cast<size_t>(k)];
            b->AlphaMode = true;
            b->Alpha = 0;
        }
    }
}

void TMainMenuScreen::Leave(bool withLogos) {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::None;
    KillItems(menus_.Items, s.Cursor.FirstItem, s.Cursor.LastItem);
    intro_ = 0;
    if (withLogos) {
        for (TMyImageSprite*& logo : logos_) {
            if (logo != nullptr)
                logo->Kill();
            logo = nullptr;
        }
    }
}

void TMainMenuScreen::IntroStep() {
    TMyImageSprite* up = logos_[0];
    TMyImageSprite* down = logos_[1];
    if (intro_ == 1) {
        if (up == nullptr) {
            intro_ = 2;
        } else {
            if (!CountUp(up->Alpha, kOpaque, 10)) {
                up->Alpha = kOpaque;
                up->AlphaMode = false;
                intro_ = 2;
            }
            if (down != nullptr) {
                down->Alpha = up->Alpha;
                down->AlphaMode = up->AlphaMode;
            }
        }
        return;
    }
    for (TMyImageSprite* logo : logos_)
        if (logo != nullptr)
            logo->Alpha += 5;
    for (int32_t k = 1; k < intro_; ++k) {
        TMenuButton* b = menus_.Items[static_cast<size_t>(k)];
        if (b != nullptr && b->Alpha < kOpaque)
            b->Alpha += 10;
    }
    TMenuButton* last = menus_.Items[static_cast<size_t>(intro_ - 1)];
    const int32_t lastAlpha = last != nullptr ? last->Alpha : kOpaque;
    if (intro_ < kItems + 1) {
        if (lastAlpha >= kNextItemAt)
            ++intro_;
    } else if (lastAlpha >= kOpaque) {
        intro_ = 0;
    }
}

void TMainMenuScreen::Tick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    bool padPressed = menus_.Pad.Pressed(s.Input);
    if (intro_ != 0) {
        IntroStep();
    } else {
        UpdateHighlight(s.Cursor, menus_.Items);
        if (s.Input.WasPressed(TInputKey::Up))
            StepUpWrap(s.Cursor.ItemIndex, 1, kItems);
        if (s.Input.WasPressed(TInputKey::Down))
            StepDownWrap(s.Cursor.ItemIndex, 1, kItems);
        if (s.Input.WasPressed(TInputKey::Esc)) {
            ctx_.Navigation.OpenWindow(TWindowKind::ExitGame);
            padPressed = false;
        }
    }
    if (padPressed)
        ctx_.Navigation.ActivateItem();
    // An activation may have left the menu; the next screen moves its own sprites.
    if (s.Cursor.ScreenCode == TScreenCode::MainMenu)
        ctx_.Sprites.Move(lagCount);
}

void TMainMenuScreen::ActivateItem(int32_t item) {
    if (!ItemInRange(ctx_.State.Cursor, item))
        return;
    switch (item) {
    case 1:
        Leave(true);
        ctx_.Navigation.NewGame();
        break;
    case 2:
        Leave(false);
        menus_.Options.Build();
        break;
    case 3:
        Leave(false);
        menus_.HighScores.Build();
        break;
    case 4:
        Leave(false);
        menus_.Help.Build();
        break;
    case 5:
        OpenMakerSite(menus_.Links);
        break;
    case 6:
        ctx_.Navigation.OpenWindow(TWindowKind::ExitGame);
        break;
    default:
        break;
    }
}

} // namespace vantorel
