#include "objects/scroll_background.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "objects/game_sprites.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

namespace {

constexpr int32_t kGameGroundSpeed = -4;

/// The still scene behind the menus: library, picture and top-left corner, drawn
/// in this order (back hills first).
struct TMenuPiece {
    uint8_t List;
    const char* Name;
    int32_t X;
    int32_t Y;
};
constexpr TMenuPiece kMenuScene[] = {
    {2, "Hills3", 0, 498},   {2, "Hills2", 0, 495},         {2, "Hills1", 0, 485},
    {2, "Player", 30, 221},  {2, "RocketBullet", 490, 330}, {1, "Plasma", 525, 124},
    {1, "Plasma", 673, 173}, {2, "UFO", 654, 303},
};

} // namespace

int32_t GroundSpeed(const TGameSprites& sprites) {
    return sprites.Hills[0] != nullptr ? sprites.Hills[0]->ScrollX : kGameGroundSpeed;
}

TScrollBackground::TScrollBackground(TGameContext& context, uint8_t imageListNo,
                                     const std::string& imageName, int32_t mapWidth,
                                     int32_t mapHeight)
    : TBackgroundSprite(&context.Sprites.Engine), ImageListNo(imageListNo), context_(context) {
    SetMapSize(mapWidth, mapHeight);
    SetImageByName(imageName);
    X = 0;
    Y = 0;
    SetZ(2);
}

void TScrollBackground::SetImageByName(const std::string& name) {
    if (ImageListNo == 1)
        SetImage(&context_.Images1.Items.Find(name));
    else if (ImageListNo == 2)
        SetImage(&context_.Images2.Items.Find(name));
    Width = Image() != nullptr ? Image()->Width() : 0;
    Height = Image() != nullptr ? Image()->Height() : 0;
}

void TScrollBackground::ChangeImage(const std::string& name, uint8_t imageListNo) {
    ImageListNo = imageListNo;
    SetImageByName(name);
}

void TScrollBackground::Kill() {
    if (killed_)
        return;
    MarkDead();
    killed_ = true;
}

void TScrollBackground::MoveSelf(int32_t moveCount) {
    TBackgroundSprite::MoveSelf(moveCount);
    X += ScrollX * context_.State.Timing.FrameFactor;
    Y += ScrollY * context_.State.Timing.FrameFactor;
    // Every cell shows the same tile, so a jump of one tile width is invisible.
    if (Image() != nullptr && X < -Image()->Width())
        X += Image()->Width();
}

void TScrollBackground::DrawSelf() {
    TBackgroundSprite::DrawSelf();
    if (context_.State.Cursor.ScreenCode == TScreenCode::Game || Engine() == nullptr)
        return;
    for (const TMenuPiece& piece : kMenuScene) {
        TDXImageList& list = piece.List == 1 ? context_.Images1 : context_.Images2;
        list.Items.Find(piece.Name).Draw(Engine()->Surface(), piece.X, piece.Y, 0);
    }
}

} // namespace vantorel
