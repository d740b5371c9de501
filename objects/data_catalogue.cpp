#include "objects/data_catalogue.hpp"

#include "objects/object_kinds.hpp"

namespace vantorel {

const std::vector<std::string>& MenuPictureNames() {
    static const std::vector<std::string> names = {
        "UpLogo",      "DownLogo",    "MM_1_I",  "MM_1_A",  "MM_2_I",  "MM_2_A",     "MM_3_I",
        "MM_3_A",      "MM_4_I",      "MM_4_A",  "MM_5_I",  "MM_5_A",  "MM_6_I",     "MM_6_A",
        "Opt_Bg",      "Opt_1_1",     "Opt_1_2", "Opt_2_1", "Opt_2_2", "Opt_3_1",    "Opt_3_2",
        "OptB_I",      "OptB_A",      "Back_I",  "Back_A",  "HS_Bg",   "Clear_HS_I", "Clear_HS_A",
        "Visit_WHS_I", "Visit_WHS_A", "Help1",   "Help2",   "Help3",   "Prev_I",     "Prev_A",
        "Next_I",      "Next_A",      "Window",  "Yes",     "No",      "Cursor",
    };
    return names;
}

const std::vector<std::string>& WorldPictureNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {
            "SkyTile",      "Hills1",       "Hills2",      "Hills3",          "Player",
            "EngineFire",   "EngineFireR",  "LaserFire",   "PlasmaFire",      "LaserFireR",
            "PlasmaFireR",  "PlayerShield", "Explosion",   "PlasmaExplosion", "LaserBullet",
            "PlasmaBullet", "RailBullet",   "RailBulletR", "RailBulletBody",  "RocketBullet",
        };
        for (TMonsterKind kind : AllMonsterKinds())
            n.emplace_back(TraitsOf(kind).Picture);
        for (TGunKind kind : AllGunKinds()) {
            n.emplace_back(TraitsOf(kind).Base);
            n.emplace_back(TraitsOf(kind).Barrel);
        }
        n.insert(n.end(), {"Panels", "PanelLife", "Null"});
        for (TBonusKind kind : AllBonusKinds())
            n.emplace_back(TraitsOf(kind).Picture);
        return n;
    }();
    return names;
}

const std::vector<std::string>& SoundNames() {
    static const std::vector<std::string> names = {
        "Button", "Bonus",      "Laser",      "Laser2",   "Plasma", "Rocket",
        "Rail",   "Explosion1", "Explosion2", "GameOver", "Reborn",
    };
    return names;
}

} // namespace vantorel
