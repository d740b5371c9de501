#include "app/required_data.hpp"

#include "engine/dx_wave_list.hpp"
#include "engine/image_library.hpp"
#include "storage/game_paths.hpp"

#include <filesystem>

namespace vantorel {

const std::vector<std::string>& RequiredMenuPictures() {
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

const std::vector<std::string>& RequiredWorldPictures() {
    static const std::vector<std::string> names = {
        "SkyTile",
        "Hills1",
        "Hills2",
        "Hills3",
        "Player",
        "EngineFire",
        "EngineFireR",
        "LaserFire",
        "PlasmaFire",
        "LaserFireR",
        "PlasmaFireR",
        "PlayerShield",
        "Explosion",
        "PlasmaExplosion",
        "LaserBullet",
        "PlasmaBullet",
        "RailBullet",
        "RailBulletR",
        "RailBulletBody",
        "RocketBullet",
        "CosmoStorm",
        "UFO",
        "Rocketer",
        "Truck",
        "Destroyer",
        "Mega",
        "GroundGunBase",
        "GroundGunTrunk",
        "GroundRocketBase",
        "GroundRocketTrunk",
        "Panels",
        "PanelLife",
        "Null",
        "BonusLaserGun",
        "BonusPlasmaGun",
        "BonusRocketGun",
        "BonusRailGun",
        "BonusShield",
        "BonusMegaBomb",
        "BonusLife",
        "BonusLaserGun_2x",
        "BonusPlasmaGun_3x",
        "BonusRocketGun_2x",
    };
    return names;
}

const std::vector<std::string>& RequiredSounds() {
    static const std::vector<std::string> names = {
        "Button", "Bonus",      "Laser",      "Laser2",   "Plasma", "Rocket",
        "Rail",   "Explosion1", "Explosion2", "GameOver", "Reborn",
    };
    return names;
}

namespace {

template <typename Collection>
void AddMissing(const Collection& items, const std::vector<std::string>& names,
                const std::filesystem::path& file, std::string& text) {
    std::string missing;
    for (const std::string& name : names)
        if (items.FindItem(name) == nullptr)
            missing.append(missing.empty() ? "" : ", ").append(name);
    if (missing.empty())
        return;
    text.append(text.empty() ? "" : "\n").append("\"").append(file.string());
    text.append("\" lacks: ").append(missing);
}

} // namespace

std::string MissingDataNames(const TGamePaths& paths, TDXImageList& menuPictures,
                             TDXImageList& worldPictures, TDXWaveList& sounds) {
    std::string text;
    AddMissing(menuPictures.Items, RequiredMenuPictures(), paths.MenuPictures(), text);
    AddMissing(worldPictures.Items, RequiredWorldPictures(), paths.WorldPictures(), text);
    AddMissing(sounds.Items(), RequiredSounds(), paths.Sounds(), text);
    return text.empty() ? text : "The game's data is incomplete.\n" + text;
}

} // namespace vantorel
