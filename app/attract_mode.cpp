#include "app/attract_mode.hpp"

#include "app/main_window.hpp"
#include "app/replay_viewer.hpp"
#include "menus/menu_screens.hpp"
#include "state/input_snapshot.hpp"
#include "storage/high_score_table.hpp"

#include <algorithm>

namespace vantorel {

bool PlayerActed(const TInputSnapshot& input) {
    return input.Steering != 0 || input.Pressed != 0 || input.FireHeldBy != 0 ||
           input.PadHeld != 0 || input.PadPressed != 0 || input.PointerMoved || input.Clicks != 0 ||
           !input.Typed.empty() || input.MouseDeltaX != 0 || input.MouseDeltaY != 0;
}

void TAttractMode::AfterFrame() {
    const TGameState& s = form_.State;
    const bool acted = TakeKeyDown() || PlayerActed(s.Input);
    const bool idleMenu = s.Cursor.ScreenCode == TScreenCode::MainMenu &&
                          s.Cursor.WindowKind == TWindowKind::None &&
                          !form_.Menus().MainMenu.IntroRunning() && !acted;
    if (!idleMenu || form_.Viewer().Watching()) {
        idleMs_ = 0;
        return;
    }
    idleMs_ = std::min(idleMs_ + std::max(s.Timing.FrameMs, 1), kIdleMs);
    if (idleMs_ < kIdleMs)
        return;
    idleMs_ = 0;
    if (std::optional<TReplay> replay = PickReplay())
        form_.Viewer().Watch(std::move(*replay), TReplayOrigin::MainMenu, TReplayMark::Demo);
}

std::optional<TReplay> TAttractMode::PickReplay() const {
    const TReplayViewer& viewer = form_.Viewer();
    const std::vector<TStoredReplay> kept = form_.Replays().List();
    const HighScoreTable& table = form_.State.Saved.HighScores;
    for (int32_t rank = 1; rank <= HighScoreTable::Ranked; ++rank)
        for (auto r = kept.rbegin(); r != kept.rend(); ++r)
            if (r->Name == table[rank].Name && r->Score == table[rank].Score)
                if (std::optional<TReplay> replay = viewer.Playable(r->Path))
                    return replay;
    for (auto r = kept.rbegin(); r != kept.rend(); ++r)
        if (std::optional<TReplay> replay = viewer.Playable(r->Path))
            return replay;
    return viewer.Playable(form_.Paths().DemoReplay());
}

} // namespace vantorel
