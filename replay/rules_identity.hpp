// Which rules a replay was played under: the version of the rule code, raised
// whenever a change could play the same input differently, and a hash of the
// data files the rules read (the world's pictures give the sprites their sizes).
// A replay plays again only under the same pair.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace vantorel {

/// The version of the game's rules. Raise it with every change to what a frame
/// of play does (movement, spawning, collisions, scoring, timing).
constexpr uint32_t kRulesVersion = 1;

/// The hash of a data file's bytes (XXH3, 64 bits).
uint64_t RulesDataHash(std::span<const uint8_t> bytes);

/// The hash of the file at path; throws EReplayFileError when it cannot be read.
uint64_t RulesDataFileHash(const std::filesystem::path& path);

} // namespace vantorel
