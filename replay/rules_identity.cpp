#include "replay/rules_identity.hpp"

#include "replay/replay_file_error.hpp"
#include "storage/file_bytes.hpp"

#include <xxhash.h>

namespace vantorel {

uint64_t RulesDataHash(std::span<const uint8_t> bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

uint64_t RulesDataFileHash(const std::filesystem::path& path) {
    // The game's data files are a few MB; a larger file there is not ours.
    const TFileBytes file = ReadFileBytes(path, size_t{256} << 20);
    if (file.Status != TFileReadStatus::Read)
        throw EReplayFileError("cannot read the data file \"" + path.string() + "\"");
    return RulesDataHash({reinterpret_cast<const uint8_t*>(file.Bytes.data()), file.Bytes.size()});
}

} // namespace vantorel
