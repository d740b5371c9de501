// The display: the back surface every frame is drawn into, its presentation in
// the window or full screen, and the notifications that keep the image libraries
// and the sprite engine in step with its surfaces.
#pragma once

#include "engine/display_listener.hpp"
#include "engine/surface.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace vantorel {

class IVideoOutput;  // platform/video_output.hpp: where finished frames go

enum class TDXDrawOption : uint32_t {
    doFullScreen = 0, doNoWindowChange, doAllowReboot, doWaitVBlank, doAllowPalette256,
    doSystemMemory, doStretch, doCenter, doFlip, do3D, doDirectX7Mode, doRetainedMode,
    doHardware, doSelectDriver, doZBuffer,
};

/// A set of TDXDrawOption values, bit n for option n.
class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> options) {
        for (auto o : options) Include(o);
    }
    constexpr bool Contains(TDXDrawOption o) const { return (bits_ >> static_cast<uint32_t>(o)) & 1u; }
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

class TDXDraw {
public:
    /// output is where frames are presented (a window, or a null output in tests);
    /// null means "no parent form": Initialize then raises "Form not found".
    explicit TDXDraw(IVideoOutput* output);
    ~TDXDraw();  // sends Destroying
    TDXDraw(const TDXDraw&) = delete;
    TDXDraw& operator=(const TDXDraw&) = delete;

    TDXDrawDisplay Display;
    TDXDrawOptions Options() const { return options_; }
    void SetOptions(TDXDrawOptions options);
    /// The options in force, derived from Options().
    TDXDrawOptions NowOptions() const { return nowOptions_; }
    int32_t SurfaceWidth = 800;
    int32_t SurfaceHeight = 600;

    void Initialize();
    void Finalize();
    bool Initialized() const { return initialized_; }
    bool IsReadyToDraw();
    /// The back surface; null while not initialised.
    TDirectDrawSurface* Surface() { return surface_.get(); }
    void Flip();

    void AddListener(IDXDrawListener* listener);
    void RemoveListener(IDXDrawListener* listener);

private:
    void Notify(TDXDrawNotifyType type);
    TDXDrawOptions Effective(TDXDrawOptions options) const;

    IVideoOutput* output_;
    TDXDrawOptions options_;
    TDXDrawOptions nowOptions_;
    bool initialized_ = false;
    bool initializing_ = false;
    std::unique_ptr<TDirectDrawSurface> surface_;
    std::vector<IDXDrawListener*> listeners_;
};

} // namespace vantorel
