// Whole-file reads of the save files as raw bytes, telling a file that is not
// there from one that is there but cannot be read: only the first may be
// replaced by defaults.
#pragma once

#include <filesystem>
#include <string>

namespace vantorel {

enum class TFileReadStatus {
    Read,       ///< Bytes holds the whole file.
    Missing,    ///< No file at the path: defaults apply and the file may be written.
    Unreadable, ///< Something is there but could not be read: it must not be overwritten.
};

struct TFileBytes {
    TFileReadStatus Status = TFileReadStatus::Missing;
    std::string Bytes;
};

/// Reads the whole file at path. Larger than maxBytes counts as unreadable: the
/// save files are a few hundred bytes, and a huge file there is not ours.
TFileBytes ReadFileBytes(const std::filesystem::path& path, size_t maxBytes = 1 << 20);

/// Writes bytes to path + ".bad" (through a temporary file and a rename), so a
/// save file that is about to be replaced by defaults is kept for the player.
/// False when the copy could not be written.
bool KeepAsideAsBad(const std::filesystem::path& path, const std::string& bytes);

} // namespace vantorel
