// The game's window on the desktop: an 800x600 client area presented through an
// accelerated renderer where there is one, in a window or across the whole screen.
#pragma once

#include "platform/video_output.hpp"

#include <chrono>
#include <cstdint>
#include <string>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
union SDL_Event;

namespace vantorel {

class TSdlVideoOutput final : public IVideoOutput {
public:
    /// Creates the window titled title with a width x height client area, centred,
    /// fixed border with minimise, not resizable, and a hand pointer over it.
    /// Raises EVantorelError with the desktop's text when no window can be had.
    TSdlVideoOutput(const std::string& title, int32_t width, int32_t height);
    ~TSdlVideoOutput() override;
    TSdlVideoOutput(const TSdlVideoOutput&) = delete;
    TSdlVideoOutput& operator=(const TSdlVideoOutput&) = delete;

    /// Full screen covers the desktop's own mode with the picture scaled, its
    /// aspect kept; back in a window, the window returns to where it was.
    bool Open(bool fullScreen, int32_t width, int32_t height) override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool IsFullScreen() const override { return fullScreen_; }
    /// Uploads the frame and presents it. Where the renderer does not wait for the
    /// vertical blank itself (software renderer, virtual displays), this waits for
    /// the next tick of a schedule kept at the refresh rate.
    void Present(const TFrameView& frame, bool waitVBlank) override;
    int32_t RefreshRate() const override;
    bool IsActive() const override;
    bool TakeLost() override;

    SDL_Window* Window() const { return window_; }
    /// The renderer's name and whether it reported vsync, for the debug log.
    std::string Describe() const;

private:
    void CreateRenderer();
    void DestroyRenderer();
    static int EventWatch(void* self, ::SDL_Event* e);

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Cursor* cursor_ = nullptr;
    int32_t width_;
    int32_t height_;
    bool open_ = false;
    bool fullScreen_ = false;
    bool vsync_ = false;
    bool lost_ = false;
    bool active_ = true;
    bool deviceReset_ = false;
    bool havePlacement_ = false;
    int windowX_ = 0;
    int windowY_ = 0;
    std::chrono::steady_clock::time_point nextTick_{};
};

} // namespace vantorel
