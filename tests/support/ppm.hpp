// Expected pictures of the library fixtures, stored as binary PPM (P6) files by
// the fixture script.
#pragma once

#include "engine/dib.hpp"

#include <string>

namespace vantorel::test_support {

/// Reads a P6 file with 8-bit channels into a picture of 0x00RRGGBB pixels.
TPicture ReadPpm(const std::string& path);

} // namespace vantorel::test_support
