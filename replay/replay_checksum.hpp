#pragma once

#include <cstdint>
#include <span>

namespace vantorel {

/// The replay file's checksum: CRC-32 (the one of zip and PNG), which catches
/// every change of up to 32 bits in a row.
uint32_t ReplayChecksum(std::span<const uint8_t> bytes);

} // namespace vantorel
