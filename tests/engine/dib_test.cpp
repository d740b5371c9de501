#include "engine/dib.hpp"

#include "base/errors.hpp"
#include "engine/image_library.hpp"
#include "engine/library_stream.hpp"
#include "support/byte_blobs.hpp"
#include "support/ppm.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using test_support::ReadPpm;

using test_support::Bytes;
using test_support::Put16;
using test_support::Put32;
using test_support::operator+;

// A 40-byte header followed by whatever the case appends.
Bytes Header(int32_t w, int32_t h, uint16_t bpp, uint32_t compression = 0, uint32_t used = 0) {
    Bytes b;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, compression);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, used);
    Put32(b, 0);
    return b;
}

// Palette entry i is 0x00i0i0i0-ish: distinct and easy to read in failures.
TPixel Entry(uint32_t i) {
    return (i * 0x10 + 1) << 16 | (i * 0x10 + 2) << 8 | (i * 0x10 + 3);
}
void PutPalette(Bytes& b, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
        Put32(b, Entry(i));
}

void ExpectInvalid(const Bytes& dib, const char* what) {
    try {
        DecodeDib(dib);
        ADD_FAILURE() << what << ": decoded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "DIB is invalid") << what;
    }
}

// Rows of palette indices, top row first, for comparing RLE results.
std::vector<std::vector<int>> Indices(const TPicture& pic) {
    std::vector<std::vector<int>> rows(static_cast<size_t>(pic.Height));
    for (int32_t y = 0; y < pic.Height; ++y) {
        for (int32_t x = 0; x < pic.Width; ++x) {
            const TPixel px = pic.At(x, y);
            int found = -1;
            for (int i = 0; i < 256; ++i)
                if (Entry(static_cast<uint32_t>(i)) == px)
                    found = i;
            rows[static_cast<size_t>(y)].push_back(found);
        }
    }
    return rows;
}

TEST(Dib, EncodedPictureDecodesToTheSamePixels) {
    for (int32_t w : {1, 2, 3, 4, 5, 7}) {
        TPicture pic;
        pic.Width = w;
        pic.Height = 3;
        for (int32_t i = 0; i < w * 3; ++i)
            pic.Pixels.push_back(static_cast<TPixel>(i * 0x010305 + 0x102030));
        const Bytes dib = EncodeDib24(pic);
        EXPECT_EQ(dib.size(), 40 + 3 * static_cast<size_t>((w * 3 + 3) / 4 * 4))
            << "rows padded to 4 bytes";
        const TPicture back = DecodeDib(dib);
        EXPECT_EQ(back.Width, w);
        EXPECT_EQ(back.Height, 3);
        EXPECT_EQ(back.Pixels, pic.Pixels) << "width " << w;
    }
}

TEST(Dib, ZeroSizeGivesAnEmptyPicture) {
    EXPECT_TRUE(DecodeDib(Header(0, 5, 24)).IsEmpty());
    EXPECT_TRUE(DecodeDib(Header(5, 0, 24)).IsEmpty());
}

TEST(Dib, BadOrHostileHeadersAreInvalid) {
    Bytes v4 = Header(1, 1, 24);
    v4[0] = 108;
    Bytes core2 = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 16, 0}; // core header cannot hold 16 bits
    struct Case {
        const char* What;
        Bytes Dib;
    };
    const Case cases[] = {
        {"no header", {}},
        {"header cut short", Bytes(20, 0)},
        {"version 4 header size", v4 + Bytes(4, 0)},
        {"bit count 2", Header(1, 1, 2) + Bytes(16, 0)},
        {"bit count 0", Header(1, 1, 0) + Bytes(16, 0)},
        {"compression 4 (JPEG)", Header(1, 1, 24, 4) + Bytes(4, 0)},
        {"compression 5 (PNG)", Header(1, 1, 24, 5) + Bytes(4, 0)},
        {"RLE8 at 4 bits", Header(1, 1, 4, 1) + Bytes(64 + 4, 0)},
        {"RLE4 at 8 bits", Header(1, 1, 8, 2) + Bytes(1024 + 4, 0)},
        {"bit fields at 24 bits", Header(1, 1, 24, 3) + Bytes(16, 0)},
        {"RLE stored top-down", Header(1, -1, 8, 1) + Bytes(1024 + 4, 0)},
        {"negative width", Header(-1, 1, 24) + Bytes(4, 0)},
        {"too wide", Header(kMaxDibSide + 1, 1, 8, 1) + Bytes(1024 + 2, 0)},
        {"too tall", Header(1, kMaxDibSide + 1, 8, 1) + Bytes(1024 + 2, 0)},
        {"too tall top-down", Header(1, INT32_MIN, 24)},
        {"too many pixels", Header(10000, 10000, 8, 1) + Bytes(1024 + 2, 0)},
        {"palette cut short", Header(1, 1, 8) + Bytes(100, 0)},
        {"bit-field masks missing", Header(1, 1, 16, 3) + Bytes(8, 0)},
        {"rows cut short", Header(4, 4, 24) + Bytes(12 * 3 + 11, 0)},
        {"core 16 bits", core2 + Bytes(4, 0)},
    };
    for (const auto& c : cases)
        ExpectInvalid(c.Dib, c.What);
}

TEST(Dib, LastRowMayLackItsPadding) {
    // 1 x 2 at 24 bits: rows of 3 bytes padded to 4; the final pad byte is missing.
    const Bytes dib = Header(1, 2, 24) + Bytes{1, 2, 3, 0, 4, 5, 6};
    const TPicture pic = DecodeDib(dib);
    EXPECT_EQ(pic.At(0, 0), 0x060504u);
    EXPECT_EQ(pic.At(0, 1), 0x030201u);
}

TEST(Dib, IndexBeyondTheColourTableIsBlack) {
    Bytes dib = Header(3, 1, 8, 0, 2);
    PutPalette(dib, 2);
    dib = dib + Bytes{1, 2, 255, 0};
    const TPicture pic = DecodeDib(dib);
    EXPECT_EQ(pic.At(0, 0), Entry(1));
    EXPECT_EQ(pic.At(1, 0), 0u);
    EXPECT_EQ(pic.At(2, 0), 0u);
}

TEST(Dib, BitFieldChannelsOfAnyWidthScaleToFullRange) {
    // 16 bits: red 4 bits at the top, green 1 bit, blue 11 bits.
    Bytes dib = Header(2, 1, 16, 3);
    Put32(dib, 0xF000);
    Put32(dib, 0x0800);
    Put32(dib, 0x07FF);
    dib = dib + Bytes{0xFF, 0xFF, 0x00, 0x50}; // 0xFFFF, 0x5000
    const TPicture pic = DecodeDib(dib);
    EXPECT_EQ(pic.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(pic.At(1, 0), 0x550000u); // red 0101 -> 01010101
}

struct RleCase {
    const char* What;
    uint16_t Bits;
    int32_t Width, Height;
    Bytes Data;
    std::vector<std::vector<int>> Expected; // top row first
};

TEST(Dib, RunLengthEdgeCases) {
    const RleCase cases[] = {
        {"run past the right edge is cut", 8, 3, 1, {5, 1, 0, 1}, {{1, 1, 1}}},
        {"absolute run past the right edge is cut", 8, 2, 1, {0, 3, 4, 5, 6, 0, 0, 1}, {{4, 5}}},
        {"move below the top ends the picture",
         8,
         2,
         2,
         {1, 2, 0, 2, 0, 9, 1, 3},
         {{0, 0}, {2, 0}}},
        {"data without end-of-bitmap ends the picture", 8, 2, 2, {2, 3}, {{0, 0}, {3, 3}}},
        {"lines past the top are ignored", 8, 1, 1, {1, 1, 0, 0, 1, 2, 0, 0, 1, 3}, {{1}}},
        {"RLE4 odd run alternates nibbles", 4, 5, 1, {5, 0x12, 0, 1}, {{1, 2, 1, 2, 1}}},
        {"RLE4 absolute odd count padded",
         4,
         4,
         1,
         {0, 3, 0x34, 0x50, 1, 0x90, 0, 1},
         {{3, 4, 5, 9}}},
    };
    for (const auto& c : cases) {
        Bytes dib = Header(c.Width, c.Height, c.Bits, c.Bits == 8 ? 1 : 2);
        PutPalette(dib, c.Bits == 8 ? 256 : 16);
        const TPicture pic = DecodeDib(dib + c.Data);
        EXPECT_EQ(Indices(pic), c.Expected) << c.What;
    }
}

TEST(Dib, RunLengthDataCutInsideACommandIsInvalid) {
    const Bytes cuts[] = {
        {5},          // a run without its colour
        {0, 2, 1},    // a move without its rows
        {0, 4, 1, 2}, // absolute run of 4 with 2 bytes
    };
    for (const auto& data : cuts) {
        Bytes dib = Header(4, 2, 8, 1);
        PutPalette(dib, 256);
        ExpectInvalid(dib + data, "cut RLE8");
    }
}

TEST(Dib, PictureDataByClassName) {
    TPicture pic;
    pic.Width = 2;
    pic.Height = 1;
    pic.Pixels = {0xABCDEF, 0x010203};
    const Bytes tdib = WritePictureData(pic);
    EXPECT_EQ(ReadPictureData(tdib).Pixels, pic.Pixels);

    // The same bitmap as a bitmap file, with a gap the file header's offset skips.
    const Bytes dib = EncodeDib24(pic);
    Bytes file = {'B', 'M'};
    Put32(file, static_cast<uint32_t>(14 + dib.size() + 2));
    Put32(file, 0);
    Put32(file, 14 + 40 + 2);
    file.insert(file.end(), dib.begin(), dib.begin() + 40);
    file.push_back(0xEE);
    file.push_back(0xEE);
    file.insert(file.end(), dib.begin() + 40, dib.end());
    Bytes bitmap = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    Put32(bitmap, static_cast<uint32_t>(file.size()));
    EXPECT_EQ(ReadPictureData(bitmap + file).Pixels, pic.Pixels);

    EXPECT_TRUE(ReadPictureData(Bytes{4, 'T', 'P', 'N', 'G', 1, 2, 3}).IsEmpty())
        << "unknown class";
    EXPECT_TRUE(ReadPictureData(Bytes{}).IsEmpty());

    Bytes longer = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    Put32(longer, static_cast<uint32_t>(file.size() + 1));
    EXPECT_THROW(ReadPictureData(longer + file), EFilerError) << "length past the data";
    EXPECT_THROW(ReadPictureData(Bytes{9, 'T', 'D'}), EFilerError) << "class name past the data";
    Bytes notBm = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    Put32(notBm, 14);
    EXPECT_THROW(ReadPictureData(notBm + Bytes(14, 'X')), EInvalidGraphic);
}

// The fixture library was written by a separate script from the bitmap layout;
// each of its pictures must decode to the picture the script meant.
TEST(Dib, FixtureLibraryDecodesEveryDepthAndCompression) {
    const std::string dir = std::string(VANTOREL_TEST_DATA) + "/libraries/";
    TPictureCollection pictures;
    pictures.LoadLibraryFile(dir + "pictures.dxg");
    std::ifstream index(dir + "expected/pictures.tsv");
    std::string line;
    int checked = 0;
    while (std::getline(index, line)) {
        const auto tab = line.find('\t');
        const std::string name = Utf8ToCp1252(line.substr(0, tab));
        const TPicture expected = ReadPpm(dir + "expected/" + line.substr(tab + 1));
        const TPicture& got = pictures.Find(name).Picture;
        EXPECT_EQ(got.Width, expected.Width) << line;
        EXPECT_EQ(got.Height, expected.Height) << line;
        EXPECT_EQ(got.Pixels, expected.Pixels) << line;
        ++checked;
    }
    EXPECT_GE(checked, 14) << "the expected pictures were not found";
    EXPECT_TRUE(pictures.Find("Unregistered").Picture.IsEmpty());
}

} // namespace
} // namespace vantorel
