// Byte blobs for the tests of the file readers: little-endian numbers, text and RIFF
// chunks put together with +, and whole files read and written as they are.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::test_support {

using Bytes = std::vector<uint8_t>;

/// a followed by b.
Bytes operator+(Bytes a, const Bytes& b);

/// The low 16 or 32 bits of v, least significant byte first.
Bytes U16(uint32_t v);
Bytes U32(uint32_t v);
void Put16(Bytes& b, uint32_t v);
void Put32(Bytes& b, uint32_t v);

/// The characters of s, without a length or a terminator.
Bytes Str(std::string_view s);

/// A RIFF chunk: its four-letter id, the body's length and the body.
Bytes Chunk(std::string_view id, const Bytes& body);
/// A RIFF WAVE file around the given chunks.
Bytes Riff(const Bytes& chunks);

/// The whole file at path, byte for byte; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);
Bytes ReadWholeFileBytes(const std::filesystem::path& path);
/// Writes bytes as the whole file at path, making its folders first.
void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace vantorel::test_support
