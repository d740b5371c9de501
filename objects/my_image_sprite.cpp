#include "objects/my_image_sprite.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "state/game_context.hpp"
#include "state/game_state.hpp"

namespace vantorel {

TMyImageSprite::TMyImageSprite(TGameContext& context, uint8_t imageListNo)
    : TImageSprite(&context.Sprites.Engine), ImageListNo(imageListNo), context_(context) {
    AnimLoop = true;
    AnimSpeed = 0;
    AnimPosition = 0;
}

TMyImageSprite* TMyImageSprite::CreateAt(TGameContext& context, uint8_t imageListNo,
                                         const std::string& name, int32_t x, int32_t y, int32_t z) {
    auto* sprite = new TMyImageSprite(context, imageListNo);
    sprite->SetImageByName(name);
    sprite->X = x;
    sprite->Y = y;
    sprite->SetZ(z);
    return sprite;
}

TMyImageSprite* TMyImageSprite::CreateCentered(TGameContext& context, uint8_t imageListNo,
                                               const std::string& name, int32_t cx, int32_t cy,
                                               int32_t z) {
    auto* sprite = new TMyImageSprite(context, imageListNo);
    sprite->SetImageCentered(name, cx, cy);
    sprite->SetZ(z);
    return sprite;
}

TDXImageList* TMyImageSprite::ImageList() const {
    switch (ImageListNo) {
    case 1:
        return &context_.Images1;
    case 2:
        return &context_.Images2;
    default:
        return nullptr;
    }
}

void TMyImageSprite::SetImageByName(const std::string& name) {
    if (TDXImageList* list = ImageList())
        SetImage(&list->Items.Find(name));
    TPictureCollectionItem* picture = Image();
    Width = picture != nullptr ? picture->Width() : 0;
    Height = picture != nullptr ? picture->Height() : 0;
    AnimPosition = 0;
    LastAnimPosition = 0;
    AnimPositionBefore = 0;
    AnimFrameCount = picture != nullptr ? picture->PatternCount() : 0;
}

void TMyImageSprite::SetImageCentered(const std::string& name, int32_t cx, int32_t cy) {
    SetImageByName(name);
    X = cx - Width / 2.0;
    Y = cy - Height / 2.0;
}

void TMyImageSprite::PlayAnimation(const std::string& name, int32_t percent) {
    SetImageByName(name);
    AnimPosition = 0;
    LastAnimPosition = 0;
    AnimPositionBefore = 0;
    AnimLoop = true;
    AnimPercent = percent;
}

void TMyImageSprite::PlayAnimationOnce(const std::string& name, int32_t percent) {
    PlayAnimation(name, percent);
    HideAtAnimEnd = true;
}

void TMyImageSprite::RestartAnimation() {
    AnimPosition = 0;
    LastAnimPosition = 0;
}

void TMyImageSprite::Kill() {
    if (killed_)
        return;
    MarkDead();
    killed_ = true;
}

void TMyImageSprite::MoveSelf(int32_t moveCount) {
    AnimPositionBefore = AnimPosition;
    TImageSprite::MoveSelf(moveCount);
    // The drawn pattern is the rounded position; never let it round up to the count.
    if (AnimFrameCount - 0.5 < AnimPosition)
        AnimPosition = 0;
    CenterX = static_cast<int32_t>(X + Width / 2.0);
    CenterY = static_cast<int32_t>(Y + Height / 2.0);
    const bool wrapped = AnimPosition < LastAnimPosition;
    if (KillAtAnimEnd && wrapped)
        Kill();
    if (HideAtAnimEnd && wrapped)
        Visible = false;
    LastAnimPosition = AnimPosition;
    // MoveCount is milliseconds, so a frame of FrameMs advances AnimPercent/100 patterns.
    if (AnimPercent > 0 && context_.State.Timing.FrameMs > 0)
        AnimSpeed = (1.0 / context_.State.Timing.FrameMs) * AnimPercent / 100.0;
}

void TMyImageSprite::DrawSelf() {
    if (!AlphaMode || Alpha == 255) {
        TImageSprite::DrawSelf();
        return;
    }
    if (Alpha <= 0 || Image() == nullptr || Engine() == nullptr)
        return;
    const TRect dest{static_cast<int32_t>(X), static_cast<int32_t>(Y),
                     static_cast<int32_t>(X + Width), static_cast<int32_t>(Y + Height)};
    Image()->DrawBlended(Engine()->Surface(), dest, static_cast<int32_t>(AnimPosition), Alpha);
}

} // namespace vantorel
