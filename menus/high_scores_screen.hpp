// The high-score screen: the table, clearing it and the world table's page.
#pragma once

#include "state/screen.hpp"

#include <cstdint>

namespace vantorel {

class TMyImageSprite;
struct TGameContext;
struct TMenuScreens;

class THighScoresScreen final : public IScreen {
public:
    THighScoresScreen(TGameContext& context, TMenuScreens& menus) : ctx_(context), menus_(menus) {}

    /// Enters the table with its last item (Back) highlighted.
    void Build();
    void Leave();

    TScreenCode Code() const override { return TScreenCode::HighScores; }
    /// Steps the highlight, then draws the ten ranks of State.Saved.HighScores.
    void Tick(int32_t lagCount) override;
    void ActivateItem(int32_t item) override;

private:
    void DrawTable();

    TGameContext& ctx_;
    TMenuScreens& menus_;
    TMyImageSprite* background_ = nullptr;
};

} // namespace vantorel
