// Watching a kept game in the game's window: while a replay plays, every frame
// the display shows plays recorded frames instead of the player's input, at the
// speed the player picks, with a mark in the corner saying what is shown. The
// player's own keys only steer the watching: 1, 2 and 4 set the speed, P or Space
// pause, Esc (or the pad's Back) stops. A demo (the menu's attract mode) ends at
// any input. At the end the viewer returns to where the replay was started from.
#pragma once

#include "app/replay_playback.hpp"
#include "replay/replay.hpp"
#include "state/game_random.hpp"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantorel {

class TDirectDrawSurface;
class TMForm;
struct TInputSnapshot;

/// Where watching returns to when it ends.
enum class TReplayOrigin : uint8_t {
    /// The main menu, with the item that was lit.
    MainMenu,
    /// The high-score screen.
    HighScores,
    /// Nowhere: the program ends (vantorel --replay FILE).
    Program,
};

/// What the corner mark says: a player's replay, or the menu's demo.
enum class TReplayMark : uint8_t { Replay, Demo };

class TReplayViewer {
public:
    /// How long the last picture of the game (or a failure's message) stays
    /// before watching returns, in milliseconds of frame time.
    static constexpr int32_t kEndHoldMs = 2000;
    /// The largest replay file read.
    static constexpr size_t kMaxFileBytes = size_t{8} << 20;

    /// form must outlive the viewer.
    explicit TReplayViewer(TMForm& form);
    ~TReplayViewer();
    TReplayViewer(const TReplayViewer&) = delete;
    TReplayViewer& operator=(const TReplayViewer&) = delete;

    /// The replay in file; nullopt with why set to a sentence for the player when
    /// the file is missing, unreadable or not a replay.
    static std::optional<TReplay> ReadFile(const std::filesystem::path& file, std::string& why);

    /// The replay in file when this game's rules and data can play it; nullopt
    /// for a file that cannot be read or played.
    std::optional<TReplay> Playable(const std::filesystem::path& file) const;

    /// Starts watching replay between frames, with the form at the main menu or
    /// at the screen origin names, which the caller has left. Its first recorded
    /// frame plays in the next displayed frame. Returns why the replay cannot be
    /// played on this game's rules and data (nothing is then started), or empty.
    std::string Watch(TReplay replay, TReplayOrigin origin, TReplayMark mark);
    bool Watching() const { return playback_ != nullptr; }
    /// Recorded frames played per displayed frame: 1, 2 or 4; none while Paused().
    int32_t Speed() const { return speed_; }
    bool Paused() const { return paused_; }
    TReplayMark Mark() const { return mark_; }
    /// The playback of the replay being watched; null when none is.
    const TReplayPlayback* Playback() const { return playback_.get(); }
    /// Why the replay stopped before its end (shown in short until watching
    /// returns); empty while it plays as recorded.
    const std::string& Failure() const { return failure_; }

    /// One displayed frame while Watching(), in place of a frame of the player's
    /// own: takes the player's input (which never reaches the game), plays the
    /// recorded frames the speed asks for and shows the last of them once; at the
    /// end holds the last picture, then returns.
    void DisplayedFrame();
    /// Draws the mark (and a failure's message) over the frame about to be shown;
    /// the frame calls it before it presents. Keeps the game's last picture for
    /// the frames that play nothing.
    void DrawMarks(TDirectDrawSurface& surface);
    /// Stops watching now and returns where the replay was started from.
    void Stop();
    /// True while the screen's music must not change: a demo plays over the
    /// menu's music, which the menu keeps when it comes back.
    bool HoldsMusic() const { return Watching() && mark_ == TReplayMark::Demo; }

private:
    void ReadControls(const TInputSnapshot& input);
    void PlayRecordedFrames(int32_t frames);
    void ReturnToOrigin();

    TMForm& form_;
    std::unique_ptr<TReplay> replay_;
    std::unique_ptr<TReplayPlayback> playback_;
    TReplayOrigin origin_ = TReplayOrigin::MainMenu;
    TReplayMark mark_ = TReplayMark::Replay;
    int32_t originItem_ = 1;
    int32_t speed_ = 1;
    bool paused_ = false;
    bool spaceHeld_ = false;
    std::string failure_;
    /// The game's generator as it was before watching, given back after.
    std::optional<TGameRandom> random_;
    /// Counts down once the game is over (or failed); watching returns at 0.
    std::optional<int32_t> endHoldMs_;
    /// The game's last picture, shown again by the frames that play nothing.
    std::vector<uint32_t> still_;
    bool framePlayed_ = false;
};

} // namespace vantorel
