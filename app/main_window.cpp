#include "app/main_window.hpp"

#include "app/attract_mode.hpp"
#include "app/frame_rate.hpp"
#include "app/replay_viewer.hpp"
#include "app/required_data.hpp"
#include "base/errors.hpp"
#include "gameplay/game_flow.hpp"
#include "gameplay/game_over_window.hpp"
#include "gameplay/game_pools.hpp"
#include "gameplay/game_screen.hpp"
#include "gameplay/level_banner_window.hpp"
#include "gameplay/pause_window.hpp"
#include "menus/menu_button.hpp"
#include "menus/menu_screens.hpp"
#include "objects/scroll_background.hpp"
#include "platform/font_renderer.hpp"
#include "platform/pointer.hpp"
#include "platform/video_output.hpp"
#include "replay/replay_file.hpp"
#include "replay/rules_identity.hpp"
#include "replay/state_hash.hpp"
#include "state/modal_window.hpp"
#include "state/screen.hpp"
#include "storage/links.hpp"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <limits>
#include <utility>

namespace vantorel {

TMForm::TMForm(const TDesktopServices& services, uint32_t randomSeed, const TGamePaths& paths)
    : MDXDraw(&services.Video, &services.Fonts), MDXSound(services.Audio), MDXWaveList(&MDXSound),
      Music(services.Audio, paths.MenuMusic(), paths.RaceMusic()),
      MDXTimer(services.Clock), Context{State,         MDXSpriteEngine, MDXImageList1,
                                        MDXImageList2, *this,           *this},
      InputBuilder(State.Cursor, MDXInput), FormInput(State.Cursor, MenuItems, *this, *this),
      Saves(paths.SaveFolder()), services_(services), randomSeed_(randomSeed), paths_(paths),
      replays_(paths.SaveFolder() / "Replays") {
    MDXDraw.SetOptions({TDXDrawOption::doStretch, TDXDrawOption::doFlip, TDXDrawOption::doHardware,
                        TDXDrawOption::doCenter, TDXDrawOption::doWaitVBlank,
                        TDXDrawOption::doDirectX7Mode, TDXDrawOption::doAllowReboot,
                        TDXDrawOption::doSelectDriver, TDXDrawOption::doRetainedMode});
    // The picture lists join the display in FormCreate, once their libraries are read.
    MDXSpriteEngine.SetDXDraw(&MDXDraw);
    MDXTimer.ActiveOnly = true;
    MDXTimer.Interval = 0;
    MDXTimer.OnTimer = [this](int32_t lagCount) { MDXTimerTimer(lagCount); };

    MDXInput.IsForeground = [this] { return services_.Video.IsActive(); };
    MDXInput.Keyboard.SetDevice(&services_.Keyboard);
    MDXInput.Joystick.SetDevice(&services_.Joystick);
    FormInput.CurrentScreen = [this] { return Screen(State.Cursor.ScreenCode); };
    FormInput.CurrentWindow = [this] { return Window(State.Cursor.WindowKind); };
    FormInput.ItemContains = [](const TMenuButton& item, int32_t x, int32_t y) {
        return item.Contains(x, y);
    };
    FormInput.HoverSilent = [this] { return menus_->MainMenu.IntroRunning(); };
    InputBuilder.SwitchFullScreen = [this] {
        State.Saved.Options.FullScreen ^= 1u;
        SetDisplayMode();
    };

    menus_ =
        std::make_unique<TMenuScreens>(Context, MenuItems, Fixed, services.Links, services.Http);
    pools_ = std::make_unique<TGamePools>(Context, Fixed);
    flow_ = std::make_unique<TGameFlow>(Context, *pools_);
    gameScreen_ = std::make_unique<TGameScreen>(*flow_);
    pauseWindow_ = std::make_unique<TPauseWindow>(Context);
    levelBannerWindow_ = std::make_unique<TLevelBannerWindow>(Context);
    gameOverWindow_ = std::make_unique<TGameOverWindow>(Context);
    viewer_ = std::make_unique<TReplayViewer>(*this);
    attract_ = std::make_unique<TAttractMode>(*this);

    Register(menus_->MainMenu);
    Register(menus_->Options);
    Register(menus_->HighScores);
    Register(menus_->Help);
    Register(*gameScreen_);
    Register(menus_->ExitGame);
    Register(menus_->ExitToMenu);
    Register(menus_->ClearTable);
    Register(*pauseWindow_);
    Register(*levelBannerWindow_);
    Register(*gameOverWindow_);
    Register(menus_->NameEntry);
    Register(menus_->SendQuestion);
    Register(menus_->Sending);
}

// The sprites of screens and windows belong to the sprite engine, which goes after
// them; the game's pools only refer to sprites.
TMForm::~TMForm() = default;

void TMForm::Register(IScreen& screen) {
    screens_.at(static_cast<size_t>(screen.Code())) = &screen;
}

void TMForm::Register(IModalWindow& window) {
    windows_.at(static_cast<size_t>(window.Kind())) = &window;
}

IScreen* TMForm::Screen(TScreenCode code) const {
    const auto i = static_cast<size_t>(code);
    return i < screens_.size() ? screens_[i] : nullptr;
}

IModalWindow* TMForm::Window(TWindowKind kind) const {
    const auto i = static_cast<size_t>(kind);
    return i < windows_.size() ? windows_[i] : nullptr;
}

void TMForm::ShowException(std::exception_ptr error) {
    std::string text = "Unknown error";
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
    }
    if (services_.ShowError)
        services_.ShowError(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

bool TMForm::FormCreate() {
    // The two picture libraries are read and decoded on another core while the
    // display and the sound device come up, the slowest steps of start-up. The
    // lists meet the display only once they are read, so nothing is shared
    // between the two threads until the join.
    std::future<std::string> pictures =
        std::async(std::launch::async, [this] { return LoadPictureLibraries(); });

    // The display comes up with the window itself, so that an error box has a
    // window behind it.
    try {
        MDXDraw.Initialize();
    } catch (...) {
        ShowException(std::current_exception());
    }
    State.Random.Seed(randomSeed_);
    // Without a sound device the game is silent, not stopped.
    MDXSound.Initialize();

    // Every data file is read before the first frame; a missing or broken one
    // ends the program here, before anything is saved.
    std::string problem = pictures.get();
    MDXImageList1.SetDXDraw(&MDXDraw);
    MDXImageList2.SetDXDraw(&MDXDraw);
    if (problem.empty())
        problem = LoadOtherData();
    if (!problem.empty()) {
        if (services_.ShowError)
            services_.ShowError(problem);
        Terminate();
        return false;
    }
    // The game's own stand-ins for faces a desktop may lack.
    services_.Fonts.LoadAliases(paths_.FontAliases());
    Saves.Load(State.Saved.HighScores, State.Saved.Options);
    try {
        SetDisplayMode();
    } catch (...) {
        ShowException(std::current_exception());
    }
    State.Cursor.ScreenCode = TScreenCode::None;
    // The sky lives for the whole run; every screen draws over it.
    Fixed.Sky = new TScrollBackground(Context, 2, "SkyTile", 7, 1);
    BuildMainMenu(1, 1, 1);
    return true;
}

namespace {

/// Reads one data file with load; the player's message when it is missing or
/// cannot be read, else empty.
std::string LoadDataFile(const std::filesystem::path& path,
                         const std::function<void(const std::string&)>& load) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return "The game's data file \"" + path.string() +
               "\" is missing: its data folder is incomplete. Build or install the game's "
               "data again, or set VANTOREL_DATA to a whole data folder.";
    if (!load)
        return {};
    try {
        load(path.string());
    } catch (const std::exception& e) {
        return "The game's data file \"" + path.string() + "\" cannot be read: " + e.what();
    }
    return {};
}

} // namespace

std::string TMForm::LoadPictureLibraries() {
    std::string problem = LoadDataFile(paths_.MenuPictures(), [this](const std::string& f) {
        MDXImageList1.Items.LoadLibraryFile(f);
    });
    if (problem.empty())
        problem = LoadDataFile(paths_.WorldPictures(), [this](const std::string& f) {
            MDXImageList2.Items.LoadLibraryFile(f);
            dataHash_ = RulesDataFileHash(f);
        });
    return problem;
}

std::string TMForm::LoadOtherData() {
    std::string problem = LoadDataFile(
        paths_.Sounds(), [this](const std::string& f) { MDXWaveList.LoadLibraryFile(f); });
    // The music player opens a module when a screen asks for it; here the files only have to be
    // there.
    for (const auto& music : {paths_.MenuMusic(), paths_.RaceMusic()})
        if (problem.empty())
            problem = LoadDataFile(music, nullptr);
    if (!problem.empty())
        return problem;
    // Every picture and sound the game looks up is there before the first frame.
    return MissingDataNames(paths_, MDXImageList1, MDXImageList2, MDXWaveList);
}

void TMForm::StartFrames(bool applicationActive) {
    MDXTimer.Start(applicationActive);
}

void TMForm::SetDisplayMode() {
    MDXDraw.Display.SetBitCount(32);
    const auto apply = [this](bool fullScreen) {
        TDXDrawOptions options = MDXDraw.Options();
        MDXDraw.Finalize();
        if (fullScreen)
            options.Include(TDXDrawOption::doFullScreen);
        else
            options.Exclude(TDXDrawOption::doFullScreen);
        MDXDraw.SetOptions(options);
        MDXDraw.Initialize();
    };
    if (State.Saved.Options.FullScreen != 0) {
        // A display that refuses full screen keeps the window, and the option is
        // turned off so that the next start does not fail the same way.
        try {
            apply(true);
        } catch (const EDXDrawError&) {
            State.Saved.Options.FullScreen = 0;
            apply(false);
        }
    } else {
        apply(false);
    }
    State.Timing.RefreshRate = MDXDraw.RefreshRate();
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
    InputBuilder.HandleEvent(e);
    if (e.Kind == TEventKind::KeyDown || e.Kind == TEventKind::MouseDown)
        attract_->KeyWentDown();
    switch (e.Kind) {
    case TEventKind::Quit:
        FormClose();
        break;
    case TEventKind::FocusGained:
        MDXTimer.ApplicationActivated();
        break;
    case TEventKind::FocusLost:
        MDXTimer.ApplicationDeactivated();
        break;
    default:
        break;
    }
}

// While a replay is watched, the displayed frames play the recording instead.
void TMForm::MDXTimerTimer(int32_t lagCount) {
    if (viewer_->Watching()) {
        viewer_->DisplayedFrame();
        return;
    }
    RunFrame(lagCount, nullptr);
    attract_->AfterFrame();
}

void TMForm::Frame(int32_t lagCount, const TInputSnapshot& input) {
    RunFrame(lagCount, &input);
}

// Input comes first, as the events once did between frames: what it performs
// (a screen built, a window opened) is drawn in this frame. A frame that cannot
// be drawn takes no input; the events wait for the next.
void TMForm::RunFrame(int32_t lagCount, const TInputSnapshot* input) {
    // What the rules ran at in this frame: the quantities the last frame set.
    const int32_t rate = State.Timing.Rate;
    const bool ready = !DrawFrames || MDXDraw.IsReadyToDraw();
    struct TInFrame {
        bool& Flag;
        explicit TInFrame(bool& flag) : Flag(flag) { Flag = true; }
        ~TInFrame() { Flag = false; }
    } inFrame(inFrame_);
    if (ready) {
        State.Input = input != nullptr ? *input : InputBuilder.Build();
        // The close button comes with the frame's input, so that a recorded game
        // plays its question again in the same frame.
        if (State.Input.WasPressed(TInputKey::Close))
            FormCloseQuery();
        FormInput.Play(State.Input);
    }
    const int32_t rememberedItem = State.Cursor.ItemIndex;

    TDirectDrawSurface* back = DrawFrames ? MDXDraw.Surface() : nullptr;
    if (back != nullptr)
        back->Fill(0);
    if (!ready)
        return;

    if (DrawFrames)
        MDXSpriteEngine.Draw();

    if (IModalWindow* window = Window(State.Cursor.WindowKind)) {
        window->Tick(lagCount);
        // Also on the frame the window closes, when the screen's own tick does
        // not run: its texts would vanish for a frame. The screen may have changed
        // during the tick; a new screen draws what it keeps under a window.
        if (IScreen* screen = Screen(State.Cursor.ScreenCode))
            screen->DrawUnderWindow();
    } else if (State.Cursor.WindowKind == TWindowKind::None) {
        if (IScreen* screen = Screen(State.Cursor.ScreenCode))
            screen->Tick(lagCount);
    }

    if (State.Cursor.ItemIndex != rememberedItem)
        PlaySound("Button");

    MDXSpriteEngine.FreeDead();
    UpdatePointerMode();
    RecordFrame(rate, lagCount);

    const TFrameQuantities q = FrameQuantities(State.Timing.RefreshRate, MDXTimer.FrameRate());
    State.Timing.SetRate(q.Rate);

    if (DrawFrames) {
        if (TDirectDrawSurface* s = MDXDraw.Surface()) {
            if (viewer_->Watching())
                viewer_->DrawMarks(*s);
            s->ReleaseCanvas();
        }
        MDXDraw.Flip();
        ++frameCount_;
    }
    if (newGamePending_) {
        newGamePending_ = false;
        inFrame_ = false;
        BeginGame();
    }
}

void TMForm::RecordFrame(int32_t rate, int32_t lagCount) {
    if (!recorder_.Recording()) {
        // The name entry over an ended game was left without a name.
        if (replayAwaitsName_ && State.Cursor.ScreenCode != TScreenCode::Game)
            KeepReplay(false);
        return;
    }
    recorder_.AddFrame(rate, lagCount, State.Input);
    if (recorder_.StateHashDue())
        recorder_.AddStateHash(StateHash());
    if (FrameRecorded)
        FrameRecorded();
    if (RecordedGameEnded(State.Cursor) || recorder_.Replay().FrameCount >= kReplayMaxFrames)
        EndRecording();
}

void TMForm::EndRecording() {
    if (!recorder_.Recording())
        return;
    recorder_.End(State.Progress.Score, State.Progress.Level, ProgressHash());
    if (State.Cursor.WindowKind == TWindowKind::NameEntry)
        replayAwaitsName_ = true;
    else
        KeepReplay(false);
}

void TMForm::KeepReplay(bool named) {
    replayAwaitsName_ = false;
    TReplay& replay = recorder_.Replay();
    if (replay.FrameCount == 0)
        return;
    if (named) {
        replay.Name = State.Progress.PlayerName.substr(0, kReplayMaxTextBytes);
        replay.AddText = State.Saved.Options.AddText.substr(0, kReplayMaxTextBytes);
    }
    try {
        finishedReplay_ = EncodeReplay(replay);
    } catch (const EReplayFileError& e) {
        finishedReplay_.clear();
        std::fprintf(stderr, "vantorel: the game's replay was not kept: %s\n", e.what());
        return;
    }
    // A replay that cannot be written costs the player nothing else: the game
    // and its score go on.
    if (!replays_.Add(finishedReplay_))
        std::fprintf(stderr, "vantorel: the game's replay could not be written in \"%s\"\n",
                     replays_.Folder().string().c_str());
    replays_.Prune(State.Saved.HighScores);
    if (ReplayKept)
        ReplayKept(replay);
}

uint64_t TMForm::StateHash() const {
    return GameStateHash(State, MDXSpriteEngine.Engine);
}

uint64_t TMForm::ProgressHash() const {
    return vantorel::ProgressHash(State);
}

void TMForm::ShowStillFrame() {
    if (!MDXDraw.IsReadyToDraw())
        return;
    if (TDirectDrawSurface* s = MDXDraw.Surface()) {
        viewer_->DrawMarks(*s);
        s->ReleaseCanvas();
    }
    MDXDraw.Flip();
    ++frameCount_;
}

bool TMForm::HasReplay(const std::string& name, int32_t score) const {
    const std::optional<std::filesystem::path> file = replays_.Find(name, score);
    return file && viewer_->Playable(*file);
}

bool TMForm::WatchReplay(const std::string& name, int32_t score) {
    const std::optional<std::filesystem::path> file = replays_.Find(name, score);
    std::optional<TReplay> replay = file ? viewer_->Playable(*file) : std::nullopt;
    if (!replay || State.Cursor.ScreenCode != TScreenCode::HighScores)
        return false;
    menus_->HighScores.Leave();
    return viewer_->Watch(std::move(*replay), TReplayOrigin::HighScores, TReplayMark::Replay)
        .empty();
}

void TMForm::LeaveReplayedGame() {
    CloseWindow();
    if (State.Cursor.ScreenCode == TScreenCode::Game)
        EndGame();
    MDXSpriteEngine.FreeDead();
    BuildMainMenu(0, 1, 1);
}

void TMForm::StartReplayedGame(uint32_t seed) {
    menus_->MainMenu.Leave(true);
    MDXSpriteEngine.FreeDead();
    replayedSeed_ = seed;
    NewGame();
}

// During a game the pointer is held by the window in relative mode: it is
// hidden, and its motion steers the ship even at the screen's edges. Over a game
// the system pointer shows only for the questions a click answers (exit, exit to
// menu, clear table, send); the name entry and "Sending results..." keep it
// hidden. The menus always show it.
void TMForm::UpdatePointerMode() {
    const TWindowKind k = State.Cursor.WindowKind;
    const bool question = k == TWindowKind::ExitGame || k == TWindowKind::ExitToMenu ||
                          k == TWindowKind::ClearTable || k == TWindowKind::SendQuestion;
    const bool relative = State.Cursor.ScreenCode == TScreenCode::Game && !question;
    if (relative == pointerRelative_)
        return;
    pointerRelative_ = relative;
    services_.Pointer.SetRelative(relative);
    services_.Pointer.SetVisible(!relative);
}

void TMForm::OpenWindow(TWindowKind kind) {
    if (State.Cursor.WindowKind != TWindowKind::None)
        return;
    State.Cursor.WindowKind = kind;
    State.Cursor.SavedItemIndex = State.Cursor.ItemIndex;
    State.Cursor.SavedFirstItem = State.Cursor.FirstItem;
    State.Cursor.SavedLastItem = State.Cursor.LastItem;
    InputBuilder.WindowOpened();
    if (IModalWindow* window = Window(kind))
        window->Open();
}

void TMForm::CloseWindow() {
    if (State.Cursor.WindowKind == TWindowKind::None)
        return;
    State.Cursor.ItemIndex = State.Cursor.SavedItemIndex;
    State.Cursor.FirstItem = State.Cursor.SavedFirstItem;
    State.Cursor.LastItem = State.Cursor.SavedLastItem;
    if (IModalWindow* window = Window(State.Cursor.WindowKind))
        window->Close();
    State.Cursor.WindowKind = TWindowKind::None;
}

void TMForm::ActivateItem() {
    if (State.Cursor.ScreenCode != TScreenCode::Game ||
        State.Cursor.WindowKind != TWindowKind::None)
        PlaySound("Button");
    if (State.Cursor.WindowKind != TWindowKind::None) {
        if (IModalWindow* window = Window(State.Cursor.WindowKind))
            window->ActivateItem(State.Cursor.ItemIndex);
        return;
    }
    if (IScreen* screen = Screen(State.Cursor.ScreenCode))
        screen->ActivateItem(State.Cursor.ItemIndex);
}

void TMForm::ActivateItemNo(int32_t item) {
    State.Cursor.ItemIndex = item;
    ActivateItem();
}

// A game begins between frames: "New game" chosen inside a frame (a key, a click,
// the pad's button) begins once that frame is done, so that the first frame of
// every game is a whole frame of the game, the same one its replay plays first.
void TMForm::NewGame() {
    if (inFrame_) {
        newGamePending_ = true;
        return;
    }
    BeginGame();
}

void TMForm::BeginGame() {
    // Every game draws from a seed of its own, which its replay keeps.
    const bool replayed = replayedSeed_.has_value();
    const uint32_t seed =
        replayed ? *replayedSeed_
                 : static_cast<uint32_t>(State.Random(std::numeric_limits<int32_t>::max()));
    replayedSeed_.reset();
    State.Random.Seed(seed);
    if (RecordGames && !replayed)
        recorder_.Start(kRulesVersion, dataHash_, seed);
    flow_->NewGame();
}

void TMForm::EndGame() {
    flow_->EndGame();
}

void TMForm::BuildMainMenu(int32_t intro, int32_t item, int32_t fresh) {
    menus_->MainMenu.Build(intro, item, fresh);
}

void TMForm::BuildHighScores() {
    menus_->HighScores.Build();
}
void TMForm::PlaySound(const std::string& name) {
    MDXWaveList.PlaySound(name, State.Saved.Options.SoundEffects != 0);
}

// The music of the current screen from its start; nothing with the music option off,
// nor while a demo plays over the menu's music.
void TMForm::PlayMusicForScreen() {
    if (viewer_->HoldsMusic())
        return;
    Music.MusicOptionChanged(State.Cursor.ScreenCode == TScreenCode::Game,
                             State.Saved.Options.Music != 0);
}

// The name entry adds the ended game to the table and saves it: the game's
// replay now has its name.
void TMForm::SaveTable() {
    SaveFiles();
    if (replayAwaitsName_)
        KeepReplay(true);
}

std::vector<uint8_t> TMForm::FinishedGameReplay() const {
    return finishedReplay_;
}

bool TMForm::SaveFiles() {
    return Saves.Save(State.Saved.HighScores, State.Saved.Options);
}

// Saves first, while the picture is still up: a save that fails is reported, and
// the game still ends. Runs once, however many ways the player asked to quit.
void TMForm::ExitGame() {
    if (exiting_)
        return;
    exiting_ = true;
    // A game cut short by the end of the program is kept as far as it went.
    EndRecording();
    if (replayAwaitsName_)
        KeepReplay(false);
    MDXSpriteEngine.FreeDead();
    if (!SaveFiles() && services_.ShowError)
        services_.ShowError("The high-score table or the options could not be saved in \"" +
                            Saves.Folder().string() + "\".");
    OpenExitLink(services_.Links);
    Music.Stop();
    Terminate();
}

void TMForm::FormCloseQuery() {
    OpenWindow(State.Cursor.ScreenCode == TScreenCode::Game ? TWindowKind::ExitToMenu
                                                            : TWindowKind::ExitGame);
}

void TMForm::FormClose() {
    ExitGame();
}

} // namespace vantorel
