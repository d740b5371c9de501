#include "platform/video_output.hpp"

#include <algorithm>

namespace vantorel {

bool TNullVideoOutput::Open(bool fullScreen, int32_t width, int32_t height) {
    if (fullScreen && FailFullScreen)
        return false;
    ++openCount_;
    open_ = true;
    fullScreen_ = fullScreen;
    lastWidth_ = width;
    lastHeight_ = height;
    return true;
}

void TNullVideoOutput::Present(const TFrameView& frame, bool waitVBlank) {
    if (!open_ || frame.Pixels == nullptr || frame.Width <= 0 || frame.Height <= 0)
        return;
    ++presentCount_;
    lastWait_ = waitVBlank;
    lastWidth_ = frame.Width;
    lastHeight_ = frame.Height;
    lastFrame_.resize(static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height));
    for (int32_t y = 0; y < frame.Height; ++y) {
        const uint32_t* row = frame.Pixels + static_cast<std::ptrdiff_t>(y) * frame.Pitch;
        std::copy(row, row + frame.Width,
                  lastFrame_.begin() + static_cast<std::ptrdiff_t>(y) * frame.Width);
    }
}

bool TNullVideoOutput::TakeLost() {
    bool was = lost_;
    lost_ = false;
    return was;
}

} // namespace vantorel
