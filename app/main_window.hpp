// The main window TMForm: owner of every long-lived component, the start-up, the
// display-mode switch, the routing of window events, the order of one frame and
// the dispatch to the current screen or the open window. What each screen and
// window does lives in its own class (menus/, gameplay/).
#pragma once

#include "app/form_input.hpp"
#include "app/frame_timer.hpp"
#include "app/input_snapshot_builder.hpp"
#include "engine/display.hpp"
#include "engine/dx_input.hpp"
#include "engine/dx_sound.hpp"
#include "engine/dx_sprite_engine.hpp"
#include "engine/dx_wave_list.hpp"
#include "engine/image_library.hpp"
#include "engine/music_player.hpp"
#include "menus/menu_items.hpp"
#include "objects/game_sprites.hpp"
#include "platform/desktop_services.hpp"
#include "platform/events.hpp"
#include "replay/replay_recorder.hpp"
#include "replay/replay_store.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"
#include "state/game_state.hpp"
#include "storage/game_paths.hpp"
#include "storage/save_files.hpp"

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantorel {

class IModalWindow;
class IScreen;
class TGameFlow;
class TGamePools;
class TGameOverWindow;
class TGameScreen;
class TLevelBannerWindow;
class TPauseWindow;
class TAttractMode;
class TReplayViewer;
struct TMenuScreens;

class TMForm final : public IGameNavigation, public IGameServices {
public:
    /// services must outlive the form. randomSeed seeds the game's one generator:
    /// the game passes the clock, tests a fixed number. paths name the data and
    /// save folders; tests run where the build put the data.
    TMForm(const TDesktopServices& services, uint32_t randomSeed,
           const TGamePaths& paths = TGamePaths::InWorkingFolder());
    ~TMForm() override;
    TMForm(const TMForm&) = delete;
    TMForm& operator=(const TMForm&) = delete;

    // Components, in creation order. The display comes first so that it is the
    // last to go: the others leave its listener list as they are destroyed.
    TDXDraw MDXDraw;
    TDXImageList MDXImageList1;
    TDXImageList MDXImageList2;
    TDXSpriteEngine MDXSpriteEngine;
    TDXInput MDXInput;
    TDXSound MDXSound;
    TDXWaveList MDXWaveList;
    TMusicPlayer Music;
    TDXTimer MDXTimer;

    /// The shared state of the game, read and written directly.
    TGameState State;
    /// The game's fixed sprites and the menus' item slots, for the run.
    TGameSprites Fixed;
    TMenuItems MenuItems;
    /// What screens, windows and game objects work with.
    TGameContext Context;
    /// The frame's input snapshot, from the window events and the input states.
    TInputSnapshotBuilder InputBuilder;
    /// The frame's input step: hover, typed characters, Enter and clicks.
    TFormInput FormInput;

    /// The saved table and options: read at start-up, written at exit and after
    /// every change of the table.
    TSaveFiles Saves;

    /// Start-up: brings the display up in a window (as the window appears), seeds
    /// the random generator, opens the sound device (silence when it cannot),
    /// loads the picture and sound libraries, reads the saved table and options,
    /// sets the display mode, makes the sky and builds the first screen. A missing
    /// or broken data file is shown through the services' ShowError and ends the
    /// program before its first frame, with nothing saved. True when the game can run.
    bool FormCreate();
    /// Starts the frame timer; call once the window is shown and the loop begins.
    void StartFrames(bool applicationActive);

    /// One idle pass of the main loop: runs a frame when the timer says so.
    /// True when a frame ran. Errors go to ShowError.
    bool Idle();
    /// One window event, between frames. Errors go to ShowError.
    void HandleEvent(const TPlatformEvent& e);

    /// One frame, given LagCount in milliseconds (the frame timer's event), with
    /// the input snapshot built from the events since the last frame.
    void MDXTimerTimer(int32_t lagCount);
    /// One frame played from a given input snapshot instead of the events and
    /// devices (a recorded game played again). The frame's order is the same:
    /// input, then the screen or the window, then the sprites.
    void Frame(int32_t lagCount, const TInputSnapshot& input);

    /// Ends the main loop after the current pass.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }

    /// The window's close button, Alt+F4 or the system menu (with the next
    /// frame's input): asks "Exit to menu?" in a game, "Exit the game?"
    /// elsewhere; never closes directly.
    void FormCloseQuery();
    /// The session ends (logout, a termination signal): saves and quits.
    void FormClose();
    /// Saves the table and options now (after every change of the table). False
    /// when a file could not be written.
    bool SaveFiles();

    /// Frames that reached Flip since the form was made.
    int64_t FrameCount() const { return frameCount_; }

    // ---- Replays ----

    /// Every game is recorded from "New game" to its end and kept in the replay
    /// folder beside the saves; false records nothing (a replay playing).
    bool RecordGames = true;
    /// False: frames run the rules but draw and show nothing (the headless
    /// replay check, which needs only the rules).
    bool DrawFrames = true;
    /// The hash of the world's pictures, which the rules read; part of every
    /// replay's identity. Set by FormCreate.
    uint64_t DataHash() const { return dataHash_; }
    /// The rules' state and the game's sprites as one number (see
    /// replay/state_hash.hpp), and the rules' state alone.
    uint64_t StateHash() const;
    uint64_t ProgressHash() const;
    /// Starts a game from the main menu, between frames, as its "New game" item
    /// does but from the given seed and without recording it: a replay's game.
    void StartReplayedGame(uint32_t seed);
    /// Leaves a game that a replay played (at its end, or cut short): closes the
    /// window over it, ends it and builds the main menu.
    void LeaveReplayedGame();
    /// The kept replays.
    const TReplayStore& Replays() const { return replays_; }
    /// Watching a replay in the window (the high-score screen's rows, the menu's
    /// demo, vantorel --replay): while it watches, the frames play the recording.
    TReplayViewer& Viewer() { return *viewer_; }
    const TReplayViewer& Viewer() const { return *viewer_; }
    /// The main menu's demo after half a minute left alone.
    TAttractMode& Attract() { return *attract_; }
    /// Shows the back surface again as it is, with the viewer's marks, as one
    /// frame: the frames of a paused replay.
    void ShowStillFrame();
    const TGamePaths& Paths() const { return paths_; }
    /// Called after each recorded frame is added (tests compare the state there).
    std::function<void()> FrameRecorded;
    /// Called with every replay kept, once its game has ended and been named.
    std::function<void(const TReplay&)> ReplayKept;

    /// The screen that runs under code, and the window of kind; null where none is
    /// registered. Every screen and window is made and registered at construction.
    IScreen* Screen(TScreenCode code) const;
    IModalWindow* Window(TWindowKind kind) const;

    /// The menus' screens and windows, and the game's pools and flow.
    TMenuScreens& Menus() { return *menus_; }
    TGamePools& Pools() { return *pools_; }
    TGameFlow& Flow() { return *flow_; }

    // IGameNavigation and IGameServices
    void OpenWindow(TWindowKind kind) override;
    void CloseWindow() override;
    void ActivateItem() override;
    void ActivateItemNo(int32_t item) override;
    void NewGame() override;
    void EndGame() override;
    void BuildMainMenu(int32_t intro, int32_t item, int32_t fresh) override;
    void BuildHighScores() override;
    void PlaySound(const std::string& name) override;
    void PlayMusicForScreen() override;
    void SetDisplayMode() override;
    void ExitGame() override;
    bool HasReplay(const std::string& name, int32_t score) const override;
    bool WatchReplay(const std::string& name, int32_t score) override;
    void SaveTable() override;
    std::vector<uint8_t> FinishedGameReplay() const override;

private:
    void ShowException(std::exception_ptr error);
    void RouteEvent(const TPlatformEvent& e);
    /// The frame; input null: build the snapshot now.
    void RunFrame(int32_t lagCount, const TInputSnapshot* input);
    void UpdatePointerMode();
    /// The game proper begins: seeds the rules, starts its recording, builds it.
    void BeginGame();
    /// After a frame of a recorded game: adds it, and ends the recording when
    /// the game ended in it.
    void RecordFrame(int32_t rate, int32_t lagCount);
    void EndRecording();
    /// Writes the ended game's replay, with the name and add text entered after
    /// it when named, and prunes the folder.
    void KeepReplay(bool named);
    /// Reads the two picture libraries; the player's message on failure, else
    /// empty. Runs on a second thread while the display comes up: it touches
    /// nothing but the two lists, which are not yet attached to the display.
    std::string LoadPictureLibraries();
    /// Reads the sounds, checks the music files are there and that every picture
    /// and sound the game looks up exists; the message on failure, else empty.
    std::string LoadOtherData();
    void Register(IScreen& screen);
    void Register(IModalWindow& window);

    TDesktopServices services_;
    uint32_t randomSeed_;
    TGamePaths paths_;
    bool terminated_ = false;
    int64_t frameCount_ = 0;
    bool pointerRelative_ = false;
    bool exiting_ = false;
    bool inFrame_ = false;
    /// "New game" came inside a frame: the game begins when the frame is done.
    bool newGamePending_ = false;
    std::optional<uint32_t> replayedSeed_;
    uint64_t dataHash_ = 0;
    TReplayRecorder recorder_;
    /// The recorded game ended with the name entry open: the replay waits for the name.
    bool replayAwaitsName_ = false;
    std::vector<uint8_t> finishedReplay_;
    TReplayStore replays_;
    std::unique_ptr<TMenuScreens> menus_;
    std::unique_ptr<TGamePools> pools_;
    std::unique_ptr<TGameFlow> flow_;
    std::unique_ptr<TGameScreen> gameScreen_;
    std::unique_ptr<TPauseWindow> pauseWindow_;
    std::unique_ptr<TLevelBannerWindow> levelBannerWindow_;
    std::unique_ptr<TGameOverWindow> gameOverWindow_;
    std::unique_ptr<TReplayViewer> viewer_;
    std::unique_ptr<TAttractMode> attract_;
    std::array<IScreen*, 6> screens_{};
    std::array<IModalWindow*, 11> windows_{};
};

} // namespace vantorel
