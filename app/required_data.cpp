#include "app/required_data.hpp"

#include "engine/dx_wave_list.hpp"
#include "engine/image_library.hpp"
#include "objects/data_catalogue.hpp"
#include "storage/game_paths.hpp"

#include <filesystem>

namespace vantorel {

const std::vector<std::string>& RequiredMenuPictures() {
    return MenuPictureNames();
}

const std::vector<std::string>& RequiredWorldPictures() {
    return WorldPictureNames();
}

const std::vector<std::string>& RequiredSounds() {
    return SoundNames();
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
