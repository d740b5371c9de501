// Where finished frames go: the game's window (or the whole screen) on a desktop,
// or nothing at all in headless tests. The display (engine/display.hpp) presents
// its back surface through this interface and never sees the window system.
#pragma once

#include <cstdint>
#include <vector>

namespace vantorel {

/// A finished 800x600 frame: XRGB8888 pixels 0x00RRGGBB, top row first,
/// Pitch pixels from one row to the next. Valid only during Present.
struct TFrameView {
    const uint32_t* Pixels = nullptr;
    int32_t Pitch = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

class IVideoOutput {
public:
    virtual ~IVideoOutput() = default;

    /// Puts the output into window or full-screen presentation of a width x height
    /// picture. Called by TDXDraw::Initialize. False when the mode cannot be had
    /// (the display then reports "Display mode cannot be changed").
    virtual bool Open(bool fullScreen, int32_t width, int32_t height) = 0;
    /// Stops presenting until the next Open; the window itself stays. Called by
    /// TDXDraw::Finalize.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool IsFullScreen() const = 0;

    /// Shows one frame. With waitVBlank the call returns no sooner than the next
    /// refresh tick, so frames never come faster than the refresh rate.
    virtual void Present(const TFrameView& frame, bool waitVBlank) = 0;

    /// The display's vertical refresh rate in hertz; never 0 (unknown counts as 60).
    virtual int32_t RefreshRate() const = 0;
    /// True while the game's window has the input focus.
    virtual bool IsActive() const = 0;
    /// True once after the presentation device lost its contents (a renderer
    /// reset); the display then restores and tells its listeners to rebuild.
    virtual bool TakeLost() = 0;
};

/// The headless output: presents nowhere, keeps the last frame for tests to look
/// at, and can be told to refuse full screen or to lose its surfaces.
class TNullVideoOutput final : public IVideoOutput {
public:
    bool Open(bool fullScreen, int32_t width, int32_t height) override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool IsFullScreen() const override { return fullScreen_; }
    void Present(const TFrameView& frame, bool waitVBlank) override;
    int32_t RefreshRate() const override { return refreshRate_ > 0 ? refreshRate_ : 60; }
    bool IsActive() const override { return active_; }
    bool TakeLost() override;

    // Test controls.
    bool FailFullScreen = false;
    void SetActive(bool active) { active_ = active; }
    void SetRefreshRate(int32_t hz) { refreshRate_ = hz; }
    /// The next IsReadyToDraw or Flip of the display finds its surfaces lost.
    void LoseSurfaces() { lost_ = true; }

    int32_t OpenCount() const { return openCount_; }
    int32_t PresentCount() const { return presentCount_; }
    bool LastWaitVBlank() const { return lastWait_; }
    int32_t LastWidth() const { return lastWidth_; }
    int32_t LastHeight() const { return lastHeight_; }
    /// The last presented frame, row by row without padding; empty before the first.
    const std::vector<uint32_t>& LastFrame() const { return lastFrame_; }

private:
    bool open_ = false;
    bool fullScreen_ = false;
    bool active_ = true;
    bool lost_ = false;
    bool lastWait_ = false;
    int32_t refreshRate_ = 60;
    int32_t openCount_ = 0;
    int32_t presentCount_ = 0;
    int32_t lastWidth_ = 0;
    int32_t lastHeight_ = 0;
    std::vector<uint32_t> lastFrame_;
};

} // namespace vantorel
