#include "app/main_window.hpp"

#include "app/frame_rate.hpp"
#include "base/errors.hpp"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace vantorel {

namespace {

constexpr const char* kLibrary1 = "Data/Res/Res1.dxg";
constexpr const char* kLibrary2 = "Data/Res/Res2.dxg";

} // namespace

TMForm::TMForm(IVideoOutput* output, TMsClock clock)
    : MDXDraw(output), MDXTimer(clock), clock_(std::move(clock)) {
    MDXDraw.SetOptions({TDXDrawOption::doStretch, TDXDrawOption::doFlip, TDXDrawOption::doHardware,
                        TDXDrawOption::doCenter, TDXDrawOption::doWaitVBlank,
                        TDXDrawOption::doDirectX7Mode, TDXDrawOption::doAllowReboot,
                        TDXDrawOption::doSelectDriver, TDXDrawOption::doRetainedMode});
    MDXImageList1.SetDXDraw(&MDXDraw);
    MDXImageList2.SetDXDraw(&MDXDraw);
    MDXSpriteEngine.SetDXDraw(&MDXDraw);
    MDXTimer.ActiveOnly = true;
    MDXTimer.Interval = 0;
    MDXTimer.OnTimer = [this](int32_t lagCount) { MDXTimerTimer(lagCount); };
}

TMForm::~TMForm() = default;

void TMForm::ShowException(std::exception_ptr error) {
    std::string text = "Unknown error";
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    if (OnError)
        OnError(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

void TMForm::FormCreate() {
    // The display comes up with the window itself, so the window shows and frames
    // run even when the start-up below stops at an error.
    try {
        MDXDraw.Initialize();
    } catch (...) {
        ShowException(std::current_exception());
    }
    try {
        const auto seed = std::chrono::system_clock::now().time_since_epoch().count();
        State.Random.Seed(static_cast<uint32_t>(seed) ^ (clock_ ? clock_() : 0u));
        // The game's own start-up sequence (sound library, saved table and options,
        // sky and main menu) comes in here; for now the pictures load when present.
        if (std::filesystem::exists(kLibrary1))
            MDXImageList1.Items.LoadLibraryFile(kLibrary1);
        if (std::filesystem::exists(kLibrary2))
            MDXImageList2.Items.LoadLibraryFile(kLibrary2);
        SetDisplayMode();
        State.ScreenCode = TScreenCode::None;
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void TMForm::StartFrames(bool applicationActive) {
    MDXTimer.Start(applicationActive);
}

void TMForm::SetDisplayMode() {
    MDXDraw.Display.SetBitCount(32);
    TDXDrawOptions options = MDXDraw.Options();
    MDXDraw.Finalize();
    if (FullScreen)
        options.Include(TDXDrawOption::doFullScreen);
    else
        options.Exclude(TDXDrawOption::doFullScreen);
    MDXDraw.SetOptions(options);
    MDXDraw.Initialize();
    State.RefreshRate = MDXDraw.RefreshRate();
}

bool TMForm::Idle() {
    try {
        return MDXTimer.Idle();
    } catch (...) {
        ShowException(std::current_exception());
        return true;
    }
}

void TMForm::HandleEvent(const TPlatformEvent& e) {
    try {
        RouteEvent(e);
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void TMForm::RouteEvent(const TPlatformEvent& e) {
    switch (e.Kind) {
    case TEventKind::KeyDown:
        FormKeyDown(e.Key, e.Shift);
        break;
    case TEventKind::KeyUp:
        FormKeyUp(e.Key, e.Shift);
        break;
    case TEventKind::Char:
        FormKeyPress(e.Char);
        break;
    case TEventKind::MouseMove:
        MDXDrawMouseMove(e.Shift, e.X, e.Y);
        break;
    case TEventKind::MouseDown:
        MDXDrawMouseDown(e.Button, e.Shift, e.X, e.Y);
        // A left press completes a click on its release; the second press of a
        // double click is a click by itself, and its release is not.
        if (e.Button == TMouseButton::Left) {
            if (e.Clicks == 2) {
                clickArmed_ = false;
                MDXDrawClick();
            } else {
                clickArmed_ = true;
            }
        }
        break;
    case TEventKind::MouseUp:
        MDXDrawMouseUp(e.Button, e.Shift, e.X, e.Y);
        if (e.Button == TMouseButton::Left && clickArmed_) {
            clickArmed_ = false;
            MDXDrawClick();
        }
        break;
    case TEventKind::CloseRequest:
        FormCloseQuery();
        break;
    case TEventKind::Quit:
        Terminate();
        break;
    case TEventKind::FocusGained:
        MDXTimer.ApplicationActivated();
        break;
    case TEventKind::FocusLost:
        MDXTimer.ApplicationDeactivated();
        break;
    }
}

void TMForm::MDXTimerTimer(int32_t lagCount) {
    const int32_t rememberedItem = State.ItemIndex;

    TDirectDrawSurface* back = MDXDraw.Surface();
    if (back != nullptr)
        back->Fill(0);
    if (!MDXDraw.IsReadyToDraw())
        return;

    MDXSpriteEngine.Draw();
    UpdateKeyEdges();

    if (State.WindowKind != TWindowKind::None) {
        WindowTick(lagCount);
        if (State.ScreenCode == TScreenCode::Options)
            DrawOptionValues();
    } else {
        ScreenTick(lagCount);
    }

    if (State.ItemIndex != rememberedItem)
        PlaySound("Button");

    MDXSpriteEngine.FreeDead();

    const TFrameQuantities q = FrameQuantities(State.RefreshRate, MDXTimer.FrameRate());
    State.FrameFactor = q.FrameFactor;
    State.FrameMs = q.FrameMs;

    if (TDirectDrawSurface* s = MDXDraw.Surface())
        s->ReleaseCanvas();
    MDXDraw.Flip();
    ++frameCount_;
}

void TMForm::ScreenTick(int32_t lagCount) {
    switch (State.ScreenCode) {
    case TScreenCode::None:
        break;
    case TScreenCode::MainMenu:
        MainMenuTick(lagCount);
        break;
    case TScreenCode::Options:
        OptionsTick(lagCount);
        break;
    case TScreenCode::HighScores:
        HighScoresTick(lagCount);
        break;
    case TScreenCode::Help:
        HelpTick(lagCount);
        break;
    case TScreenCode::Game:
        GameTick(lagCount);
        break;
    }
}

// ---- Steps filled in by the input, sound, menu, window and gameplay code ----

void TMForm::UpdateKeyEdges() {}
void TMForm::WindowTick(int32_t) {}
void TMForm::PlaySound(const std::string&) {}
void TMForm::MainMenuTick(int32_t) {}
void TMForm::OptionsTick(int32_t) {}
void TMForm::HighScoresTick(int32_t) {}
void TMForm::HelpTick(int32_t) {}
void TMForm::GameTick(int32_t) {}
void TMForm::DrawOptionValues() {}
void TMForm::FormKeyDown(TKey, TShiftState) {}
void TMForm::FormKeyUp(TKey, TShiftState) {}
void TMForm::FormKeyPress(uint8_t) {}
void TMForm::MDXDrawMouseMove(TShiftState, int32_t, int32_t) {}
void TMForm::MDXDrawMouseDown(TMouseButton, TShiftState, int32_t, int32_t) {}
void TMForm::MDXDrawMouseUp(TMouseButton, TShiftState, int32_t, int32_t) {}
void TMForm::MDXDrawClick() {}

// Until the exit questions exist, closing the window ends the program.
void TMForm::FormCloseQuery() {
    Terminate();
}

} // namespace vantorel
