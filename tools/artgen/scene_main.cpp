// vantorel-artscene: composes a game scene from the built world library, the way
// the game draws it (tiled sky, three hill layers, the player with its flames and
// shot, enemies, a turret, bonuses and the HUD panel), into an 800x600 PNG.
// A look at the art in place; not part of the game.
//
//   vantorel-artscene Res2.dxg OUT.png
//
// Pictures the library lacks are left out with a note on stderr.
#include "base/errors.hpp"
#include "engine/image_library.hpp"
#include "engine/surface.hpp"
#include "tools/artgen/art_image.hpp"
#include "tools/common/common_options.hpp"

#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <string>

using namespace vantorel;

namespace {

/// Draws the patterns of a library straight from its pictures, without a display.
class TScenePainter {
public:
    TScenePainter(TPictureCollection& library, TDirectDrawSurface& screen)
        : library_(library), screen_(screen) {}

    void Draw(const std::string& name, int32_t x, int32_t y, int32_t pattern = 0) {
        const TPictureCollectionItem* item = Item(name);
        if (!item)
            return;
        screen_.Draw(x, y, *surfaces_[name], Pattern(*item, pattern), item->Transparent);
    }

    void DrawCentered(const std::string& name, int32_t cx, int32_t cy, int32_t pattern = 0) {
        const TPictureCollectionItem* item = Item(name);
        if (!item)
            return;
        Draw(name, cx - item->Width() / 2, cy - item->Height() / 2, pattern);
    }

    /// As the game draws a turret barrel or a rotated shot: (u, v) of the picture,
    /// as fractions of its size, lands on (x, y), turned by angle/256 clockwise.
    void DrawRotated(const std::string& name, int32_t x, int32_t y, double u, double v,
                     int32_t angle, int32_t pattern = 0) {
        const TPictureCollectionItem* item = Item(name);
        if (!item)
            return;
        screen_.DrawRotated(x, y, item->Width(), item->Height(), *surfaces_[name],
                            Pattern(*item, pattern), u, v, angle, item->Transparent);
    }

    int32_t Width(const std::string& name) {
        const TPictureCollectionItem* item = Item(name);
        return item ? item->Width() : 0;
    }

private:
    const TPictureCollectionItem* Item(const std::string& name) {
        auto found = surfaces_.find(name);
        if (found != surfaces_.end())
            return found->second ? &library_.Find(name) : nullptr;
        TPictureCollectionItem* item = nullptr;
        try {
            item = &library_.Find(name);
        } catch (const EPictureCollectionError&) {
            std::fprintf(stderr, "vantorel-artscene: no picture '%s', left out\n", name.c_str());
            surfaces_[name] = nullptr;
            return nullptr;
        }
        auto surface =
            std::make_unique<TDirectDrawSurface>(item->Picture.Width, item->Picture.Height);
        std::copy(item->Picture.Pixels.begin(), item->Picture.Pixels.end(), surface->Pixels());
        surface->SetColorKey(ColorToPixel(item->TransparentColor()));
        surfaces_[name] = std::move(surface);
        return item;
    }

    static TRect Pattern(const TPictureCollectionItem& item, int32_t i) {
        const int32_t w = item.Width();
        const int32_t h = item.Height();
        const int32_t columns = item.Picture.Width / w;
        return Bounds((i % columns) * w, (i / columns) * h, w, h);
    }

    TPictureCollection& library_;
    TDirectDrawSurface& screen_;
    std::map<std::string, std::unique_ptr<TDirectDrawSurface>> surfaces_;
};

void Compose(TScenePainter& p) {
    // Backgrounds, back to front, part-way through their scroll.
    for (int32_t x = -37; x < 800; x += 160)
        p.Draw("SkyTile", x, 0);
    p.Draw("Hills3", -210, 498);
    p.Draw("Hills3", 590, 498);
    p.Draw("Hills2", -420, 495);
    p.Draw("Hills2", 380, 495);

    // Turrets (Z 6 stands in front of the far hills, the front hills are Z 5).
    p.Draw("Hills1", -130, 485);
    p.Draw("Hills1", 670, 485);
    p.Draw("GroundGunBase", 610, 490);
    p.DrawRotated("GroundGunTrunk", 610 + 37, 490 + 63, 37.0 / 74, 63.0 / 90, -22);
    p.Draw("GroundRocketBase", 250, 490);
    p.DrawRotated("GroundRocketTrunk", 250 + 30, 490 + 78, 30.0 / 60, 78.0 / 100, 18);

    // Enemies with their flames and muzzle flashes (offsets as the game places them).
    const int32_t csX = 560, csY = 170;
    p.Draw("CosmoStorm", csX, csY);
    p.Draw("EngineFireR", csX + 48, csY - 14, 1);
    p.Draw("LaserFireR", csX - 30, csY - 12, 1);
    p.Draw("LaserBullet", csX - 25 - 40, csY + 17);
    const int32_t ufoX = 660, ufoY = 300;
    p.Draw("UFO", ufoX, ufoY);
    p.Draw("PlasmaFireR", ufoX - 31, ufoY, 2);
    p.Draw("PlasmaBullet", ufoX - 42 - 30, ufoY, 1);
    const int32_t rkX = 440, rkY = 370;
    p.Draw("Rocketer", rkX, rkY);
    p.Draw("EngineFireR", rkX + 67, rkY - 14, 2);
    p.Draw("EngineFireR", rkX + 67, rkY + 2, 3);
    p.Draw("Explosion", 360, 120, 4);
    p.Draw("PlasmaExplosion", 520, 250, 2);
    p.Draw("Explosion", 590, 430, 11);

    // The player firing its rail gun, shield up.
    const int32_t x = 110, y = 250;
    p.Draw("EngineFire", x - 19, y - 25, 0);
    p.Draw("EngineFire", x - 19, y - 14, 2);
    p.Draw("Player", x, y, 0);
    const int32_t body = p.Width("RailBulletBody");
    const int32_t head = x + 108 + 7 * (body > 0 ? body : 24) + 5;
    for (int32_t i = 0; body > 0 && i <= (head - (x + 108)) / body; ++i)
        p.Draw("RailBulletBody", x + body * i + 108, y + 18, 0);
    p.Draw("RailBullet", head, y + 18, 0);
    p.Draw("PlayerShield", x + 90, y - 6, 1);
    p.DrawRotated("RocketBullet", x + 60, y + 90, 0.5, 0.5, 12);
    p.DrawRotated("EngineFire", x + 60, y + 90, 0.78125, 0.515625, 12, 1);
    p.Draw("PlasmaFire", 20, 400, 1); // a plasma flash on its own, for a look

    // Bonuses drifting with the ground.
    p.Draw("BonusShield", 380, 300);
    p.Draw("BonusRocketGun_2x", 720, 200);
    p.Draw("BonusLife", 300, 440);

    // The heads-up display on top.
    p.Draw("Panels", 0, 0);
    for (int32_t lx : {336, 373, 410})
        p.Draw("PanelLife", lx, 41);
    p.DrawCentered("BonusRailGun", 567, 39);
}

constexpr const char* kUsage = "usage: vantorel-artscene Res2.dxg OUT.png\n";

} // namespace

int main(int argc, char** argv) {
    if (const auto done =
            vantorel::tools::AnswerCommonOptions(argc, argv, "vantorel-artscene", kUsage))
        return *done;
    if (argc != 3)
        return vantorel::tools::UsageError(kUsage);
    try {
        TPictureCollection library;
        library.LoadLibraryFile(argv[1]);
        TDirectDrawSurface screen(800, 600);
        TScenePainter painter(library, screen);
        Compose(painter);
        artgen::TArtImage out(800, 600);
        for (int32_t y = 0; y < 600; ++y)
            for (int32_t x = 0; x < 800; ++x) {
                const TPixel px = screen.Row(y)[x];
                out.At(x, y) = artgen::TColor::Hex(px & 0xFFFFFFu);
            }
        artgen::WritePng(out, argv[2], true);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantorel-artscene: %s\n", e.what());
        return 1;
    }
    return 0;
}
