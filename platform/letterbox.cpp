#include "platform/letterbox.hpp"

#include <algorithm>
#include <cmath>

namespace vantorel {

namespace {

int32_t OrPicture(int32_t size, int32_t picture) {
    return size > 0 ? size : picture;
}

} // namespace

TLetterbox::TLetterbox(int32_t pictureW, int32_t pictureH)
    : TLetterbox(pictureW, pictureH, pictureW, pictureH, pictureW, pictureH) {}

TLetterbox::TLetterbox(int32_t pictureW, int32_t pictureH, int32_t windowW, int32_t windowH)
    : TLetterbox(pictureW, pictureH, windowW, windowH, windowW, windowH) {}

TLetterbox::TLetterbox(int32_t pictureW, int32_t pictureH, int32_t windowW, int32_t windowH,
                       int32_t drawableW, int32_t drawableH)
    : pictureW_(std::max(pictureW, 1)), pictureH_(std::max(pictureH, 1)) {
    const bool minimised = windowW <= 0 || windowH <= 0 || drawableW <= 0 || drawableH <= 0;
    windowW_ = minimised ? pictureW_ : OrPicture(windowW, pictureW_);
    windowH_ = minimised ? pictureH_ : OrPicture(windowH, pictureH_);
    drawableW_ = minimised ? pictureW_ : OrPicture(drawableW, pictureW_);
    drawableH_ = minimised ? pictureH_ : OrPicture(drawableH, pictureH_);

    // The side that runs out first sets the scale; the other is rounded to the
    // nearest pixel, so a 4:3 drawable holds a 4:3 picture without a bar at all.
    const int64_t wide = int64_t{drawableW_} * pictureH_;
    const int64_t tall = int64_t{drawableH_} * pictureW_;
    if (wide <= tall) {
        target_.W = drawableW_;
        target_.H = static_cast<int32_t>((wide + pictureW_ / 2) / pictureW_);
    } else {
        target_.H = drawableH_;
        target_.W = static_cast<int32_t>((tall + pictureH_ / 2) / pictureH_);
    }
    target_.W = std::clamp(target_.W, 1, drawableW_);
    target_.H = std::clamp(target_.H, 1, drawableH_);
    target_.X = (drawableW_ - target_.W) / 2;
    target_.Y = (drawableH_ - target_.H) / 2;
}

bool TLetterbox::WholeMultiple() const {
    return target_.W % pictureW_ == 0 && target_.H % pictureH_ == 0 &&
           target_.W / pictureW_ == target_.H / pictureH_;
}

TFitRect TLetterbox::ToPicture(int32_t x, int32_t y) const {
    // The middle of the desktop unit, in drawable pixels, then in picture units.
    const double dx = (x + 0.5) * drawableW_ / windowW_;
    const double dy = (y + 0.5) * drawableH_ / windowH_;
    const double px = (dx - target_.X) * pictureW_ / target_.W;
    const double py = (dy - target_.Y) * pictureH_ / target_.H;
    return {std::clamp(static_cast<int32_t>(std::floor(px)), 0, pictureW_ - 1),
            std::clamp(static_cast<int32_t>(std::floor(py)), 0, pictureH_ - 1)};
}

TFitRect TLetterbox::ToWindow(int32_t x, int32_t y) const {
    const double dx = target_.X + (x + 0.5) * target_.W / pictureW_;
    const double dy = target_.Y + (y + 0.5) * target_.H / pictureH_;
    return {static_cast<int32_t>(std::floor(dx * windowW_ / drawableW_)),
            static_cast<int32_t>(std::floor(dy * windowH_ / drawableH_))};
}

double TLetterbox::MotionScaleX() const {
    return static_cast<double>(pictureW_) * drawableW_ /
           (static_cast<double>(target_.W) * windowW_);
}

double TLetterbox::MotionScaleY() const {
    return static_cast<double>(pictureH_) * drawableH_ /
           (static_cast<double>(target_.H) * windowH_);
}

} // namespace vantorel
