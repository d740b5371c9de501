#include "engine/wave_library.hpp"

#include "base/errors.hpp"
#include "engine/library_stream.hpp"
#include "support/byte_blobs.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

using test_support::Bytes;
using test_support::Chunk;
using test_support::Riff;
using test_support::Str;
using test_support::U32;
using test_support::operator+;

// mono, 22050 Hz, 16 bits
const Bytes kFmt = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};

TEST(WaveRiff, ReadsFormatAndSamplesSkippingOtherChunks) {
    struct Case {
        const char* What;
        Bytes File;
        size_t DataBytes;
    };
    const Case cases[] = {
        {"plain", Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(10, 7))), 10},
        {"other chunks before the samples",
         Riff(Chunk("LIST", Bytes(4, 0)) + Chunk("fmt ", kFmt) + Chunk("fact", U32(5)) +
              Chunk("data", Bytes(10, 7))),
         10},
        {"odd chunk with its pad byte",
         Riff(Chunk("fmt ", kFmt) + Chunk("junk", Bytes(3, 1)) + Bytes{0} +
              Chunk("data", Bytes(10, 7))),
         10},
        {"reading stops after the samples",
         Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(10, 7)) + Bytes{'x', 'y'}), 10},
        {"more samples than one store block",
         Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(20000, 7))), 20000},
    };
    for (const auto& c : cases) {
        TWave w;
        w.LoadFromRiff(c.File);
        EXPECT_EQ(w.Channels(), 1) << c.What;
        EXPECT_EQ(w.SamplesPerSec(), 22050u) << c.What;
        EXPECT_EQ(w.BitsPerSample(), 16) << c.What;
        EXPECT_EQ(w.Format(), kFmt) << c.What;
        ASSERT_EQ(w.Data().size(), c.DataBytes) << c.What;
        EXPECT_EQ(w.Data()[c.DataBytes - 1], 7) << c.What;
        EXPECT_EQ(w.Riff(), c.File) << c.What << ": kept byte for byte";
    }
}

TEST(WaveRiff, BrokenRecordingsAreInvalid) {
    const Bytes good = Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(10, 7)));
    Bytes notRiff = good;
    notRiff[3] = 'X';
    Bytes notWave = good;
    notWave[8] = 'A';
    Bytes longData = good;
    longData[good.size() - 10 - 4] = 11; // the data chunk claims one byte more than there is
    struct Case {
        const char* What;
        Bytes File;
    };
    const Case cases[] = {
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"shorter than the RIFF header", Str("RIFF")},
        {"chunk runs past the end", longData},
        {"chunk size near 4 GiB", Riff(Chunk("fmt ", kFmt)) + Str("data") + U32(0xFFFFFFF0)},
    };
    for (const auto& c : cases) {
        TWave w;
        try {
            w.LoadFromRiff(c.File);
            ADD_FAILURE() << c.What << ": loaded";
        } catch (const EWaveStreamError& e) {
            EXPECT_STREQ(e.what(), "Wave is invalid") << c.What;
        }
    }
}

TEST(WaveCollection, FindIgnoresCaseAndNamesTheMissingWave) {
    TWaveCollection c;
    c.Add(c).SetName("Laser");
    c.Add(c).SetName("LASER");
    EXPECT_EQ(c.Find("laser").Index(), 1);
    try {
        c.Find("Lazer");
        FAIL();
    } catch (const EWaveCollectionError& e) {
        EXPECT_STREQ(e.what(), "Wave 'Lazer' not found");
    }
}

TEST(WaveCollection, FixtureLibraryLoads) {
    const std::string dir = std::string(VANTOREL_TEST_DATA) + "/libraries/";
    TWaveCollection c;
    c.LoadLibraryFile(dir + "sounds.dxw");
    ASSERT_EQ(c.Count(), 2);
    const auto& laser = c.Find("laser");
    EXPECT_FALSE(laser.Looped);
    EXPECT_EQ(laser.MaxPlayingCount(), 0);
    EXPECT_EQ(laser.Wave.Data().size(), 200u);
    EXPECT_EQ(laser.Wave.Data()[199], 199);
    const auto& engine = c.Find("Engine");
    EXPECT_TRUE(engine.Looped);
    EXPECT_EQ(engine.MaxPlayingCount(), 1);
    EXPECT_EQ(engine.Wave.Channels(), 2);
    EXPECT_EQ(engine.Wave.SamplesPerSec(), 11025u);
    EXPECT_EQ(engine.Wave.BitsPerSample(), 8);
}

TEST(WaveCollection, WrittenLibraryReadsBack) {
    TWaveCollection out;
    auto& a = out.Add(out);
    a.SetName("Engine");
    a.Looped = true;
    a.SetMaxPlayingCount(3);
    a.Wave.LoadFromRiff(Riff(Chunk("fmt ", kFmt) + Chunk("data", Bytes(9, 5))));
    out.Add(out).SetName("Silent");

    TWaveCollection in;
    in.Add(in).SetName("Old");
    in.ReadLibraryBytes(out.WriteLibraryBytes());
    ASSERT_EQ(in.Count(), 2);
    EXPECT_EQ(in.Items(0).Name(), "Engine");
    EXPECT_TRUE(in.Items(0).Looped);
    EXPECT_EQ(in.Items(0).MaxPlayingCount(), 3);
    EXPECT_EQ(in.Items(0).Wave.Riff(), a.Wave.Riff());
    EXPECT_TRUE(in.Items(1).Wave.IsEmpty());
}

TEST(WaveCollection, NegativeVoiceLimitInAFileBecomesUnlimited) {
    TLibraryWriter w("TWaveCollectionComponent");
    w.WritePropName("List");
    w.WriteCollectionStart();
    w.WriteElementStart();
    w.WritePropName("Name");
    w.WriteString("N");
    w.WritePropName("MaxPlayingCount");
    w.WriteInteger(-4);
    w.WriteListEnd();
    w.WriteListEnd();
    TWaveCollection c;
    c.ReadLibraryBytes(w.Finish());
    EXPECT_EQ(c.Find("N").MaxPlayingCount(), 0);
}

TEST(WaveCollection, BadRecordingInAFileFailsTheWholeLoad) {
    TLibraryWriter w("TWaveCollectionComponent");
    w.WritePropName("List");
    w.WriteCollectionStart();
    w.WriteElementStart();
    w.WritePropName("Name");
    w.WriteString("Good");
    w.WriteListEnd();
    w.WriteElementStart();
    w.WritePropName("Wave.WAVE");
    w.WriteBinary(Str("RIFF....AVI "));
    w.WriteListEnd();
    w.WriteListEnd();
    TWaveCollection c;
    EXPECT_THROW(c.ReadLibraryBytes(w.Finish()), EWaveStreamError);
    EXPECT_EQ(c.Count(), 0);
}

} // namespace
} // namespace vantorel
