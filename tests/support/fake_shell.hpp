// A stand-in for the main window's navigation and services in the object,
// gameplay and menu tests: it writes every call into a log and keeps the window
// kind as the real one does, so that a second window request while one is open
// is dropped (and logged as such).
#pragma once

#include "state/game_navigation.hpp"
#include "state/game_services.hpp"
#include "state/game_state.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantorel {

class TFakeShell final : public IGameNavigation, public IGameServices {
public:
    explicit TFakeShell(TGameState& state) : state_(state) {}

    std::vector<std::string> Calls;

    void OpenWindow(TWindowKind kind) override {
        const int32_t k = static_cast<int32_t>(kind);
        if (state_.Cursor.WindowKind != TWindowKind::None) {
            Calls.push_back("OpenWindow " + std::to_string(k) + " dropped");
            return;
        }
        state_.Cursor.WindowKind = kind;
        Calls.push_back("OpenWindow " + std::to_string(k));
    }
    void CloseWindow() override {
        state_.Cursor.WindowKind = TWindowKind::None;
        Calls.push_back("CloseWindow");
    }
    void ActivateItem() override { Calls.push_back("ActivateItem"); }
    void ActivateItemNo(int32_t item) override {
        Calls.push_back("ActivateItemNo " + std::to_string(item));
    }
    void NewGame() override { Calls.push_back("NewGame"); }
    void EndGame() override {
        if (OnEndGame)
            OnEndGame();
        Calls.push_back("EndGame");
    }
    void BuildMainMenu(int32_t intro, int32_t item, int32_t fresh) override {
        Calls.push_back("BuildMainMenu " + std::to_string(intro) + " " + std::to_string(item) +
                        " " + std::to_string(fresh));
    }
    void BuildHighScores() override { Calls.push_back("BuildHighScores"); }
    void PlaySound(const std::string& name) override { Calls.push_back("PlaySound " + name); }
    void PlayMusicForScreen() override { Calls.push_back("PlayMusicForScreen"); }
    void SetDisplayMode() override { Calls.push_back("SetDisplayMode"); }
    void ExitGame() override { Calls.push_back("ExitGame"); }
    bool HasReplay(const std::string& name, int32_t score) const override {
        return std::find(Replays.begin(), Replays.end(), HighScoreEntry{name, score}) !=
               Replays.end();
    }
    bool WatchReplay(const std::string& name, int32_t score) override {
        Calls.push_back("WatchReplay " + name + " " + std::to_string(score));
        return HasReplay(name, score);
    }
    /// The games HasReplay finds.
    std::vector<HighScoreEntry> Replays;
    void SaveTable() override { Calls.push_back("SaveTable"); }
    std::vector<uint8_t> FinishedGameReplay() const override { return Replay; }
    /// What FinishedGameReplay answers.
    std::vector<uint8_t> Replay;

    /// How many times call was logged.
    int32_t Count(const std::string& call) const {
        return static_cast<int32_t>(std::count(Calls.begin(), Calls.end(), call));
    }

    /// What EndGame does besides logging (a test can run the real one).
    std::function<void()> OnEndGame;

private:
    TGameState& state_;
};

} // namespace vantorel
