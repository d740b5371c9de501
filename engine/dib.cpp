#include "engine/dib.hpp"

#include "base/errors.hpp"
#include "engine/library_stream.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantorel {

namespace {

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(kDibIsInvalid);
}

uint16_t U16(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}
uint32_t U32(std::span<const uint8_t> d, size_t at) {
    return uint32_t{d[at]} | uint32_t{d[at + 1]} << 8 | uint32_t{d[at + 2]} << 16 |
           uint32_t{d[at + 3]} << 24;
}

// One channel of a bit-field pixel, scaled to 0..255.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannel(uint32_t mask) : Mask(mask) {
        if (mask == 0)
            return;
        Shift = std::countr_zero(mask);
        Bits = std::countr_one(mask >> Shift);
    }
    uint32_t Get(uint32_t px) const {
        if (Bits == 0)
            return 0;
        const uint32_t v = (px & Mask) >> Shift & ((Bits >= 32 ? 0 : (1u << Bits)) - 1u);
        if (Bits >= 8)
            return v >> (Bits - 8);
        // Narrower channels repeat their bits downwards, so full scale stays 255.
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += Bits) {
            const int s = 8 - filled - Bits;
            out |= s >= 0 ? v << s : v >> -s;
        }
        return out;
    }
};

struct THeader {
    int32_t Width = 0;
    int32_t Height = 0; // absolute
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = 0;
    uint32_t ColorsUsed = 0;
    bool Core = false;
};

class TDibDecoder {
public:
    TDibDecoder(std::span<const uint8_t> dib, size_t pixelOffset)
        : d_(dib), pixelOffset_(pixelOffset) {}

    TPicture Decode() {
        ReadHeader();
        TPicture pic;
        if (h_.Width == 0 || h_.Height == 0)
            return pic;
        pic.Width = h_.Width;
        pic.Height = h_.Height;
        pic.Pixels.assign(static_cast<size_t>(h_.Width) * static_cast<size_t>(h_.Height),
                          palette_.empty() ? 0 : palette_[0]);
        if (h_.Compression == 1 || h_.Compression == 2)
            DecodeRle(pic);
        else
            DecodeRows(pic);
        return pic;
    }

private:
    void Need(size_t at, size_t n) const {
        if (at > d_.size() || n > d_.size() - at)
            Invalid();
    }

    void ReadHeader() {
        Need(0, 4);
        const uint32_t size = U32(d_, 0);
        size_t pos = 0;
        if (size == 40) {
            Need(0, 40);
            const auto w = static_cast<int32_t>(U32(d_, 4));
            const auto hgt = static_cast<int32_t>(U32(d_, 8));
            if (w < 0)
                Invalid();
            h_.Width = w;
            h_.TopDown = hgt < 0;
            const int64_t absH = hgt < 0 ? -int64_t{hgt} : int64_t{hgt};
            if (absH > kMaxDibSide)
                Invalid();
            h_.Height = static_cast<int32_t>(absH);
            h_.BitCount = U16(d_, 14);
            h_.Compression = U32(d_, 16);
            h_.ColorsUsed = U32(d_, 32);
            pos = 40;
        } else if (size == 12) {
            Need(0, 12);
            h_.Core = true;
            h_.Width = U16(d_, 4);
            h_.Height = U16(d_, 6);
            h_.BitCount = U16(d_, 10);
            pos = 12;
        } else {
            Invalid();
        }
        if (h_.Width > kMaxDibSide || int64_t{h_.Width} * h_.Height > kMaxDibPixels)
            Invalid();

        const int bpp = h_.BitCount;
        switch (h_.Compression) {
        case 0:
            if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
                Invalid();
            if (h_.Core && (bpp == 16 || bpp == 32))
                Invalid();
            break;
        case 1:
            if (bpp != 8 || h_.TopDown)
                Invalid();
            break;
        case 2:
            if (bpp != 4 || h_.TopDown)
                Invalid();
            break;
        case 3:
            if (bpp != 16 && bpp != 32)
                Invalid();
            break;
        default:
            Invalid();
        }

        if (h_.Compression == 3) {
            Need(pos, 12);
            red_ = TChannel(U32(d_, pos));
            green_ = TChannel(U32(d_, pos + 4));
            blue_ = TChannel(U32(d_, pos + 8));
            pos += 12;
        } else if (bpp == 16) {
            red_ = TChannel(0x7C00);
            green_ = TChannel(0x03E0);
            blue_ = TChannel(0x001F);
        } else if (bpp == 32) {
            red_ = TChannel(0xFF0000);
            green_ = TChannel(0x00FF00);
            blue_ = TChannel(0x0000FF);
        }

        size_t entries = 0;
        if (bpp <= 8)
            entries = h_.ColorsUsed != 0 ? std::min<size_t>(h_.ColorsUsed, size_t{1} << bpp)
                                         : size_t{1} << bpp;
        else
            entries = std::min<size_t>(h_.ColorsUsed, 256);
        const size_t entrySize = h_.Core ? 3 : 4;
        Need(pos, entries * entrySize);
        if (bpp <= 8) {
            palette_.resize(entries);
            for (size_t i = 0; i < entries; ++i) {
                const size_t at = pos + i * entrySize;
                palette_[i] = TPixel{d_[at + 2]} << 16 | TPixel{d_[at + 1]} << 8 | d_[at];
            }
        }
        pos += entries * entrySize;
        // A bitmap file may place its rows further on; a DIB's rows follow the table.
        bits_ = pixelOffset_ >= pos && pixelOffset_ <= d_.size() ? pixelOffset_ : pos;
    }

    TPixel PaletteColor(uint32_t index) const {
        return index < palette_.size() ? palette_[index] : 0;
    }

    void DecodeRows(TPicture& pic) {
        const int bpp = h_.BitCount;
        const uint64_t rowBits = uint64_t(h_.Width) * uint64_t(bpp);
        const uint64_t stride = (rowBits + 31) / 32 * 4;
        // The last row may lack its padding; everything else must be there.
        const uint64_t need = stride * uint64_t(h_.Height - 1) + (rowBits + 7) / 8;
        if (bits_ > d_.size() || need > d_.size() - bits_)
            Invalid();
        for (int32_t row = 0; row < h_.Height; ++row) {
            const uint8_t* src = d_.data() + bits_ + stride * uint64_t(row);
            const int32_t y = h_.TopDown ? row : h_.Height - 1 - row;
            TPixel* out = pic.Pixels.data() + size_t(y) * size_t(h_.Width);
            for (int32_t x = 0; x < h_.Width; ++x) {
                switch (bpp) {
                case 1:
                    out[x] = PaletteColor((src[x >> 3] >> (7 - (x & 7))) & 1u);
                    break;
                case 4:
                    out[x] = PaletteColor((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
                    break;
                case 8:
                    out[x] = PaletteColor(src[x]);
                    break;
                case 16: {
                    const uint32_t px = uint32_t(src[2 * x]) | uint32_t(src[2 * x + 1]) << 8;
                    out[x] = red_.Get(px) << 16 | green_.Get(px) << 8 | blue_.Get(px);
                    break;
                }
                case 24: {
                    const uint8_t* p = src + 3 * x;
                    out[x] = TPixel{p[2]} << 16 | TPixel{p[1]} << 8 | p[0];
                    break;
                }
                case 32: {
                    const uint8_t* p = src + 4 * x;
                    const uint32_t px = uint32_t{p[0]} | uint32_t{p[1]} << 8 |
                                        uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
                    out[x] = red_.Get(px) << 16 | green_.Get(px) << 8 | blue_.Get(px);
                    break;
                }
                }
            }
        }
    }

    // Run-length rows, bottom-up. Runs that would pass the right edge are cut
    // there and moves below the last row end the picture; pixels the runs skip
    // keep colour 0 of the table. Data that stops in the middle of a command is
    // invalid; data that stops between commands ends the picture.
    void DecodeRle(TPicture& pic) {
        const bool four = h_.Compression == 2;
        size_t p = bits_;
        int64_t x = 0;
        int64_t row = 0; // from the bottom
        auto put = [&](uint32_t index) {
            if (x < h_.Width && row < h_.Height)
                pic.Pixels[size_t(h_.Height - 1 - row) * size_t(h_.Width) + size_t(x)] =
                    PaletteColor(index);
            ++x;
        };
        while (p < d_.size() && row < h_.Height) {
            Need(p, 2);
            const uint8_t count = d_[p];
            const uint8_t value = d_[p + 1];
            p += 2;
            if (count > 0) {
                for (int i = 0; i < count && x < h_.Width; ++i)
                    put(four ? ((i & 1) ? value & 0xFu : value >> 4) : value);
                continue;
            }
            switch (value) {
            case 0:
                x = 0;
                ++row;
                break;
            case 1:
                return;
            case 2:
                Need(p, 2);
                x += d_[p];
                row += d_[p + 1];
                p += 2;
                break;
            default: {
                const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
                const size_t padded = (bytes + 1) & ~size_t{1};
                Need(p, bytes);
                for (int i = 0; i < value && x < h_.Width; ++i) {
                    const uint8_t b = d_[p + (four ? size_t(i) / 2 : size_t(i))];
                    put(four ? ((i & 1) ? b & 0xFu : b >> 4) : b);
                }
                p += std::min(padded, d_.size() - p);
                break;
            }
            }
        }
    }

    std::span<const uint8_t> d_;
    size_t pixelOffset_;
    THeader h_;
    std::vector<TPixel> palette_;
    TChannel red_{0}, green_{0}, blue_{0};
    size_t bits_ = 0;
};

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

TPicture DecodeDib(std::span<const uint8_t> dib) {
    return TDibDecoder(dib, 0).Decode();
}

TPicture DecodeBitmapFile(std::span<const uint8_t> file) {
    if (file.size() < 14 || file[0] != 'B' || file[1] != 'M')
        Invalid();
    const uint32_t offBits = U32(file, 10);
    const size_t offset = offBits >= 14 ? offBits - 14 : 0;
    return TDibDecoder(file.subspan(14), offset).Decode();
}

std::vector<uint8_t> EncodeDib24(const TPicture& picture) {
    const auto w = static_cast<uint32_t>(std::max(picture.Width, 0));
    const auto h = static_cast<uint32_t>(std::max(picture.Height, 0));
    const uint32_t stride = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out;
    out.reserve(40 + size_t(stride) * h);
    PutU32(out, 40);
    PutU32(out, w);
    PutU32(out, h);
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, 0);
    PutU32(out, stride * h);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    for (uint32_t row = h; row-- > 0;) {
        const size_t start = out.size();
        for (uint32_t x = 0; x < w; ++x) {
            const TPixel px = picture.Pixels[size_t(row) * w + x];
            out.push_back(static_cast<uint8_t>(px));
            out.push_back(static_cast<uint8_t>(px >> 8));
            out.push_back(static_cast<uint8_t>(px >> 16));
        }
        out.resize(start + stride, 0);
    }
    return out;
}

TPicture ReadPictureData(std::span<const uint8_t> data) {
    if (data.empty())
        return {};
    const size_t nameLen = data[0];
    if (nameLen + 1 > data.size())
        throw EFilerError(kInvalidStreamFormat);
    const std::string className(data.begin() + 1,
                                data.begin() + 1 + static_cast<std::ptrdiff_t>(nameLen));
    const auto rest = data.subspan(1 + nameLen);
    if (className == "TDIB")
        return DecodeDib(rest);
    if (className == "TBitmap") {
        if (rest.size() < 4)
            throw EFilerError(kInvalidStreamFormat);
        const uint32_t len = U32(rest, 0);
        if (len > rest.size() - 4)
            throw EFilerError(kInvalidStreamFormat);
        if (len == 0)
            return {};
        return DecodeBitmapFile(rest.subspan(4, len));
    }
    return {};
}

std::vector<uint8_t> WritePictureData(const TPicture& picture) {
    std::vector<uint8_t> out{4, 'T', 'D', 'I', 'B'};
    const auto dib = EncodeDib24(picture);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

} // namespace vantorel
