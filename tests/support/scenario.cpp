#include "support/scenario.hpp"

#include <string>
#include <unistd.h>

namespace vantorel::testing {

void TPacedVideoOutput::Present(const TFrameView& frame, bool waitVBlank) {
    Null.Present(frame, waitVBlank);
    static constexpr uint32_t kSteps[3] = {17, 17, 16};
    clock_ += kSteps[phase_];
    phase_ = (phase_ + 1) % 3;
}

namespace {

std::filesystem::path MakeFolder() {
    namespace fs = std::filesystem;
    static int counter = 0;
    const fs::path data = fs::absolute("Data");
    const fs::path folder =
        fs::temp_directory_path() /
        ("vantorel_scenario_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
    fs::remove_all(folder);
    fs::create_directories(folder / "Data");
    for (const char* part : {"Res", "Music", "Fonts"})
        if (fs::exists(data / part))
            fs::create_directory_symlink(data / part, folder / "Data" / part);
    return folder;
}

} // namespace

TScenario::TScenario(uint32_t seed, IHttpClient* http, const std::function<void()>& beforeStart)
    : Folder(MakeFolder()), oldFolder_(std::filesystem::current_path()) {
    std::filesystem::current_path(Folder);
    if (beforeStart)
        beforeStart();
    TDesktopServices services = Desktop.Services();
    TDesktopServices paced{Video,
                           services.Events,
                           services.Pointer,
                           services.Keyboard,
                           services.Joystick,
                           services.Links,
                           services.Audio,
                           http != nullptr ? *http : services.Http,
                           services.Fonts,
                           services.Clock,
                           services.ShowError};
    Form = std::make_unique<TMForm>(paced, seed);
    Loop = std::make_unique<TMainLoop>(*Form, Desktop.Events, services.Clock);
    Form->FormCreate();
    Form->StartFrames(true);
}

TScenario::~TScenario() {
    Loop.reset();
    Form.reset();
    std::error_code ec;
    std::filesystem::current_path(oldFolder_, ec);
    std::filesystem::remove_all(Folder, ec);
}

void TScenario::At(int64_t frame, const TPlatformEvent& e) {
    script_.emplace(frame, [this, e] {
        // The keyboard's held keys (read by the input states) follow the key events.
        if (e.Kind == TEventKind::KeyDown)
            Desktop.Keyboard.Press(e.Key);
        else if (e.Kind == TEventKind::KeyUp)
            Desktop.Keyboard.Release(e.Key);
        Desktop.Events.Push(e);
    });
}

void TScenario::Pad(int64_t frame, const TJoystickReading& reading) {
    script_.emplace(frame, [this, reading] {
        const bool plugged = Desktop.Joystick.Reading.Kind != reading.Kind;
        Desktop.Joystick.Reading = reading;
        if (plugged) {
            TPlatformEvent e;
            e.Kind = reading.Kind == TJoystickKind::None ? TEventKind::DeviceRemoved
                                                         : TEventKind::DeviceAdded;
            Desktop.Events.Push(e);
        }
    });
}

void TScenario::KeyDown(int64_t frame, TKey key, TShiftState shift) {
    TPlatformEvent e;
    e.Kind = TEventKind::KeyDown;
    e.Key = key;
    e.Shift = shift;
    At(frame, e);
}

void TScenario::KeyUp(int64_t frame, TKey key) {
    TPlatformEvent e;
    e.Kind = TEventKind::KeyUp;
    e.Key = key;
    At(frame, e);
}

void TScenario::Press(int64_t frame, TKey key, TShiftState shift) {
    KeyDown(frame, key, shift);
    KeyUp(frame + 1, key);
}

void TScenario::Char(int64_t frame, uint8_t character) {
    TPlatformEvent e;
    e.Kind = TEventKind::Char;
    e.Char = character;
    At(frame, e);
}

void TScenario::MouseMove(int64_t frame, int32_t dx, int32_t dy, int32_t x, int32_t y) {
    TPlatformEvent e;
    e.Kind = TEventKind::MouseMove;
    e.DX = dx;
    e.DY = dy;
    e.X = x;
    e.Y = y;
    At(frame, e);
}

void TScenario::Click(int64_t frame, int32_t x, int32_t y) {
    TPlatformEvent e;
    e.Kind = TEventKind::MouseDown;
    e.Button = TMouseButton::Left;
    e.Clicks = 1;
    e.X = x;
    e.Y = y;
    At(frame, e);
    e.Kind = TEventKind::MouseUp;
    At(frame + 1, e);
}

void TScenario::CloseRequest(int64_t frame) {
    TPlatformEvent e;
    e.Kind = TEventKind::CloseRequest;
    At(frame, e);
}

void TScenario::Deliver() {
    const int64_t shown = Frames();
    auto it = script_.begin();
    while (it != script_.end() && it->first <= shown) {
        it->second();
        it = script_.erase(it);
    }
}

int64_t TScenario::RunFrames(int64_t count) {
    const int64_t start = Frames();
    // Passes that show no frame (the display not ready, frames stopped) still
    // move the clock on, as waiting would.
    int64_t idle = 0;
    while (Frames() - start < count && !Ended()) {
        Deliver();
        const int64_t before = Frames();
        Loop->RunOnce();
        if (Frames() == before) {
            Desktop.Now += 10;
            if (++idle > 100000)
                break;
        }
    }
    return Frames() - start;
}

bool TScenario::RunUntil(const std::function<bool()>& done, int64_t maxFrames) {
    for (int64_t i = 0; i < maxFrames && !Ended(); ++i) {
        if (RunFrames(1) == 0)
            break;
        if (done())
            return true;
    }
    return done();
}

uint32_t TScenario::Pixel(int32_t x, int32_t y) const {
    const auto& frame = LastFrame();
    const size_t i = static_cast<size_t>(y) * 800 + static_cast<size_t>(x);
    return i < frame.size() ? frame[i] : 0;
}

} // namespace vantorel::testing
