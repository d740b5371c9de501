#include "menus/sending_window.hpp"

#include "menus/menu_screens.hpp"
#include "menus/menu_text.hpp"
#include "menus/window_frame.hpp"
#include "objects/my_image_sprite.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"
#include "storage/replay_upload.hpp"
#include "storage/score_request.hpp"
#include "storage/score_server.hpp"

namespace vantorel {

void TSendingWindow::Open() {
    frame_ = CreateWindowFrame(ctx_);
    shown_ = false;
}

void TSendingWindow::Close() {
    if (frame_ != nullptr)
        frame_->Kill();
    frame_ = nullptr;
}

void TSendingWindow::Tick(int32_t) {
    DrawCentredInStyle(ctx_, "Sending results...", 11, 400, 300);
    if (!shown_) {
        shown_ = true;
        started_ = false;
        return;
    }
    if (!started_) {
        const TGameState& s = ctx_.State;
        started_ = true;
        const TScoreReport report{s.Progress.PlayerName, s.Progress.Score, s.Saved.Options.AddText};
        const TScoreServer server = ScoreServer();
        // The replay follows the report, for the server to play back and mark
        // the score verified.
        std::optional<THttpPost> upload;
        if (std::vector<uint8_t> replay = ctx_.Services.FinishedGameReplay(); !replay.empty())
            upload = BuildReplayUpload(server, std::move(replay));
        if (reporter_.Start(http_, BuildScoreRequest(server, report), std::move(upload)))
            return;
    } else if (!reporter_.Finished()) {
        return;
    }
    ctx_.Navigation.CloseWindow();
    menus_.ReturnToHighScores();
}

} // namespace vantorel
