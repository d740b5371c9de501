#include "state/input_snapshot.hpp"

namespace vantorel {

namespace {

// The parts byte: which parts follow the version, in this order.
enum TPart : uint8_t {
    kHeldPart = 1u << 0,    ///< one byte: steering (low nibble), fire controls (high)
    kPressedPart = 1u << 1, ///< varint: TInputKey bits
    kPadPart = 1u << 2,     ///< two bytes: pad held, pad pressed
    kDeltaPart = 1u << 3,   ///< two zigzag varints: mouse delta x, y
    kPointerPart = 1u << 4, ///< two zigzag varints: pointer x, y
    kMovedPart = 1u << 5,   ///< no bytes: the pointer moved
    kTypedPart = 1u << 6,   ///< varint count, then the characters
    kClicksPart = 1u << 7,  ///< varint: clicks
};

constexpr uint32_t kPressedMask = (1u << kInputKeyCount) - 1;
constexpr uint32_t kPadMask = (1u << kPadControlCount) - 1;

void PutVarint(uint32_t v, std::vector<uint8_t>& out) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}

uint32_t ZigZag(int32_t v) {
    return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31);
}

int32_t UnZigZag(uint32_t v) {
    return static_cast<int32_t>((v >> 1) ^ (~(v & 1) + 1));
}

/// Reads forward through the span, refusing to go past its end.
class TReader {
public:
    TReader(std::span<const uint8_t> bytes, size_t pos) : bytes_(bytes), pos_(pos) {}

    size_t Pos() const { return pos_; }

    uint8_t Byte() {
        if (pos_ >= bytes_.size())
            throw EInputSnapshotError("input snapshot: the bytes end in the middle of a snapshot");
        return bytes_[pos_++];
    }

    uint32_t Varint() {
        uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            const uint8_t b = Byte();
            if (shift == 28 && (b & 0xF0) != 0)
                throw EInputSnapshotError("input snapshot: a number is larger than 32 bits");
            v |= static_cast<uint32_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0)
                return v;
        }
        return v; // not reached: the fifth byte always ends the number or throws
    }

    std::string Text(uint32_t count) {
        if (count > bytes_.size() - pos_)
            throw EInputSnapshotError("input snapshot: " + std::to_string(count) +
                                      " typed characters, but only " +
                                      std::to_string(bytes_.size() - pos_) + " bytes are left");
        std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), count);
        pos_ += count;
        return s;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_;
};

} // namespace

void WriteInputSnapshot(const TInputSnapshot& s, std::vector<uint8_t>& out) {
    uint8_t parts = 0;
    if (s.Steering != 0 || s.FireHeldBy != 0)
        parts |= kHeldPart;
    if (s.Pressed != 0)
        parts |= kPressedPart;
    if (s.PadHeld != 0 || s.PadPressed != 0)
        parts |= kPadPart;
    if (s.MouseDeltaX != 0 || s.MouseDeltaY != 0)
        parts |= kDeltaPart;
    if (s.PointerX != 0 || s.PointerY != 0)
        parts |= kPointerPart;
    if (s.PointerMoved)
        parts |= kMovedPart;
    if (!s.Typed.empty())
        parts |= kTypedPart;
    if (s.Clicks != 0)
        parts |= kClicksPart;

    out.push_back(kInputSnapshotVersion);
    out.push_back(parts);
    if (parts & kHeldPart)
        out.push_back(static_cast<uint8_t>((s.Steering & 0x0F) | (s.FireHeldBy << 4)));
    if (parts & kPressedPart)
        PutVarint(s.Pressed, out);
    if (parts & kPadPart) {
        out.push_back(s.PadHeld);
        out.push_back(s.PadPressed);
    }
    if (parts & kDeltaPart) {
        PutVarint(ZigZag(s.MouseDeltaX), out);
        PutVarint(ZigZag(s.MouseDeltaY), out);
    }
    if (parts & kPointerPart) {
        PutVarint(ZigZag(s.PointerX), out);
        PutVarint(ZigZag(s.PointerY), out);
    }
    if (parts & kTypedPart) {
        PutVarint(static_cast<uint32_t>(s.Typed.size()), out);
        out.insert(out.end(), s.Typed.begin(), s.Typed.end());
    }
    if (parts & kClicksPart)
        PutVarint(s.Clicks, out);
}

TInputSnapshot ReadInputSnapshot(std::span<const uint8_t> bytes, size_t& pos) {
    TReader r(bytes, pos);
    const uint8_t version = r.Byte();
    if (version != kInputSnapshotVersion)
        throw EInputSnapshotError("input snapshot: version " + std::to_string(version) +
                                  " is not one this game reads (it reads version " +
                                  std::to_string(kInputSnapshotVersion) + ")");
    const uint8_t parts = r.Byte();

    TInputSnapshot s;
    if (parts & kHeldPart) {
        const uint8_t held = r.Byte();
        s.Steering = held & 0x0F;
        s.FireHeldBy = static_cast<uint8_t>(held >> 4);
    }
    if (parts & kPressedPart) {
        const uint32_t pressed = r.Varint();
        if ((pressed & ~kPressedMask) != 0)
            throw EInputSnapshotError("input snapshot: a pressed key the game does not know");
        s.Pressed = static_cast<uint16_t>(pressed);
    }
    if (parts & kPadPart) {
        s.PadHeld = r.Byte();
        s.PadPressed = r.Byte();
        if (((s.PadHeld | s.PadPressed) & ~kPadMask) != 0)
            throw EInputSnapshotError("input snapshot: a pad control the game does not know");
    }
    if (parts & kDeltaPart) {
        s.MouseDeltaX = UnZigZag(r.Varint());
        s.MouseDeltaY = UnZigZag(r.Varint());
    }
    if (parts & kPointerPart) {
        s.PointerX = UnZigZag(r.Varint());
        s.PointerY = UnZigZag(r.Varint());
    }
    s.PointerMoved = (parts & kMovedPart) != 0;
    if (parts & kTypedPart)
        s.Typed = r.Text(r.Varint());
    if (parts & kClicksPart)
        s.Clicks = r.Varint();
    pos = r.Pos();
    return s;
}

} // namespace vantorel
