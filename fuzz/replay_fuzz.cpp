// Feeds arbitrary bytes to the replay file's reader. Whatever arrives must end in
// a replay or a refusal (EReplayFileError), never in a crash or a large
// allocation. And a replay the reader accepts is one the writer writes again, and
// what it writes reads back as the same replay: nothing read was skipped, guessed
// or dropped.
//
// An input starting with "+" is the body of a file, which is compressed and given
// the header, length and checksum of a right file, so that the fuzzer reaches the
// body's parsing without having to find a zlib stream and a matching CRC-32. Any
// other input is the file.
#include "replay/replay_checksum.hpp"
#include "replay/replay_file.hpp"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

using namespace vantorel;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "replay file property broken: %s\n", what);
    std::abort();
}

// The file around body: magic, version, length, the body's size and the body
// compressed, and the checksum.
std::vector<uint8_t> Sealed(std::span<const uint8_t> body) {
    std::vector<uint8_t> out(kReplayMagic, kReplayMagic + sizeof(kReplayMagic) - 1);
    out.push_back(static_cast<uint8_t>(kReplayFormatVersion));
    const size_t lengthAt = out.size();
    out.resize(out.size() + 4);
    for (uint32_t v = static_cast<uint32_t>(body.size());; v >>= 7) {
        out.push_back(static_cast<uint8_t>(v >= 0x80 ? (v & 0x7F) | 0x80 : v));
        if (v < 0x80)
            break;
    }
    uLongf packed = compressBound(body.size());
    const size_t packedAt = out.size();
    out.resize(packedAt + packed);
    if (compress(out.data() + packedAt, &packed, body.data(), body.size()) != Z_OK)
        return {};
    out.resize(packedAt + packed);
    const size_t length = out.size() + 4;
    for (size_t i = 0; i < 4; ++i)
        out[lengthAt + i] = static_cast<uint8_t>(length >> (8 * i));
    const uint32_t crc = ReplayChecksum(out);
    for (size_t i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    const std::vector<uint8_t> file = !input.empty() && input.front() == '+'
                                          ? Sealed(input.subspan(1))
                                          : std::vector<uint8_t>(input.begin(), input.end());
    TReplay replay;
    try {
        replay = DecodeReplay(file);
    } catch (const EReplayFileError&) {
        return 0;
    }
    std::vector<uint8_t> again;
    try {
        again = EncodeReplay(replay);
    } catch (const EReplayFileError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Fail("the writer refuses a replay the reader accepted");
    }
    try {
        if (DecodeReplay(again) != replay)
            Fail("the written replay reads back as another");
    } catch (const EReplayFileError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        Fail("the reader refuses what the writer wrote");
    }
    return 0;
}
