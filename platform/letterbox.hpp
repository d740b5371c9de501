// Where the game's picture goes in a window of any size, and where a point of the
// window falls on the picture. Pure arithmetic, so tests and the scenario harness
// can use the same rules as the game's window at any size.
#pragma once

#include <cstdint>

namespace vantorel {

/// A rectangle or a point (W, H 0) in whole units.
struct TFitRect {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t W = 0;
    int32_t H = 0;
    bool operator==(const TFitRect&) const = default;
};

/// A picture of pictureW x pictureH shown in a window of windowW x windowH desktop
/// units, whose drawable has drawableW x drawableH pixels (more than the window's
/// units on a HiDPI desktop, the same elsewhere). The picture takes the largest
/// size that fits with its aspect kept, centred; the rest is black bars.
class TLetterbox {
public:
    /// A window exactly the picture's size.
    TLetterbox(int32_t pictureW, int32_t pictureH);
    TLetterbox(int32_t pictureW, int32_t pictureH, int32_t windowW, int32_t windowH);
    /// Sizes of 0 or less (a minimised window) count as the picture's own size.
    TLetterbox(int32_t pictureW, int32_t pictureH, int32_t windowW, int32_t windowH,
               int32_t drawableW, int32_t drawableH);

    /// Where the picture goes, in drawable pixels.
    TFitRect Target() const { return target_; }
    /// True when the picture fills Target at a whole multiple of its size (1x, 2x ...),
    /// where every picture pixel becomes a square of whole pixels.
    bool WholeMultiple() const;

    /// The picture point under window point (x, y) in desktop units; points on the
    /// bars fall on the nearest edge of the picture.
    TFitRect ToPicture(int32_t x, int32_t y) const;
    /// The window point (desktop units) over the middle of picture point (x, y):
    /// the inverse of ToPicture wherever the picture is at least its own size.
    TFitRect ToWindow(int32_t x, int32_t y) const;
    /// Picture units per desktop unit, for relative pointer motion.
    double MotionScaleX() const;
    double MotionScaleY() const;

    int32_t PictureWidth() const { return pictureW_; }
    int32_t PictureHeight() const { return pictureH_; }
    int32_t WindowWidth() const { return windowW_; }
    int32_t WindowHeight() const { return windowH_; }
    int32_t DrawableWidth() const { return drawableW_; }
    int32_t DrawableHeight() const { return drawableH_; }

    bool operator==(const TLetterbox&) const = default;

private:
    int32_t pictureW_;
    int32_t pictureH_;
    int32_t windowW_;
    int32_t windowH_;
    int32_t drawableW_;
    int32_t drawableH_;
    TFitRect target_;
};

} // namespace vantorel
