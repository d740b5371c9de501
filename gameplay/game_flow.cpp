#include "gameplay/game_flow.hpp"

#include "engine/dx_sprite_engine.hpp"
#include "gameplay/game_pools.hpp"
#include "gameplay/level_config.hpp"
#include "objects/game_sprites.hpp"
#include "objects/ground_gun.hpp"
#include "objects/monster.hpp"
#include "objects/player.hpp"
#include "state/game_context.hpp"
#include "state/game_navigation.hpp"
#include "state/game_services.hpp"
#include "state/game_state.hpp"

namespace vantorel {

TGameFlow::TGameFlow(TGameContext& ctx, TGamePools& pools)
    : ctx_(ctx), pools_(pools), fixed_(pools.FixedSprites()), landscape_(ctx, fixed_),
      hud_(ctx, fixed_), spawner_(ctx.State, pools) {}

void TGameFlow::NewGame() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::Game;
    ctx_.Services.PlayMusicForScreen();
    s.Cursor.FirstItem = 1;
    s.Cursor.LastItem = 0;
    s.Cursor.ItemIndex = 0;
    // A Truck or Mega of an earlier game (or a flag raised for a monster that
    // found no slot) must not hold back the enemies of this one.
    s.Progress.TruckPresent = false;
    s.Progress.MegaPresent = false;
    // Nor may the spawn timers of an earlier game: each game starts as the first
    // does, and so plays again the same from its own seed and input.
    s.Progress.GunTimer = 0;
    s.Progress.MonsterTimer = 0;
    s.Progress.BonusTimer = 0;

    landscape_.Setup();
    fixed_.Player = new TPlayer(ctx_, pools_);
    fixed_.Player->CreateCompanions();
    fixed_.Player->Respawn();
    hud_.Create();
    hud_.Draw();
    StartLevel(1);
}

void TGameFlow::StartLevel(int32_t level) {
    TGameState& s = ctx_.State;
    s.Progress.Level = level;
    s.Progress.LevelFinishing = false;
    TLevelConfig::ForLevel(level).ApplyTo(s.Progress);
    ctx_.Navigation.OpenWindow(TWindowKind::LevelBanner);
}

void TGameFlow::GameTick(int32_t lagCount) {
    TGameState& s = ctx_.State;
    ctx_.Sprites.Move(lagCount);
    OpenGameOverIfLastLifeGone();

    if (TPlayer* player = fixed_.Player) {
        player->ReadControls();
        if (s.Progress.MonstersLeft <= 0 && !player->Leaving) {
            FinishLevel();
            player->StartLeaving();
        }
        if (player->Leaving && player->Alpha <= 0) {
            player->Respawn();
            OpenGameOverIfLastLifeGone();
            StartLevel(s.Progress.Level + 1);
        }
    }

    spawner_.SpawnGroundGuns();
    spawner_.SpawnMonsters();
    spawner_.SpawnBonuses();
    hud_.Draw();
    pools_.SweepOffscreen();

    if (s.Input.WasPressed(TInputKey::Esc))
        ctx_.Navigation.OpenWindow(TWindowKind::ExitToMenu);
    if (s.Input.WasPressed(TInputKey::P))
        ctx_.Navigation.OpenWindow(TWindowKind::Pause);
}

void TGameFlow::OpenGameOverIfLastLifeGone() {
    TPlayer* player = fixed_.Player;
    if (player == nullptr || !player->LastLifeGone)
        return;
    player->LastLifeGone = false;
    ctx_.Navigation.OpenWindow(TWindowKind::GameOver);
}

void TGameFlow::FinishLevel() {
    ctx_.State.Progress.LevelFinishing = true;
    pools_.RemoveAllBonuses();
    pools_.RemoveAllBullets();
    for (int32_t slot = 1; slot <= IGameWorld::kMonsterSlots; ++slot)
        if (TMonster* monster = pools_.Monster(slot))
            monster->Explode();
    for (int32_t slot = 1; slot <= IGameWorld::kGroundGunSlots; ++slot)
        if (TGroundGun* gun = pools_.GroundGun(slot))
            gun->Explode();
}

void TGameFlow::EndGame() {
    TGameState& s = ctx_.State;
    s.Cursor.ScreenCode = TScreenCode::None;
    landscape_.Remove();

    // The sprites are freed below, so no reference to them may stay behind.
    if (fixed_.Player != nullptr)
        fixed_.Player->Kill();
    fixed_.Player = nullptr;
    for (TMyImageSprite** companion :
         {&fixed_.EngineFlame1, &fixed_.EngineFlame2, &fixed_.MuzzleFlash, &fixed_.ShieldSprite}) {
        if (*companion != nullptr)
            (*companion)->Kill();
        *companion = nullptr;
    }
    hud_.Remove();

    pools_.RemoveAllBullets();
    pools_.RemoveAllGroundGuns();
    pools_.RemoveAllMonsters();
    pools_.RemoveAllBonuses();
    ctx_.Sprites.FreeDead();
}

void TGameFlow::DrawHudUnderWindow() {
    if (ctx_.State.Cursor.ScreenCode == TScreenCode::Game)
        hud_.Draw();
}

} // namespace vantorel
