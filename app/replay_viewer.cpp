#include "app/replay_viewer.hpp"

#include "app/attract_mode.hpp"
#include "app/main_window.hpp"
#include "engine/surface.hpp"
#include "engine/text_drawing.hpp"
#include "menus/menu_screens.hpp"
#include "replay/replay_file.hpp"
#include "storage/file_bytes.hpp"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

namespace vantorel {

namespace {

// The mark sits in the bottom-right corner, clear of the panel's score.
constexpr int32_t kMarkRight = 788;
constexpr int32_t kMarkY = 574;
constexpr int32_t kMarkStyle = 7;
constexpr int32_t kSpeedStyle = 8;
constexpr int32_t kMessageStyle = 9;
constexpr int32_t kBoxPadding = 8;
constexpr int32_t kBoxAlpha = 150;

bool TypedOne(const TInputSnapshot& input, char c) {
    return input.Typed.find(c) != std::string::npos;
}

/// A dark box behind the mark, so that it reads over the sky and the hills.
void DarkenBox(TDirectDrawSurface& surface, const TRect& box) {
    static TDirectDrawSurface black(1, 1);
    surface.DrawBlended(box, black, TRect{0, 0, 1, 1}, false, kBoxAlpha);
}

} // namespace

TReplayViewer::TReplayViewer(TMForm& form) : form_(form) {}

TReplayViewer::~TReplayViewer() = default;

std::optional<TReplay> TReplayViewer::ReadFile(const std::filesystem::path& file,
                                               std::string& why) {
    const TFileBytes read = ReadFileBytes(file, kMaxFileBytes);
    if (read.Status == TFileReadStatus::Missing) {
        why = "There is no replay file \"" + file.string() + "\".";
        return std::nullopt;
    }
    if (read.Status != TFileReadStatus::Read) {
        why = "The replay file \"" + file.string() + "\" cannot be read.";
        return std::nullopt;
    }
    try {
        return DecodeReplay(
            {reinterpret_cast<const uint8_t*>(read.Bytes.data()), read.Bytes.size()});
    } catch (const EReplayFileError& e) {
        why = "\"" + file.string() + "\" is not a replay of this game: " + e.what();
        return std::nullopt;
    }
}

std::optional<TReplay> TReplayViewer::Playable(const std::filesystem::path& file) const {
    std::string why;
    std::optional<TReplay> replay = ReadFile(file, why);
    if (!replay || replay->FrameCount == 0 || !TReplayPlayback(form_, *replay).Refusal().empty())
        return std::nullopt;
    return replay;
}

std::string TReplayViewer::Watch(TReplay replay, TReplayOrigin origin, TReplayMark mark) {
    if (Watching())
        return "a replay is playing already";
    if (replay.FrameCount == 0)
        return "the replay holds no frames";
    auto held = std::make_unique<TReplay>(std::move(replay));
    auto playback = std::make_unique<TReplayPlayback>(form_, *held);
    if (std::string why = playback->Refusal(); !why.empty())
        return why;
    replay_ = std::move(held);
    playback_ = std::move(playback);
    origin_ = origin;
    mark_ = mark;
    originItem_ = form_.State.Cursor.ItemIndex;
    speed_ = 1;
    paused_ = false;
    spaceHeld_ = form_.State.Input.HeldBy(TFireControl::Space);
    endHoldMs_.reset();
    failure_.clear();
    still_.clear();
    // The player's next game must not follow from the replay's seed.
    random_ = form_.State.Random;
    return {};
}

void TReplayViewer::ReadControls(const TInputSnapshot& input) {
    const bool spaceHeld = input.HeldBy(TFireControl::Space);
    const bool spacePressed = spaceHeld && !spaceHeld_;
    spaceHeld_ = spaceHeld;
    if (input.WasPressed(TInputKey::Close)) {
        const TReplayOrigin origin = origin_;
        Stop();
        if (origin != TReplayOrigin::Program)
            form_.FormCloseQuery();
        return;
    }
    // A demo ends at anything the player does, even a key the game has no use for.
    const bool keyDown = form_.Attract().TakeKeyDown();
    if ((mark_ == TReplayMark::Demo && (keyDown || PlayerActed(input))) ||
        input.WasPressed(TInputKey::Esc)) {
        Stop();
        return;
    }
    for (const auto& [key, speed] : {std::pair{'1', 1}, std::pair{'2', 2}, std::pair{'4', 4}})
        if (TypedOne(input, key)) {
            speed_ = speed;
            paused_ = false;
        }
    if (input.WasPressed(TInputKey::P) || spacePressed)
        paused_ = !paused_;
}

void TReplayViewer::DisplayedFrame() {
    // A frame that cannot be shown plays nothing: a recorded frame played into a
    // display that is not ready would be skipped by the rules.
    if (!Watching() || !form_.MDXDraw.IsReadyToDraw())
        return;
    // The player's input steers the watching only; the game reads the recording.
    const TInputSnapshot input = form_.InputBuilder.Build();
    form_.State.Input = input;
    ReadControls(input);
    if (!Watching())
        return;
    framePlayed_ = false;
    if (endHoldMs_) {
        *endHoldMs_ -= std::max(form_.State.Timing.FrameMs, 1);
        if (*endHoldMs_ <= 0) {
            ReturnToOrigin();
            return;
        }
    } else if (!paused_) {
        PlayRecordedFrames(speed_);
    }
    if (!framePlayed_)
        form_.ShowStillFrame();
    if (!endHoldMs_ && playback_->Done()) {
        if (playback_->Failure()) {
            failure_ = *playback_->Failure();
            std::fprintf(stderr, "vantorel: the replay stopped: %s\n", failure_.c_str());
        }
        endHoldMs_ = kEndHoldMs;
    }
}

// Only the last frame of the displayed frame is drawn; the others run the rules.
void TReplayViewer::PlayRecordedFrames(int32_t frames) {
    for (int32_t i = 0; i < frames && !playback_->Done(); ++i) {
        const bool last = i == frames - 1;
        form_.DrawFrames = last;
        framePlayed_ = last;
        try {
            playback_->Step();
        } catch (const std::exception& e) {
            form_.DrawFrames = true;
            failure_ = std::string("the game stopped: ") + e.what();
            std::fprintf(stderr, "vantorel: the replay stopped: %s\n", failure_.c_str());
            endHoldMs_ = kEndHoldMs;
            framePlayed_ = false;
            return;
        }
    }
    form_.DrawFrames = true;
}

void TReplayViewer::DrawMarks(TDirectDrawSurface& surface) {
    const TMenuCursor& c = form_.State.Cursor;
    const bool gamePicture =
        c.ScreenCode == TScreenCode::Game && c.WindowKind != TWindowKind::NameEntry;
    const size_t pixels = static_cast<size_t>(surface.Width()) * surface.Height();
    if (framePlayed_ && gamePicture) {
        still_.assign(surface.Pixels(), surface.Pixels() + pixels);
    } else if (still_.size() == pixels) {
        // The game's last picture, not what its end has built over it.
        std::copy(still_.begin(), still_.end(), surface.Pixels());
    }

    const std::string mark = mark_ == TReplayMark::Demo ? "DEMO" : "REPLAY";
    std::string speed;
    if (endHoldMs_)
        speed = "END";
    else if (paused_)
        speed = "PAUSED";
    else
        speed = "x" + std::to_string(speed_);
    const int32_t markWidth = WidthInStyle(&surface, mark, kMarkStyle);
    const int32_t speedWidth =
        mark_ == TReplayMark::Demo ? 0 : WidthInStyle(&surface, speed, kSpeedStyle);
    const int32_t gap = speedWidth > 0 ? 10 : 0;
    const int32_t left = kMarkRight - markWidth - gap - speedWidth;
    DarkenBox(surface,
              TRect{left - kBoxPadding, kMarkY - 16, kMarkRight + kBoxPadding, kMarkY + 16});
    DrawAtInStyle(&surface, mark, kMarkStyle, left, kMarkY - 12);
    if (speedWidth > 0)
        DrawAtInStyle(&surface, speed, kSpeedStyle, kMarkRight - speedWidth, kMarkY - 9);

    if (!failure_.empty()) {
        DarkenBox(surface, TRect{120, 270, 680, 330});
        DrawCentredInStyle(&surface, "This replay plays differently here", kMessageStyle, 400, 300);
    }
}

void TReplayViewer::Stop() {
    if (Watching())
        ReturnToOrigin();
}

void TReplayViewer::ReturnToOrigin() {
    TGameState& s = form_.State;
    // Leave whatever the replayed game left up: a window, the game, or the menu
    // its end built.
    form_.CloseWindow();
    if (s.Cursor.ScreenCode == TScreenCode::Game)
        form_.EndGame();
    else if (s.Cursor.ScreenCode == TScreenCode::MainMenu)
        form_.Menus().MainMenu.Leave(true);
    form_.MDXSpriteEngine.FreeDead();
    if (random_)
        s.Random = *random_;
    random_.reset();
    form_.DrawFrames = true;

    // The screens are built while the playback is still there: a demo keeps the
    // menu's music playing through it.
    switch (origin_) {
    case TReplayOrigin::MainMenu:
        form_.BuildMainMenu(0, originItem_, 1);
        break;
    case TReplayOrigin::HighScores:
        // As the player came: the menu (its logos and music), then the table.
        form_.BuildMainMenu(0, 3, 1);
        form_.Menus().MainMenu.Leave(false);
        form_.BuildHighScores();
        break;
    case TReplayOrigin::Program:
        form_.Music.Stop();
        form_.Terminate();
        break;
    }
    playback_.reset();
    replay_.reset();
    endHoldMs_.reset();
    still_.clear();
    failure_.clear();
}

} // namespace vantorel
