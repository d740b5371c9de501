#include "state/input_snapshot.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace vantorel {
namespace {

std::vector<uint8_t> Bytes(const TInputSnapshot& s) {
    std::vector<uint8_t> out;
    WriteInputSnapshot(s, out);
    return out;
}

TInputSnapshot EveryBit() {
    TInputSnapshot s;
    s.Steering = 0x0F;
    s.Pressed = (1u << kInputKeyCount) - 1;
    s.FireHeldBy = (1u << kFireControlCount) - 1;
    s.PadHeld = (1u << kPadControlCount) - 1;
    s.PadPressed = s.PadHeld;
    s.PointerMoved = true;
    return s;
}

struct RoundTripCase {
    const char* Name;
    TInputSnapshot Snapshot;
};

std::vector<RoundTripCase> RoundTripCases() {
    std::vector<RoundTripCase> cases;
    cases.push_back({"a frame without input", {}});
    cases.push_back({"every bit set", EveryBit()});
    TInputSnapshot s;
    s.SetSteers(TDirection::Left, true);
    s.SetPressed(TInputKey::Esc, true);
    s.SetHeldBy(TFireControl::Mouse, true);
    s.SetPadHeld(TPadControl::Right, true);
    cases.push_back({"a few bits", s});
    s = {};
    s.MouseDeltaX = INT32_MAX;
    s.MouseDeltaY = INT32_MIN;
    cases.push_back({"largest deltas", s});
    s.MouseDeltaX = -1;
    s.MouseDeltaY = 1;
    cases.push_back({"smallest deltas", s});
    s = {};
    s.PointerX = 799;
    s.PointerY = 599;
    s.PointerMoved = true;
    cases.push_back({"pointer at the far corner", s});
    s.PointerX = 0;
    s.PointerY = 599;
    cases.push_back({"pointer at the left edge", s});
    s.PointerX = -5;
    s.PointerY = INT32_MIN;
    s.PointerMoved = false;
    cases.push_back({"pointer out of the display, not moved", s});
    s = {};
    for (int c = 0; c < 1000; ++c)
        s.Typed.push_back(static_cast<char>(c % 256));
    s.Clicks = UINT32_MAX;
    cases.push_back({"many characters, every byte, many clicks", s});
    s = EveryBit();
    s.MouseDeltaX = -300;
    s.MouseDeltaY = 200;
    s.PointerX = 400;
    s.PointerY = 300;
    s.Typed = "Name\b\r\x1b\xe9";
    s.Clicks = 2;
    cases.push_back({"everything at once", s});
    return cases;
}

TEST(InputSnapshot, WritesAndReadsBackExactly) {
    for (const RoundTripCase& c : RoundTripCases()) {
        const std::vector<uint8_t> bytes = Bytes(c.Snapshot);
        size_t pos = 0;
        EXPECT_EQ(ReadInputSnapshot(bytes, pos), c.Snapshot) << c.Name;
        EXPECT_EQ(pos, bytes.size()) << c.Name;
    }
}

TEST(InputSnapshot, SnapshotsFollowOneAnotherInAStream) {
    std::vector<uint8_t> stream;
    const std::vector<RoundTripCase> cases = RoundTripCases();
    for (const RoundTripCase& c : cases)
        WriteInputSnapshot(c.Snapshot, stream);
    size_t pos = 0;
    for (const RoundTripCase& c : cases)
        EXPECT_EQ(ReadInputSnapshot(stream, pos), c.Snapshot) << c.Name;
    EXPECT_EQ(pos, stream.size());
}

// A replay holds one snapshot a frame: the common frames must stay small.
TEST(InputSnapshot, CommonFramesAreSmall) {
    EXPECT_EQ(Bytes({}).size(), 2u);
    TInputSnapshot steering;
    steering.SetSteers(TDirection::Up, true);
    steering.SetHeldBy(TFireControl::Space, true);
    EXPECT_EQ(Bytes(steering).size(), 3u);
    TInputSnapshot mouse = steering;
    mouse.MouseDeltaX = 12;
    mouse.MouseDeltaY = -7;
    mouse.PointerX = 400;
    mouse.PointerY = 300;
    mouse.PointerMoved = true;
    EXPECT_LE(Bytes(mouse).size(), 9u);
    EXPECT_EQ(Bytes(EveryBit()).size(), 7u);
}

TEST(InputSnapshot, EveryCutShortSnapshotIsRefused) {
    for (const RoundTripCase& c : RoundTripCases()) {
        const std::vector<uint8_t> bytes = Bytes(c.Snapshot);
        for (size_t n = 0; n < bytes.size(); ++n) {
            const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
            size_t pos = 0;
            EXPECT_THROW(ReadInputSnapshot(cut, pos), EInputSnapshotError)
                << c.Name << ", cut to " << n << " bytes";
            EXPECT_EQ(pos, 0u) << c.Name;
        }
    }
}

TEST(InputSnapshot, MalformedBytesAreRefusedWithTheReason) {
    struct Case {
        const char* Name;
        std::vector<uint8_t> Bytes;
        const char* Reason;
    };
    const Case cases[] = {
        {"nothing", {}, "end in the middle"},
        {"an unknown version", {2, 0}, "version 2"},
        {"version 0", {0, 0}, "version 0"},
        {"an unknown pressed key", {1, 0x02, 0x80, 0x08}, "pressed key"},
        {"an unknown pad control", {1, 0x04, 0x80, 0x00}, "pad control"},
        {"a pressed pad control unknown", {1, 0x04, 0x00, 0x80}, "pad control"},
        {"a varint of six bytes", {1, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, "32 bits"},
        {"a varint past 32 bits", {1, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x10}, "32 bits"},
        {"more characters than bytes", {1, 0x40, 0x05, 'a', 'b'}, "5 typed characters"},
        {"a huge character count", {1, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}, "typed characters"},
        {"deltas cut after x", {1, 0x08, 0x02}, "end in the middle"},
    };
    for (const Case& c : cases) {
        size_t pos = 0;
        try {
            ReadInputSnapshot(c.Bytes, pos);
            ADD_FAILURE() << c.Name << ": read";
        } catch (const EInputSnapshotError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Reason), std::string::npos)
                << c.Name << ": " << e.what();
        }
        EXPECT_EQ(pos, 0u) << c.Name;
    }
}

// The reader starts where it is told and never looks before or past its span.
TEST(InputSnapshot, ReadsOnlyItsSpan) {
    TInputSnapshot s;
    s.Typed = "abc";
    std::vector<uint8_t> bytes = {0xEE};
    WriteInputSnapshot(s, bytes);
    bytes.push_back(0xEE);
    size_t pos = 1;
    EXPECT_EQ(ReadInputSnapshot(bytes, pos), s);
    EXPECT_EQ(pos, bytes.size() - 1);
    const std::span<const uint8_t> shorter(bytes.data(), bytes.size() - 2);
    pos = 1;
    EXPECT_THROW(ReadInputSnapshot(shorter, pos), EInputSnapshotError);
}

} // namespace
} // namespace vantorel
