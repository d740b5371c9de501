// "Sending results...": shown while the score report goes to the world table,
// followed by the game's replay when the server took the report (the server
// plays it back to mark the score verified). The requests run on a worker
// thread, so frames go on; the window cannot be closed half-way and ends by
// itself when they end or run out of time, then the high-score screen shows. A
// failed report or upload is not mentioned.
#pragma once

#include "state/modal_window.hpp"
#include "storage/score_reporter.hpp"

namespace vantorel {

class IHttpClient;
class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class TSendingWindow final : public IModalWindow {
public:
    TSendingWindow(TGameContext& context, TMenuScreens& menus, IHttpClient& http)
        : ctx_(context), menus_(menus), http_(http) {}

    TWindowKind Kind() const override { return TWindowKind::Sending; }
    /// Makes the frame and clears the one-shot flag: the first frame only shows
    /// the text.
    void Open() override;
    /// Every frame: "Sending results..." over the frame. First frame: the text only. Second: the
    /// report starts. Then, once it ended, the window closes and the game returns to the high-score
    /// screen.
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t) override {}
    /// Kills the frame.
    void Close() override;

    const TScoreReporter& Reporter() const { return reporter_; }

private:
    TGameContext& ctx_;
    TMenuScreens& menus_;
    IHttpClient& http_;
    TScoreReporter reporter_;
    TMyImageSprite* frame_ = nullptr;
    bool shown_ = false;
    bool started_ = false;
};

} // namespace vantorel
