#include "replay/state_hash.hpp"

#include "engine/image_sprite.hpp"
#include "engine/sprite.hpp"
#include "state/game_state.hpp"

#include <xxhash.h>

#include <bit>
#include <memory>

namespace vantorel {

namespace {

/// An XXH64 stream fed with numbers in a fixed width and byte order.
class THashStream {
public:
    THashStream() : state_(XXH64_createState(), &XXH64_freeState) {
        if (state_ == nullptr)
            throw std::bad_alloc();
        XXH64_reset(state_.get(), 0);
    }
    void Add(uint64_t v) {
        uint8_t bytes[8];
        for (int i = 0; i < 8; ++i)
            bytes[i] = static_cast<uint8_t>(v >> (8 * i));
        XXH64_update(state_.get(), bytes, sizeof bytes);
    }
    void Add(int32_t v) { Add(static_cast<uint64_t>(static_cast<uint32_t>(v))); }
    void Add(bool v) { Add(static_cast<uint64_t>(v ? 1 : 0)); }
    void Add(double v) { Add(std::bit_cast<uint64_t>(v)); }
    uint64_t Digest() const { return XXH64_digest(state_.get()); }

private:
    std::unique_ptr<XXH64_state_t, XXH_errorcode (*)(XXH64_state_t*)> state_;
};

void AddProgress(THashStream& h, const TGameState& s) {
    const TGameProgress& p = s.Progress;
    h.Add(p.Score);
    h.Add(p.Lives);
    h.Add(p.Level);
    h.Add(p.MonstersLeft);
    h.Add(p.LevelFinishing);
    h.Add(p.TruckPresent);
    h.Add(p.MegaPresent);
    for (bool on : p.EnemyEnabled)
        h.Add(on);
    h.Add(p.EnemyTypeCount);
    for (bool on : p.BonusEnabled)
        h.Add(on);
    h.Add(p.BonusTypeCount);
    h.Add(p.GunTimer);
    h.Add(p.MonsterTimer);
    h.Add(p.BonusTimer);
    h.Add(s.Random.Draws());
}

void AddGameSprite(THashStream& h, const TSprite& sprite) {
    h.Add(sprite.X);
    h.Add(sprite.Y);
    h.Add(sprite.Width);
    h.Add(sprite.Height);
    h.Add(sprite.Z());
    h.Add(sprite.IsDead());
    h.Add(sprite.Visible);
    h.Add(sprite.CanMove);
    h.Add(sprite.CanCollide);
    h.Add(static_cast<uint64_t>(sprite.Contents));
    if (const auto* image = dynamic_cast<const TImageSprite*>(&sprite))
        h.Add(image->AnimPosition);
}

void AddSprite(THashStream& h, const TSprite& sprite) {
    if (sprite.Contents != 0)
        AddGameSprite(h, sprite);
    const int32_t count = sprite.Count();
    for (int32_t i = 0; i < count; ++i)
        AddSprite(h, *sprite.Items(i));
}

} // namespace

uint64_t GameStateHash(const TGameState& state, const TSprite& root) {
    THashStream h;
    AddProgress(h, state);
    h.Add(static_cast<int32_t>(state.Cursor.ScreenCode));
    h.Add(static_cast<int32_t>(state.Cursor.WindowKind));
    AddSprite(h, root);
    return h.Digest();
}

uint64_t ProgressHash(const TGameState& state) {
    THashStream h;
    AddProgress(h, state);
    return h.Digest();
}

} // namespace vantorel
