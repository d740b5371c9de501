#include "platform/letterbox.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace vantorel {

void PrintTo(const TFitRect& r, std::ostream* os) {
    *os << "(" << r.X << ", " << r.Y << ", " << r.W << "x" << r.H << ")";
}

namespace {

struct TFitCase {
    const char* Name;
    int32_t WindowW, WindowH, DrawableW, DrawableH;
    TFitRect Target;
    bool Whole;
    TFitRect NewGameAt; ///< window point over the middle of picture point (400, 176)
};

// Worked out by hand: the picture is 800x600 (4:3).
const TFitCase kCases[] = {
    {"same size", 800, 600, 800, 600, {0, 0, 800, 600}, true, {400, 176}},
    {"twice, full height", 1600, 1200, 1600, 1200, {0, 0, 1600, 1200}, true, {801, 353}},
    {"wide: bars left and right", 1280, 720, 1280, 720, {160, 0, 960, 720}, false, {640, 211}},
    {"tall: bars above and below", 800, 800, 800, 800, {0, 100, 800, 600}, true, {400, 276}},
    {"HiDPI: 2 pixels per unit", 800, 600, 1600, 1200, {0, 0, 1600, 1200}, true, {400, 176}},
    {"HiDPI and wide", 1280, 720, 2560, 1440, {320, 0, 1920, 1440}, false, {640, 211}},
    {"smaller than the picture", 400, 300, 400, 300, {0, 0, 400, 300}, false, {200, 88}},
    {"odd sizes round to the nearest pixel",
     1023,
     767,
     1023,
     767,
     {0, 0, 1023, 767},
     false,
     {512, 225}},
};

void PrintTo(const TFitCase& c, std::ostream* os) {
    *os << c.Name;
}

class LetterboxFit : public ::testing::TestWithParam<TFitCase> {};

TEST_P(LetterboxFit, PlacesThePictureAndMapsTheWindowBack) {
    const TFitCase& c = GetParam();
    const TLetterbox fit(800, 600, c.WindowW, c.WindowH, c.DrawableW, c.DrawableH);
    EXPECT_EQ(fit.Target(), c.Target);
    EXPECT_EQ(fit.WholeMultiple(), c.Whole);
    EXPECT_EQ(fit.ToWindow(400, 176), c.NewGameAt);

    // Where the picture is at least its own size, every picture point is reached
    // and comes back: the four corners and a point inside.
    const bool scaledUp = c.Target.W >= 800;
    if (scaledUp) {
        EXPECT_EQ(fit.ToPicture(c.NewGameAt.X, c.NewGameAt.Y), (TFitRect{400, 176}));
    }
    for (const TFitRect p : {TFitRect{0, 0}, TFitRect{799, 0}, TFitRect{0, 599}, TFitRect{799, 599},
                             TFitRect{333, 222}}) {
        const TFitRect w = fit.ToWindow(p.X, p.Y);
        EXPECT_GE(w.X, 0);
        EXPECT_GE(w.Y, 0);
        EXPECT_LT(w.X, c.WindowW);
        EXPECT_LT(w.Y, c.WindowH);
        if (scaledUp) {
            EXPECT_EQ(fit.ToPicture(w.X, w.Y), p) << p.X << "," << p.Y;
        }
    }
    // The window's corners lie on the bars or on the picture's corners; either
    // way they fall on the picture's corners, and so do points off the window.
    if (scaledUp) {
        EXPECT_EQ(fit.ToPicture(0, 0), (TFitRect{0, 0}));
        EXPECT_EQ(fit.ToPicture(c.WindowW - 1, c.WindowH - 1), (TFitRect{799, 599}));
    }
    EXPECT_EQ(fit.ToPicture(-50, c.WindowH + 50), (TFitRect{0, 599}));
    EXPECT_EQ(fit.ToPicture(c.WindowW + 50, -50), (TFitRect{799, 0}));
}

std::string CaseName(const ::testing::TestParamInfo<TFitCase>& param) {
    std::string name;
    for (const char* p = param.param.Name; *p != '\0'; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
            name += *p;
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sizes, LetterboxFit, ::testing::ValuesIn(kCases), CaseName);

TEST(Letterbox, RelativeMotionIsInPictureUnits) {
    EXPECT_DOUBLE_EQ(TLetterbox(800, 600).MotionScaleX(), 1.0);
    // 960 picture pixels across 1280 units: 5/6 of a picture unit per desktop unit.
    const TLetterbox wide(800, 600, 1280, 720);
    EXPECT_DOUBLE_EQ(wide.MotionScaleX(), 800.0 / 960.0);
    EXPECT_DOUBLE_EQ(wide.MotionScaleY(), 600.0 / 720.0);
    // HiDPI: a desktop unit is two pixels, the picture twice its size: one to one.
    EXPECT_DOUBLE_EQ(TLetterbox(800, 600, 800, 600, 1600, 1200).MotionScaleX(), 1.0);
}

TEST(Letterbox, AMinimisedWindowCountsAsThePicturesOwnSize) {
    const TLetterbox fit(800, 600, 0, 0, 0, 0);
    EXPECT_EQ(fit.Target(), (TFitRect{0, 0, 800, 600}));
    EXPECT_EQ(fit.ToPicture(123, 456), (TFitRect{123, 456}));
    EXPECT_EQ(fit, TLetterbox(800, 600));
}

} // namespace
} // namespace vantorel
