// Feeds arbitrary bytes to the replay file's reader. Whatever arrives must end in
// a replay or a refusal (EReplayFileError), never in a crash or a large
// allocation. And a replay the reader accepts is one the writer writes again, and
// what it writes reads back as the same replay: nothing read was skipped, guessed
// or dropped.
//
// An input starting with "+" is a file whose length and checksum are set right
// first (the rest of the header as given), so the fuzzer also reaches the body's
// parsing without having to find a matching CRC-32. Any other input is the file.
#include "replay/replay_checksum.hpp"
#include "replay/replay_file.hpp"

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

// Writes the file's length after a one-byte version, and its checksum at its end.
std::vector<uint8_t> Sealed(std::span<const uint8_t> file) {
    std::vector<uint8_t> out(file.begin(), file.end());
    constexpr size_t kLengthAt = sizeof(kReplayMagic) - 1 + 1;
    if (out.size() < kLengthAt + 8)
        return out;
    for (size_t i = 0; i < 4; ++i)
        out[kLengthAt + i] = static_cast<uint8_t>(out.size() >> (8 * i));
    const uint32_t crc = ReplayChecksum(std::span<const uint8_t>(out).first(out.size() - 4));
    for (size_t i = 0; i < 4; ++i)
        out[out.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
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
