// The main window TMForm: owner of every long-lived component, the start-up, the
// display-mode switch, the routing of window events and the frame of the game.
#pragma once

#include "app/frame_timer.hpp"
#include "engine/display.hpp"
#include "engine/dx_sprite_engine.hpp"
#include "engine/image_library.hpp"
#include "platform/events.hpp"
#include "state/game_state.hpp"

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace vantorel {

class IVideoOutput;

class TMForm {
public:
    /// output presents the frames (the desktop window, or a null output headless)
    /// and must outlive the form; clock is the millisecond clock of the frame timer.
    TMForm(IVideoOutput* output, TMsClock clock);
    ~TMForm();
    TMForm(const TMForm&) = delete;
    TMForm& operator=(const TMForm&) = delete;

    // Components, in creation order. The display comes first so that it is the
    // last to go: the others leave its listener list as they are destroyed.
    TDXDraw MDXDraw;
    TDXImageList MDXImageList1;
    TDXImageList MDXImageList2;
    TDXSpriteEngine MDXSpriteEngine;
    TDXTimer MDXTimer;

    /// The shared state of the game, read and written directly.
    TGameState State;

    /// The full-screen choice that SetDisplayMode applies.
    bool FullScreen = false;

    /// Where errors that reach the top of a frame or an event go: the application's
    /// error box. Defaults to stderr.
    std::function<void(const std::string& text)> OnError;

    /// Start-up: brings the display up in a window (as the window appears), then
    /// seeds the random generator, loads the two image libraries when their files
    /// are present and sets the display mode. A media error is shown through
    /// OnError and the remaining steps are skipped; the window still shows.
    void FormCreate();
    /// Starts the frame timer; call once the window is shown and the loop begins.
    void StartFrames(bool applicationActive);

    /// Applies FullScreen: finalises the display and initialises it again in
    /// window or full-screen mode, then reads the refresh rate into State.
    void SetDisplayMode();

    /// One idle pass of the main loop: runs a frame when the timer says so.
    /// True when a frame ran. Errors go to OnError.
    bool Idle();
    /// One window event, between frames. Errors go to OnError.
    void HandleEvent(const TPlatformEvent& e);

    /// One frame, given LagCount in milliseconds (the frame timer's event).
    void MDXTimerTimer(int32_t lagCount);

    /// Ends the main loop after the current pass.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }

    /// Frames that reached Flip since the form was made.
    int64_t FrameCount() const { return frameCount_; }

    // Frame steps that other parts of the game fill in.
    void UpdateKeyEdges();
    void WindowTick(int32_t lagCount);
    void ScreenTick(int32_t lagCount);
    void PlaySound(const std::string& name);

private:
    void ShowException(std::exception_ptr error);
    void RouteEvent(const TPlatformEvent& e);

    // Screen handlers, by screen code.
    void MainMenuTick(int32_t lagCount);
    void OptionsTick(int32_t lagCount);
    void HighScoresTick(int32_t lagCount);
    void HelpTick(int32_t lagCount);
    void GameTick(int32_t lagCount);
    void DrawOptionValues();

    // Window events of the form and of the display.
    void FormKeyDown(TKey key, TShiftState shift);
    void FormKeyUp(TKey key, TShiftState shift);
    void FormKeyPress(uint8_t character);
    void FormCloseQuery();
    void MDXDrawMouseMove(TShiftState shift, int32_t x, int32_t y);
    void MDXDrawMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void MDXDrawMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
    void MDXDrawClick();

    TMsClock clock_;
    bool terminated_ = false;
    bool clickArmed_ = false; // a left press on the display that its release completes
    int64_t frameCount_ = 0;
};

} // namespace vantorel
