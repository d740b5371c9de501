#include "support/byte_blobs.hpp"

#include <fstream>
#include <iterator>

namespace vantorel::test_support {

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes U16(uint32_t v) {
    Bytes b;
    Put16(b, v);
    return b;
}

Bytes U32(uint32_t v) {
    Bytes b;
    Put32(b, v);
    return b;
}

Bytes Str(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

Bytes Chunk(std::string_view id, const Bytes& body) {
    return Str(id) + U32(static_cast<uint32_t>(body.size())) + body;
}

Bytes Riff(const Bytes& chunks) {
    return Str("RIFF") + U32(static_cast<uint32_t>(chunks.size() + 4)) + Str("WAVE") + chunks;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes ReadWholeFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace vantorel::test_support
