// A scenario: the real main window and main loop, headless, from a fixed seed, with
// a fake clock that a 60 Hz display advances, and window events scripted to arrive
// at given frames. Tests play real frames and look at what a player would see.
#pragma once

#include "app/main_loop.hpp"
#include "app/main_window.hpp"
#include "support/null_desktop.hpp"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace vantorel::testing {

/// The null output, pacing a fake clock as a 60 Hz display with vertical sync
/// would: each present takes 17, 17 and 16 ms in turn.
class TPacedVideoOutput final : public IVideoOutput {
public:
    explicit TPacedVideoOutput(uint32_t& clock) : clock_(clock) {}
    bool Open(bool fullScreen, int32_t w, int32_t h) override {
        return Null.Open(fullScreen, w, h);
    }
    void Close() override { Null.Close(); }
    bool IsOpen() const override { return Null.IsOpen(); }
    bool IsFullScreen() const override { return Null.IsFullScreen(); }
    void Present(const TFrameView& frame, bool waitVBlank) override;
    int32_t RefreshRate() const override { return Null.RefreshRate(); }
    bool IsActive() const override { return Null.IsActive(); }
    bool TakeLost() override { return Null.TakeLost(); }

    TNullVideoOutput Null;

private:
    uint32_t& clock_;
    int32_t phase_ = 0;
};

class TScenario {
public:
    /// Starts the game with the given random seed and starts the frames. The game
    /// runs in a fresh folder of its own whose Data/ shows the pictures, sounds,
    /// music and fonts of the current working directory's Data/ (the build
    /// directory's) and has no saved files; the folder goes with the scenario.
    /// http, when given, sends the score reports instead of Desktop.Http (it must
    /// outlive the scenario). beforeStart, when given, runs in the scenario's
    /// folder just before the game starts: it can put saved files in place.
    explicit TScenario(uint32_t seed = 1, IHttpClient* http = nullptr,
                       const std::function<void()>& beforeStart = {});
    ~TScenario();

    /// The scenario's working folder; its saved files are under Data/Save.
    std::filesystem::path Folder;
    TNullDesktop Desktop;
    TPacedVideoOutput Video{Desktop.Now};
    std::unique_ptr<TMForm> Form;
    std::unique_ptr<TMainLoop> Loop;

    // ---- Scripted input: each arrives after `frame` frames have been shown
    //      (frame 0: before the first). Events of one frame keep their order. ----
    void At(int64_t frame, const TPlatformEvent& e);
    void KeyDown(int64_t frame, TKey key, TShiftState shift = {});
    void KeyUp(int64_t frame, TKey key);
    /// Down at frame, up at frame + 1.
    void Press(int64_t frame, TKey key, TShiftState shift = {});
    void Char(int64_t frame, uint8_t character);
    /// Relative pointer motion (and the pointer's new place on the display).
    void MouseMove(int64_t frame, int32_t dx, int32_t dy, int32_t x = 400, int32_t y = 300);
    /// Left button down at frame, up at frame + 1.
    void Click(int64_t frame, int32_t x, int32_t y);
    void CloseRequest(int64_t frame);
    /// From frame on, the first joystick or gamepad reads reading (Kind None:
    /// unplugged); plugging in or out sends the device event too.
    void Pad(int64_t frame, const TJoystickReading& reading);

    /// Runs main-loop passes until count more frames have been shown or the game
    /// ended. Returns the frames shown.
    int64_t RunFrames(int64_t count);
    /// Runs until done() holds after a frame, at most maxFrames frames. True when
    /// done() held.
    bool RunUntil(const std::function<bool()>& done, int64_t maxFrames);

    int64_t Frames() const { return Form->FrameCount(); }
    bool Ended() const { return Form->Terminated(); }
    TGameState& State() { return Form->State; }
    TGameSprites& Fixed() { return Form->Fixed; }

    /// The last frame shown, 800x600 pixels 0x00RRGGBB, top row first.
    const std::vector<uint32_t>& LastFrame() const { return Video.Null.LastFrame(); }
    uint32_t Pixel(int32_t x, int32_t y) const;

private:
    void Deliver();
    std::filesystem::path oldFolder_;
    std::multimap<int64_t, std::function<void()>> script_;
};

} // namespace vantorel::testing
