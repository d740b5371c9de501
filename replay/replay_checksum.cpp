#include "replay/replay_checksum.hpp"

#include <array>

namespace vantorel {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

} // namespace

uint32_t ReplayChecksum(std::span<const uint8_t> bytes) {
    static constexpr std::array<uint32_t, 256> kTable = MakeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (uint8_t b : bytes)
        c = kTable[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

} // namespace vantorel
