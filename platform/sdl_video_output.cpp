#include "platform/sdl_video_output.hpp"

#include "base/errors.hpp"
#include "platform/sdl_window.hpp"

#include <SDL.h>

#include <thread>

namespace vantorel {

namespace {

SDL_Window* gGameWindow = nullptr;

/// A schedule that falls this much behind is taken as paced by the renderer.
constexpr auto kTickSlack = std::chrono::microseconds(1000);

} // namespace

SDL_Window* GameWindow() {
    return gGameWindow;
}
void SetGameWindow(SDL_Window* window) {
    gGameWindow = window;
}

TSdlVideoOutput::TSdlVideoOutput(const std::string& title, int32_t width, int32_t height)
    : width_(width), height_(height) {
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                               height, SDL_WINDOW_HIDDEN);
    if (window_ == nullptr)
        throw EVantorelError(std::string("Cannot create the game window: ") + SDL_GetError());
    // The renderer comes with the first Open: creating it is the slowest step of
    // start-up, and the game reads its data on another core meanwhile.
    cursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    if (cursor_ != nullptr)
        SDL_SetCursor(cursor_);
    SDL_AddEventWatch(&TSdlVideoOutput::EventWatch, this);
    SetGameWindow(window_);
}

TSdlVideoOutput::~TSdlVideoOutput() {
    SDL_DelEventWatch(&TSdlVideoOutput::EventWatch, this);
    if (GameWindow() == window_)
        SetGameWindow(nullptr);
    DestroyRenderer();
    if (cursor_ != nullptr)
        SDL_FreeCursor(cursor_);
    SDL_DestroyWindow(window_);
}

void TSdlVideoOutput::CreateRenderer() {
    renderer_ =
        SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer_ == nullptr)
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr)
        throw EVantorelError(std::string("Cannot present the game's picture: ") + SDL_GetError());
    SDL_RendererInfo info{};
    vsync_ =
        SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    SDL_RenderSetLogicalSize(renderer_, width_, height_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 width_, height_);
    if (texture_ == nullptr) {
        const std::string why = SDL_GetError();
        DestroyRenderer();
        throw EVantorelError("Cannot present the game's picture: " + why);
    }
}

void TSdlVideoOutput::DestroyRenderer() {
    if (texture_ != nullptr)
        SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr)
        SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
}

int TSdlVideoOutput::EventWatch(void* self, SDL_Event* e) {
    auto* out = static_cast<TSdlVideoOutput*>(self);
    if (e->type == SDL_RENDER_TARGETS_RESET)
        out->lost_ = true;
    if (e->type == SDL_WINDOWEVENT && e->window.windowID == SDL_GetWindowID(out->window_)) {
        // Follows the same focus events as the frame timer, so both agree; a new
        // window counts as active until the desktop says otherwise.
        if (e->window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            out->active_ = true;
        if (e->window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            out->active_ = false;
    }
    if (e->type == SDL_RENDER_DEVICE_RESET) {
        out->lost_ = true;
        out->deviceReset_ = true;
    }
    return 0;
}

bool TSdlVideoOutput::Open(bool fullScreen, int32_t width, int32_t height) {
    if (renderer_ == nullptr || width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        DestroyRenderer();
        CreateRenderer();
    }
    if (fullScreen && !fullScreen_) {
        SDL_GetWindowPosition(window_, &windowX_, &windowY_);
        havePlacement_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            return false;
    } else if (!fullScreen && fullScreen_) {
        if (SDL_SetWindowFullscreen(window_, 0) != 0)
            return false;
        SDL_SetWindowSize(window_, width_, height_);
        if (havePlacement_)
            SDL_SetWindowPosition(window_, windowX_, windowY_);
        else
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    fullScreen_ = fullScreen;
    SDL_RenderSetLogicalSize(renderer_, width_, height_);
    SDL_ShowWindow(window_);
    open_ = true;
    nextTick_ = {};
    return true;
}

void TSdlVideoOutput::Present(const TFrameView& frame, bool waitVBlank) {
    if (!open_ || renderer_ == nullptr || frame.Pixels == nullptr)
        return;
    SDL_UpdateTexture(texture_, nullptr, frame.Pixels, frame.Pitch * 4);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    if (!waitVBlank)
        return;

    // Keep a tick schedule at the refresh rate. With real vsync the present has
    // already waited and the schedule is never ahead, so this costs nothing.
    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::nanoseconds(1'000'000'000LL / RefreshRate());
    auto now = clock::now();
    if (nextTick_ != clock::time_point{} && now + kTickSlack < nextTick_) {
        std::this_thread::sleep_until(nextTick_);
        nextTick_ += period;
    } else {
        nextTick_ = now + period;
    }
}

int32_t TSdlVideoOutput::RefreshRate() const {
    int index = SDL_GetWindowDisplayIndex(window_);
    if (index < 0)
        index = 0;
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(index, &mode) != 0 || mode.refresh_rate <= 1)
        return 60;
    return mode.refresh_rate;
}

bool TSdlVideoOutput::IsActive() const {
    return active_;
}

bool TSdlVideoOutput::TakeLost() {
    if (!lost_)
        return false;
    lost_ = false;
    if (deviceReset_) {
        deviceReset_ = false;
        DestroyRenderer();
        CreateRenderer();
    }
    return true;
}

std::string TSdlVideoOutput::Describe() const {
    SDL_RendererInfo info{};
    if (renderer_ == nullptr || SDL_GetRendererInfo(renderer_, &info) != 0)
        return "no renderer";
    return std::string(info.name) + (vsync_ ? ", vsync" : ", no vsync") + ", " +
           std::to_string(RefreshRate()) + " Hz";
}

} // namespace vantorel
