#include "platform/sdl_video_output.hpp"

#include "base/errors.hpp"
#include "platform/bare_x_server.hpp"
#include "platform/sdl_window.hpp"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

#include <algorithm>
#include <cctype>
#include <thread>

namespace vantorel {

namespace {

SDL_Window* gGameWindow = nullptr;
TLetterbox gGameWindowFit{800, 600};

/// A schedule that falls this much behind is taken as paced by the renderer.
constexpr auto kTickSlack = std::chrono::microseconds(1000);

constexpr unsigned kGlRenderer = 0x1F01; // GL_RENDERER

/// The index of SDL's renderer named name (any case); -1 when there is none.
int RenderDriverIndex(const char* name) {
    const int count = SDL_GetNumRenderDrivers();
    for (int i = 0; i < count; ++i) {
        SDL_RendererInfo info{};
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcasecmp(info.name, name) == 0)
            return i;
    }
    return -1;
}

/// For an OpenGL renderer, what its GL calls itself (GL_RENDERER); empty for
/// others. The renderer's context is current once it is made.
std::string GlRendererName(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncasecmp(info.name, "opengl", 6) != 0)
        return {};
    using TGetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<TGetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
    return name != nullptr ? reinterpret_cast<const char*>(name) : std::string();
}

/// Mesa's rasterisers that run on the CPU: presenting an 800x600 picture through
/// them costs many times what the game itself needs.
bool IsSoftwareRasterizer(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (name.find(soft) != std::string::npos)
            return true;
    return false;
}

/// False when the window is on an X server that can give a GL only on the CPU:
/// one offering none of DRI3, DRI2 (Mesa's GPU drivers) and NV-GLX (NVIDIA's),
/// as Xvfb or a remote display. Finding that out by making a GL renderer loads
/// the rasteriser and its compiler, the most part of the start-up time there.
/// True elsewhere (another desktop, or an answer that cannot be had).
bool MayHaveGpuGl(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11 ||
        info.info.x11.display == nullptr)
        return true;
    for (const char* extension : {"DRI3", "DRI2", "NV-GLX"}) {
        int opcode = 0;
        int event = 0;
        int error = 0;
        if (XQueryExtension(info.info.x11.display, extension, &opcode, &event, &error))
            return true;
    }
    return false;
#else
    (void)window;
    return true;
#endif
}

} // namespace

SDL_Window* GameWindow() {
    return gGameWindow;
}
void SetGameWindow(SDL_Window* window) {
    gGameWindow = window;
}
const TLetterbox& GameWindowFit() {
    return gGameWindowFit;
}
void SetGameWindowFit(const TLetterbox& fit) {
    gGameWindowFit = fit;
}

TSdlVideoOutput::TSdlVideoOutput(const std::string& title, int32_t width, int32_t height)
    : width_(width), height_(height), fit_(width, height) {
    // The size is in desktop units: on a HiDPI desktop the drawable has more
    // pixels than that, and the picture is scaled up to them.
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                               height,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (window_ == nullptr)
        throw EVantorelError(std::string("Cannot create the game window: ") + SDL_GetError());
    SDL_SetWindowMinimumSize(window_, width / 4, height / 4);
    // The renderer comes with the first Open: creating it is the slowest step of
    // start-up, and the game reads its data on another core meanwhile.
    cursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    if (cursor_ != nullptr)
        SDL_SetCursor(cursor_);
    SDL_AddEventWatch(&TSdlVideoOutput::EventWatch, this);
    SetGameWindow(window_);
    SetGameWindowFit(fit_);
}

TSdlVideoOutput::~TSdlVideoOutput() {
    SDL_DelEventWatch(&TSdlVideoOutput::EventWatch, this);
    if (GameWindow() == window_) {
        SetGameWindow(nullptr);
        SetGameWindowFit(TLetterbox(width_, height_));
    }
    DestroyRenderer();
    if (cursor_ != nullptr)
        SDL_FreeCursor(cursor_);
    SDL_DestroyWindow(window_);
}

void TSdlVideoOutput::CreateRenderer() {
    choice_.clear();
    // A renderer named in SDL_RENDER_DRIVER is used as it is, even a GL on the CPU.
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool askedFor = asked != nullptr && *asked != '\0';
    if (askedFor) {
        const int index = RenderDriverIndex(asked);
        const bool software = SDL_strcasecmp(asked, "software") == 0;
        if (software)
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (index >= 0)
            renderer_ = SDL_CreateRenderer(
                window_, index, software ? SDL_RENDERER_SOFTWARE : SDL_RENDERER_PRESENTVSYNC);
        choice_ = renderer_ != nullptr ? std::string("SDL_RENDER_DRIVER=") + asked
                                       : std::string("SDL_RENDER_DRIVER=") + asked + " failed";
    }
    const bool cpuGlOnly = renderer_ == nullptr && !askedFor && !MayHaveGpuGl(window_);
    if (cpuGlOnly)
        choice_ = "no GPU GL on this X server";
    if (renderer_ == nullptr && !cpuGlOnly) {
        renderer_ =
            SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        const std::string gl = renderer_ != nullptr ? GlRendererName(renderer_) : std::string();
        if (!gl.empty() && IsSoftwareRasterizer(gl)) {
            // No GPU behind the GL: SDL's own software renderer into the window's
            // framebuffer (X11 shared memory) does the same work for a fraction.
            DestroyRenderer();
            choice_ = "GL is " + gl + " on the CPU";
        } else if (renderer_ != nullptr && choice_.empty()) {
            choice_ = gl.empty() ? std::string("accelerated") : "GL is " + gl;
        }
    }
    if (renderer_ == nullptr) {
        // The window's framebuffer straight, not SDL's texture over a GL again.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        const int index = RenderDriverIndex("software");
        if (index >= 0)
            renderer_ = SDL_CreateRenderer(window_, index, SDL_RENDERER_SOFTWARE);
        if (choice_.empty())
            choice_ = "no accelerated renderer";
        choice_ += "; window framebuffer";
        // A desktop with no framebuffer of its own for windows (Wayland) leaves
        // only the GL, slow as it is.
        if (renderer_ == nullptr) {
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
            choice_ += " failed, GL kept";
        }
    }
    if (renderer_ == nullptr)
        throw EVantorelError(std::string("Cannot present the game's picture: ") + SDL_GetError());
    SDL_RendererInfo info{};
    // The software renderer reports the vsync hint it was given, yet presents
    // into the framebuffer at once.
    vsync_ = SDL_GetRendererInfo(renderer_, &info) == 0 &&
             (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 &&
             (info.flags & SDL_RENDERER_SOFTWARE) == 0;
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 width_, height_);
    if (texture_ == nullptr) {
        const std::string why = SDL_GetError();
        DestroyRenderer();
        throw EVantorelError("Cannot present the game's picture: " + why);
    }
    fit_ = TLetterbox(width_, height_, 0, 0);
    UpdateFit(true);
}

void TSdlVideoOutput::UpdateFit(bool force) {
    int windowW = 0;
    int windowH = 0;
    SDL_GetWindowSize(window_, &windowW, &windowH);
    int drawableW = windowW;
    int drawableH = windowH;
    if (renderer_ != nullptr && SDL_GetRendererOutputSize(renderer_, &drawableW, &drawableH) != 0) {
        drawableW = windowW;
        drawableH = windowH;
    }
    const TLetterbox fit(width_, height_, windowW, windowH, drawableW, drawableH);
    if (fit == fit_ && !force)
        return;
    fit_ = fit;
    SetGameWindowFit(fit_);
    // Whole multiples keep every pixel a sharp square; between them nearest
    // would make rows and columns of uneven width, which shimmer as the sky
    // scrolls, so the picture is filtered there.
    if (texture_ != nullptr)
        SDL_SetTextureScaleMode(texture_,
                                fit_.WholeMultiple() ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
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
        // The pointer maps onto the new size before the next frame is shown.
        if (e->window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            out->UpdateFit(false);
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
        SDL_GetWindowSize(window_, &windowW_, &windowH_);
        havePlacement_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0;
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            return false;
        ShowFullScreen();
    } else if (!fullScreen && fullScreen_) {
        if (SDL_SetWindowFullscreen(window_, 0) != 0)
            return false;
        // Moved before it shrinks, so that a pointer at rest never lies over
        // another item of the shrunk picture on the way.
        if (havePlacement_) {
            SDL_SetWindowPosition(window_, windowX_, windowY_);
            SDL_SetWindowSize(window_, windowW_, windowH_);
        } else {
            SDL_SetWindowSize(window_, width_, height_);
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    }
    fullScreen_ = fullScreen;
    SDL_ShowWindow(window_);
    UpdateFit(false);
    open_ = true;
    nextTick_ = {};
    return true;
}

void TSdlVideoOutput::ShowFullScreen() {
    int index = SDL_GetWindowDisplayIndex(window_);
    if (index < 0)
        index = 0;
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(index, &bounds) == 0)
        PlaceOnBareXServer(window_, bounds.x, bounds.y, bounds.w, bounds.h);
}

void TSdlVideoOutput::Present(const TFrameView& frame, bool waitVBlank) {
    if (!open_ || renderer_ == nullptr || frame.Pixels == nullptr)
        return;
    UpdateFit(false);
    SDL_UpdateTexture(texture_, nullptr, frame.Pixels, frame.Pitch * 4);
    const TFitRect target = fit_.Target();
    // The bars only where the picture leaves some: the copy covers the rest.
    if (target.W != fit_.DrawableWidth() || target.H != fit_.DrawableHeight()) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
    }
    const SDL_Rect to{target.X, target.Y, target.W, target.H};
    SDL_RenderCopy(renderer_, texture_, nullptr, &to);
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
    const TFitRect t = fit_.Target();
    return std::string(info.name) + " (" + choice_ + ")" + (vsync_ ? ", vsync" : ", no vsync") +
           ", " + std::to_string(RefreshRate()) + " Hz, picture " + std::to_string(t.W) + "x" +
           std::to_string(t.H) + (fit_.WholeMultiple() ? " nearest" : " linear") + " in " +
           std::to_string(fit_.DrawableWidth()) + "x" + std::to_string(fit_.DrawableHeight());
}

} // namespace vantorel
