// Every picture and sound the game looks up by name, so that start-up can tell a
// player which ones a data file lacks before the first frame, instead of failing
// in the middle of a game.
#pragma once

#include <string>
#include <vector>

namespace vantorel {

class TDXImageList;
class TDXWaveList;
class TGamePaths;

/// The names of menu pictures (Res1.dxg), world pictures (Res2.dxg) and sounds
/// (Sounds.dxw) that the game looks up: the catalogue of objects/data_catalogue.
const std::vector<std::string>& RequiredMenuPictures();
const std::vector<std::string>& RequiredWorldPictures();
const std::vector<std::string>& RequiredSounds();

/// The text for the player naming every required picture or sound the loaded
/// libraries lack, with its file among paths; empty when nothing is missing.
std::string MissingDataNames(const TGamePaths& paths, TDXImageList& menuPictures,
                             TDXImageList& worldPictures, TDXWaveList& sounds);

} // namespace vantorel
