#include "objects/my_image_sprite.hpp"

#include "base/errors.hpp"
#include "objects/object_world.hpp"
#include "objects/scroll_background.hpp"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using testing_objects::Library;
using testing_objects::TObjectWorld;

class MyImageSprite : public TObjectWorld {};

TEST_F(MyImageSprite, FindsItsPictureAndPlacesIt) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "explosion", 10, 20, 7);
    const TPictureCollectionItem& picture = Library(2).Items.Find("Explosion");
    EXPECT_EQ(s->Image(), &picture) << "names ignore case";
    EXPECT_EQ(s->Width, picture.Width());
    EXPECT_EQ(s->AnimFrameCount, picture.PatternCount());
    EXPECT_EQ(s->Z(), 7);
    EXPECT_DOUBLE_EQ(s->X, 10);

    TMyImageSprite* c = TMyImageSprite::CreateCentered(Context, 2, "Null", 567, 39, 10);
    EXPECT_DOUBLE_EQ(c->X + c->Width / 2.0, 567);
    EXPECT_DOUBLE_EQ(c->Y + c->Height / 2.0, 39);

    EXPECT_THROW(s->SetImageByName("NoSuchPicture"), EPictureCollectionError);
}

TEST_F(MyImageSprite, AnUnknownLibraryKeepsThePicture) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Explosion", 0, 0, 0);
    s->AnimPosition = 3;
    s->ImageListNo = 3;
    s->SetImageByName("Player");
    EXPECT_EQ(s->Image(), &Library(2).Items.Find("Explosion"));
    EXPECT_EQ(s->AnimPosition, 0);
}

TEST_F(MyImageSprite, AnimatesAtItsPercentPerFrameWhateverTheFrameTime) {
    for (int32_t frameMs : {5, 15, 40}) {
        State.Timing.FrameMs = frameMs;
        TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Explosion", 0, 0, 0);
        s->AnimPercent = 20;
        Frame(); // the speed takes effect from the next move
        for (int32_t i = 0; i < 10; ++i)
            Frame();
        EXPECT_NEAR(s->AnimPosition, 2.0, 1e-9) << frameMs;
    }
}

TEST_F(MyImageSprite, AZeroPercentLeavesTheSpeedAlone) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Explosion", 0, 0, 0);
    s->AnimSpeed = 0.01;
    Frame();
    EXPECT_DOUBLE_EQ(s->AnimSpeed, 0.01);
}

TEST_F(MyImageSprite, PlayOnceHidesAtTheEndOfTheCycle) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Player", 0, 0, 0);
    s->PlayAnimationOnce("Explosion", 30);
    const int32_t patterns = s->AnimFrameCount;
    int32_t frames = 0;
    while (s->Visible && frames < 1000) {
        Frame();
        ++frames;
    }
    // 0.3 patterns a frame; the cycle ends half a pattern early.
    EXPECT_NEAR(frames, (patterns - 0.5) / 0.3 + 1, 2);
}

TEST_F(MyImageSprite, ASinglePatternStillEnds) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Null", 0, 0, 0);
    ASSERT_EQ(s->AnimFrameCount, 1);
    s->AnimPercent = 30;
    s->KillAtAnimEnd = true;
    for (int32_t i = 0; i < 5 && !s->Killed(); ++i)
        Frame();
    EXPECT_TRUE(s->Killed());
}

TEST_F(MyImageSprite, KillTwiceMarksDeadOnce) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Null", 0, 0, 0);
    s->Kill();
    s->Kill();
    EXPECT_EQ(Sprites.Engine.DeadList().size(), 1u);
}

TEST_F(MyImageSprite, KeepsItsCentre) {
    TMyImageSprite* s = TMyImageSprite::CreateAt(Context, 2, "Null", 0, 0, 0);
    s->X = 10.9;
    s->Y = -10.9;
    Frame();
    EXPECT_EQ(s->CenterX, static_cast<int32_t>(10.9 + s->Width / 2.0));
    EXPECT_EQ(s->CenterY, static_cast<int32_t>(-10.9 + s->Height / 2.0));
}

class ScrollBackground : public TObjectWorld {};

TEST_F(ScrollBackground, ScrollsAndWrapsByOneTileKeepingTheFraction) {
    auto* sky = new TScrollBackground(Context, 2, "SkyTile", 7, 1);
    const int32_t tile = Library(2).Items.Find("SkyTile").Width();
    EXPECT_EQ(sky->Width, tile);
    EXPECT_EQ(sky->Z(), 2);
    Frame();
    EXPECT_DOUBLE_EQ(sky->X, 0) << "ScrollX 0 stands still";

    sky->ScrollX = -3;
    State.Timing.FrameFactor = 0.5;
    sky->X = -tile + 1.25;
    Frame();
    EXPECT_DOUBLE_EQ(sky->X, -tile - 0.25 + tile);
}

TEST_F(ScrollBackground, ChangesPictureAndLibrary) {
    auto* back = new TScrollBackground(Context, 2, "Hills1", 2, 1);
    back->ChangeImage("HS_Bg", 1);
    EXPECT_EQ(back->Image(), &Library(1).Items.Find("HS_Bg"));
    EXPECT_EQ(back->Height, Library(1).Items.Find("HS_Bg").Height());
    back->Kill();
    back->Kill();
    EXPECT_EQ(Sprites.Engine.DeadList().size(), 1u);
}

TEST_F(ScrollBackground, TheFrontHillsSetTheGroundSpeed) {
    EXPECT_EQ(GroundSpeed(Fixed), -4);
    auto* hills = new TScrollBackground(Context, 2, "Hills1", 2, 1);
    hills->ScrollX = -6;
    Fixed.Hills[0] = hills;
    EXPECT_EQ(GroundSpeed(Fixed), -6);
}

} // namespace
} // namespace vantorel
