#include "engine/display.hpp"

#include "base/errors.hpp"
#include "platform/video_output.hpp"

#include <algorithm>
#include <string>

namespace vantorel {

namespace {

using O = TDXDrawOption;

/// Sets a flag for the duration of a scope, also when an exception leaves it.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

void TDXDrawDisplay::SetBitCount(int32_t bits) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EDirectDrawError("Display requires 8, 16, 24 or 32 bits");
    bitCount_ = bits;
}

TDXDraw::TDXDraw(IVideoOutput* output, IFontRenderer* fonts) : output_(output), fonts_(fonts) {
    nowOptions_ = EffectiveOptions(options_);
}

TDXDraw::~TDXDraw() {
    Finalize();
    Notify(TDXDrawNotifyType::Destroying);
}

TDXDrawOptions TDXDraw::EffectiveOptions(TDXDrawOptions options) {
    TDXDrawOptions r = options;
    if (!options.Contains(O::doFullScreen)) {
        for (auto o : {O::doNoWindowChange, O::doAllowReboot, O::doAllowPalette256, O::doFlip})
            r.Exclude(o);
    }
    if (!options.Contains(O::do3D)) {
        for (auto o :
             {O::doDirectX7Mode, O::doRetainedMode, O::doHardware, O::doSelectDriver, O::doZBuffer})
            r.Exclude(o);
    }
    if (options.Contains(O::doSystemMemory))
        r.Exclude(O::doFlip);
    if (options.Contains(O::doDirectX7Mode))
        r.Exclude(O::doRetainedMode);
    r.Exclude(O::doHardware);
    return r;
}

void TDXDraw::SetOptions(TDXDrawOptions options) {
    options_ = options;
    if (!initialized_) {
        nowOptions_ = EffectiveOptions(options_);
        return;
    }
    for (auto o : {O::doWaitVBlank, O::doStretch, O::doCenter}) {
        if (options.Contains(o))
            nowOptions_.Include(o);
        else
            nowOptions_.Exclude(o);
    }
}

void TDXDraw::Initialize() {
    Finalize();
    if (output_ == nullptr)
        throw EDXDrawError("Form not found");

    TFlagScope initializing(initializing_);
    try {
        Notify(TDXDrawNotifyType::Initializing);
        flipDriver_ = nowOptions_.Contains(O::doFlip);
        const bool fullScreen = nowOptions_.Contains(O::doFullScreen);
        if (!output_->Open(fullScreen, Display.Width, Display.Height)) {
            if (fullScreen) {
                throw EDXDrawError("Display mode cannot be changed (" +
                                   std::to_string(Display.Width) + "x" +
                                   std::to_string(Display.Height) + " " +
                                   std::to_string(Display.BitCount()) + "bit)");
            }
            throw EDXDrawError("Form not found");
        }
        surface_ = std::make_unique<TDirectDrawSurface>(SurfaceWidth, SurfaceHeight);
        surface_->SetFonts(fonts_);
        initialized_ = true;
    } catch (...) {
        Release();
        throw;
    }

    Notify(TDXDrawNotifyType::Initialize2);
    Notify(TDXDrawNotifyType::Initialize);
    Notify(TDXDrawNotifyType::InitializeSurface);
    // A fresh output may report the reset that made it; this restore covers it.
    output_->TakeLost();
    Notify(TDXDrawNotifyType::Restore);
}

void TDXDraw::Finalize() {
    if (!initialized_)
        return;
    {
        TFlagScope finalizing(finalizing_);
        Notify(TDXDrawNotifyType::FinalizeSurface);
        Notify(TDXDrawNotifyType::Finalize);
    }
    Release();
}

void TDXDraw::Release() {
    initialized_ = false;
    nowOptions_ = EffectiveOptions(options_);
    flipDriver_ = false;
    if (surface_)
        surface_->ReleaseCanvas();
    surface_.reset();
    if (output_ != nullptr)
        output_->Close();
}

bool TDXDraw::CheckLost() {
    if (output_ == nullptr || !output_->TakeLost())
        return true;
    // The back surface is ours and survives; only the presentation device was
    // reset, so the restore always succeeds. Listeners rebuild their pictures.
    Notify(TDXDrawNotifyType::Restore);
    return surface_ != nullptr;
}

bool TDXDraw::IsReadyToDraw() {
    if (!initialized_ || initializing_ || finalizing_ || !surface_)
        return false;
    return CheckLost();
}

void TDXDraw::Flip() {
    if (!initialized_ || initializing_ || finalizing_ || !surface_)
        return;
    if (!CheckLost())
        return;
    if (flipDriver_ && !output_->IsActive())
        return;
    const bool wait = flipDriver_ || nowOptions_.Contains(O::doWaitVBlank);
    const TDirectDrawSurface& s = *surface_;
    output_->Present(TFrameView{s.Pixels(), s.Pitch(), s.Width(), s.Height()}, wait);
}

int32_t TDXDraw::RefreshRate() const {
    const int32_t hz = output_ != nullptr ? output_->RefreshRate() : 0;
    return hz > 1 ? hz : 60;
}

void TDXDraw::AddListener(IDXDrawListener* listener) {
    if (listener == nullptr)
        return;
    if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
        return;
    listeners_.push_back(listener);
}

void TDXDraw::RemoveListener(IDXDrawListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TDXDraw::Notify(TDXDrawNotifyType type) {
    // A listener may add or remove listeners while it is told; work on a copy and
    // skip any that left in the meantime.
    const std::vector<IDXDrawListener*> snapshot = listeners_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (std::find(listeners_.begin(), listeners_.end(), *it) == listeners_.end())
            continue;
        (*it)->DXDrawNotify(*this, type);
    }
}

} // namespace vantorel
