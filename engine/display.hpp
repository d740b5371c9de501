// The display: the back surface every frame is drawn into, its presentation in
// the window or full screen, and the notifications that keep the image libraries
// and the sprite engine in step with its surfaces.
#pragma once

#include "engine/display_listener.hpp"
#include "engine/surface.hpp"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace vantorel {

class IFontRenderer; // platform/font_renderer.hpp: what text is drawn with
class IVideoOutput;  // platform/video_output.hpp: where finished frames go

enum class TDXDrawOption : uint32_t {
    doFullScreen = 0,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer,
};

/// A set of TDXDrawOption values, bit n for option n.
class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> options) {
        for (auto o : options)
            Include(o);
    }
    constexpr bool Contains(TDXDrawOption o) const {
        return (bits_ >> static_cast<uint32_t>(o)) & 1u;
    }
    constexpr void Include(TDXDrawOption o) { bits_ |= 1u << static_cast<uint32_t>(o); }
    constexpr void Exclude(TDXDrawOption o) { bits_ &= ~(1u << static_cast<uint32_t>(o)); }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const TDXDrawOptions&) const = default;

private:
    uint32_t bits_ = 0;
};

/// The requested full-screen mode.
struct TDXDrawDisplay {
    int32_t Width = 800;
    int32_t Height = 600;
    /// 8, 16, 24 or 32; anything else raises EDirectDrawError.
    void SetBitCount(int32_t bits);
    int32_t BitCount() const { return bitCount_; }

private:
    int32_t bitCount_ = 16;
};

/// The display component of the main window. Owns the 800x600 back surface,
/// presents it through an IVideoOutput, and tells its listeners (image libraries,
/// sprite engine) when surfaces appear (1, 7, 2, 3, then 6), go (5, 4) or must be
/// rebuilt (6). Everything runs on the one game thread.
class TDXDraw {
public:
    /// output is where frames are presented (a window, or a null output in tests);
    /// null means "no parent form": Initialize then raises "Form not found".
    /// fonts are what the back surface's canvas draws text with (null: no
    /// text). Both must outlive the display.
    explicit TDXDraw(IVideoOutput* output, IFontRenderer* fonts = nullptr);
    ~TDXDraw(); // finalises, then sends Destroying
    TDXDraw(const TDXDraw&) = delete;
    TDXDraw& operator=(const TDXDraw&) = delete;

    TDXDrawDisplay Display;
    TDXDrawOptions Options() const { return options_; }
    /// While not initialised the effective options follow at once; while
    /// initialised only doWaitVBlank, doStretch and doCenter do, the rest wait
    /// for the next Initialize.
    void SetOptions(TDXDrawOptions options);
    /// The options in force, derived from Options().
    TDXDrawOptions NowOptions() const { return nowOptions_; }
    /// The effective set that options give on a display that is not initialised.
    static TDXDrawOptions EffectiveOptions(TDXDrawOptions options);
    int32_t SurfaceWidth = 800;
    int32_t SurfaceHeight = 600;

    /// Finalises, then opens the output (full screen when doFullScreen is in force)
    /// and makes the back surface. Raises EDXDrawError "Form not found" without an
    /// output and "Display mode cannot be changed (%dx%d %dbit)" when full screen
    /// is refused; the display is then left finalised.
    void Initialize();
    /// Sends 5 and 4 when initialised, then releases the surface and the output.
    void Finalize();
    bool Initialized() const { return initialized_; }
    /// True when frames can be drawn. Lost surfaces are restored here (sending 6).
    bool IsReadyToDraw();
    /// The back surface; null while not initialised.
    TDirectDrawSurface* Surface() { return surface_.get(); }
    /// Presents the back surface: page flipping (full screen; only while the
    /// window is active; waits for the refresh tick) or copying (window mode;
    /// waits for the tick when doWaitVBlank is in force).
    void Flip();
    /// True when the presenting driver flips pages rather than copying.
    bool FlipDriver() const { return flipDriver_; }
    IVideoOutput* Output() const { return output_; }
    /// The vertical refresh rate of the screen showing the game, in hertz; 60
    /// when there is no output or it cannot tell.
    int32_t RefreshRate() const;

    /// Registers a listener (once); it hears every later notification, the most
    /// recently registered first. A listener must remove itself before it dies.
    void AddListener(IDXDrawListener* listener);
    void RemoveListener(IDXDrawListener* listener);

private:
    void Notify(TDXDrawNotifyType type);
    bool CheckLost();
    void Release();

    IVideoOutput* output_;
    IFontRenderer* fonts_;
    TDXDrawOptions options_;
    TDXDrawOptions nowOptions_;
    bool initialized_ = false;
    bool initializing_ = false;
    bool finalizing_ = false;
    bool flipDriver_ = false;
    std::unique_ptr<TDirectDrawSurface> surface_;
    std::vector<IDXDrawListener*> listeners_;
};

} // namespace vantorel
