// The game's window on the desktop: opens at 800x600 desktop units, resizable, the
// picture scaled to fit with its aspect kept; in a window or across the whole
// screen. Presents through a GPU renderer where there is a GPU, and through SDL's
// software renderer into the window's framebuffer where the only GL would be a
// software rasteriser (which costs far more CPU than the game itself).
#pragma once

#include "platform/letterbox.hpp"
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
    /// Creates the window titled title with a width x height client area in desktop
    /// units, centred, resizable, and a hand pointer over it.
    /// Raises EVantorelError with the desktop's text when no window can be had.
    TSdlVideoOutput(const std::string& title, int32_t width, int32_t height);
    ~TSdlVideoOutput() override;
    TSdlVideoOutput(const TSdlVideoOutput&) = delete;
    TSdlVideoOutput& operator=(const TSdlVideoOutput&) = delete;

    /// Full screen covers the desktop's own mode with the picture scaled, its
    /// aspect kept; back in a window, the window returns to where it was and to
    /// the size it had.
    bool Open(bool fullScreen, int32_t width, int32_t height) override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool IsFullScreen() const override { return fullScreen_; }
    /// Uploads the frame and presents it, scaled to the window's size of the moment
    /// (nearest at whole multiples, linear elsewhere). Where the renderer does not wait for the
    /// vertical blank itself (software renderer, virtual displays), this waits for
    /// the next tick of a schedule kept at the refresh rate.
    void Present(const TFrameView& frame, bool waitVBlank) override;
    int32_t RefreshRate() const override;
    bool IsActive() const override;
    bool TakeLost() override;

    SDL_Window* Window() const { return window_; }
    /// The renderer's name, why it was chosen and whether it reported vsync, for
    /// the debug log.
    std::string Describe() const;
    /// Where the picture went at the last present, and how window points map onto it.
    const TLetterbox& Fit() const { return fit_; }

private:
    void CreateRenderer();
    void DestroyRenderer();
    /// Follows the window's size of the moment (force: also when it is unchanged).
    void UpdateFit(bool force);
    void ShowFullScreen();
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
    int windowW_ = 0;
    int windowH_ = 0;
    TLetterbox fit_{800, 600};
    std::string choice_;
    std::chrono::steady_clock::time_point nextTick_{};
};

} // namespace vantorel
