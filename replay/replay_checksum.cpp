#include "replay/replay_checksum.hpp"

#include <zlib.h>

namespace vantorel {

uint32_t ReplayChecksum(std::span<const uint8_t> bytes) {
    return static_cast<uint32_t>(crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
}

} // namespace vantorel
