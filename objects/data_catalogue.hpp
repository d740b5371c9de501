// The catalogue of every picture and sound the game looks up by name: the menu
// library (Res1.dxg), the world library (Res2.dxg) and the sound library
// (Sounds.dxw). The kinds' pictures come from their trait tables
// (objects/object_kinds), so a new kind is checked at start-up without a second
// list to keep.
#pragma once

#include <string>
#include <vector>

namespace vantorel {

const std::vector<std::string>& MenuPictureNames();
const std::vector<std::string>& WorldPictureNames();
const std::vector<std::string>& SoundNames();

} // namespace vantorel
