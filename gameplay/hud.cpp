#include "gameplay/hud.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/text_drawing.hpp"
#include "objects/game_sprites.hpp"
#include "objects/my_image_sprite.hpp"
#include "objects/player.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

#include <algorithm>

namespace vantorel {
namespace {

constexpr int32_t kLifeIconX[3] = {336, 373, 410};
constexpr int32_t kLifeIconY = 41;
constexpr int32_t kWeaponIconX = 567;
constexpr int32_t kWeaponIconY = 39;

constexpr const char* kWeaponIcons[9] = {
    "Null",        "BonusLaserGun",    "BonusPlasmaGun",    "BonusRocketGun",    "BonusRailGun",
    "BonusShield", "BonusLaserGun_2x", "BonusPlasmaGun_3x", "BonusRocketGun_2x",
};

constexpr int32_t kShieldSlot = 5;
// The order in which held weapons are looked at; the last held one is shown.
constexpr int32_t kShownWeapons[6] = {2, 3, 4, 6, 7, 8};

} // namespace

int32_t THud::WeaponSlot(std::span<const bool> weaponOn) {
    auto held = [&](int32_t slot) {
        return static_cast<size_t>(slot) < weaponOn.size() && weaponOn[static_cast<size_t>(slot)];
    };
    int32_t w = 0;
    for (int32_t slot : kShownWeapons)
        if (held(slot))
            w = slot;
    if (w == 0 && held(kShieldSlot))
        w = kShieldSlot;
    return w;
}

const char* THud::WeaponIcon(int32_t slot) {
    return slot >= 0 && slot <= 8 ? kWeaponIcons[slot] : kWeaponIcons[0];
}

std::string THud::TimeText(int32_t ms) {
    return std::to_string(ms / 10000) + std::to_string((ms / 1000) % 10);
}

void THud::Create() {
    fixed_.Panel = TMyImageSprite::CreateAt(ctx_, 2, "Panels", 0, 0, 9);
    for (size_t i = 0; i < 3; ++i)
        fixed_.LifeIcons[i] =
            TMyImageSprite::CreateAt(ctx_, 2, "PanelLife", kLifeIconX[i], kLifeIconY, 10);
    fixed_.WeaponIcon =
        TMyImageSprite::CreateCentered(ctx_, 2, "Null", kWeaponIconX, kWeaponIconY, 10);
}

void THud::Draw() {
    TGameState& s = ctx_.State;
    if (fixed_.Player == nullptr)
        return;
    TDirectDrawSurface* frame = ctx_.Sprites.Engine.Surface();
    if (TDirectDrawSurfaceCanvas* canvas = CanvasOf(frame)) {
        SelectTextStyle(*canvas, 6);
        DrawText(*canvas, std::to_string(s.Progress.Level), 106, 43, true, true);
        SelectTextStyle(*canvas, 7);
        DrawTextRight(*canvas, std::to_string(s.Progress.Score), 282, 46);
    }

    const int32_t lives = std::clamp(s.Progress.Lives, 0, 3);
    for (int32_t i = 0; i < 3; ++i)
        if (TMyImageSprite* icon = fixed_.LifeIcons[static_cast<size_t>(i)])
            icon->Visible = i < lives;

    const TPlayer& player = *fixed_.Player;
    const int32_t w = WeaponSlot(player.WeaponOn);
    if (fixed_.WeaponIcon != nullptr)
        fixed_.WeaponIcon->SetImageCentered(WeaponIcon(w), kWeaponIconX, kWeaponIconY);
    if (w > 0)
        DrawCentredInStyle(frame, TimeText(player.WeaponTime[static_cast<size_t>(w)]), 8, 515, 46);
}

void THud::Remove() {
    if (fixed_.Panel != nullptr)
        fixed_.Panel->Kill();
    fixed_.Panel = nullptr;
    for (TMyImageSprite*& icon : fixed_.LifeIcons) {
        if (icon != nullptr)
            icon->Kill();
        icon = nullptr;
    }
    if (fixed_.WeaponIcon != nullptr)
        fixed_.WeaponIcon->Kill();
    fixed_.WeaponIcon = nullptr;
}

} // namespace vantorel
