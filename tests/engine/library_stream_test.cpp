#include "engine/library_stream.hpp"

#include "base/errors.hpp"
#include "engine/image_library.hpp"
#include "support/byte_blobs.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vantorel {
namespace {

using test_support::Bytes;
using test_support::Str;
using test_support::U32;
using test_support::operator+;

/// A short string as the stream writes it: one length byte, then the characters.
Bytes Short(std::string_view s) {
    return Bytes{static_cast<uint8_t>(s.size())} + Str(s);
}

// A library file around the given root bytes (prefix, names, properties, ends).
Bytes Wrap(const Bytes& root) {
    return Bytes{0xFF, 10, 0} + Str("X") + Bytes{0, 0x30, 0x10} +
           U32(static_cast<uint32_t>(root.size() + 4)) + Str("TPF0") + root;
}

// A root object holding one property with the given value.
Bytes OneProperty(const Bytes& value, const Bytes& prefix = {}) {
    return Wrap(prefix + Short("TThing") + Short("") + Short("P") + value + Bytes{0, 0});
}

void ExpectInvalidStream(const Bytes& file, const std::function<void(TLibraryReader&)>& read) {
    TLibraryReader r(file);
    try {
        read(r);
        FAIL() << "no error";
    } catch (const EFilerError& e) {
        EXPECT_STREQ(e.what(), "Invalid stream format");
    }
}

std::string ReadOneString(const Bytes& value) {
    const Bytes file = OneProperty(value);
    TLibraryReader r(file);
    r.ReadRootStart();
    EXPECT_EQ(r.ReadPropName(), "P");
    return r.ReadString();
}

TEST(LibraryStream, WriterPicksTheShortestIntegerAndReaderReadsItBack) {
    struct Case {
        int32_t Value;
        uint8_t Type;
    };
    const Case cases[] = {{0, 2},      {-128, 2},      {127, 2},      {128, 3},
                          {-129, 3},   {32767, 3},     {-32768, 3},   {32768, 4},
                          {-32769, 4}, {INT32_MAX, 4}, {INT32_MIN, 4}};
    for (const auto& c : cases) {
        TLibraryWriter w("TThing");
        w.WritePropName("P");
        w.WriteInteger(c.Value);
        const Bytes file = w.Finish();
        TLibraryReader r(file);
        EXPECT_EQ(r.ReadRootStart(), "TThing");
        EXPECT_EQ(r.ReadPropName(), "P");
        EXPECT_EQ(static_cast<uint8_t>(r.PeekValueType()), c.Type) << c.Value;
        EXPECT_EQ(r.ReadInteger(), c.Value);
        EXPECT_TRUE(r.EndOfList());
    }
}

TEST(LibraryStream, WriterOutputReadsBackValueByValue) {
    TLibraryWriter w("TThing");
    const std::string longText(300, 'x');
    const Bytes blob{1, 2, 3, 0, 255};
    w.WritePropName("A");
    w.WriteBoolean(true);
    w.WritePropName("B");
    w.WriteBoolean(false);
    w.WritePropName("C");
    w.WriteString("Gr\xF6\xDF"
                  "e");
    w.WritePropName("D");
    w.WriteString(longText);
    w.WritePropName("E");
    w.WriteBinary(blob);
    w.WritePropName("F");
    w.WriteCollectionStart();
    w.WriteElementStart(5);
    w.WritePropName("N");
    w.WriteInteger(1);
    w.WriteListEnd();
    w.WriteElementStart();
    w.WriteListEnd();
    w.WriteListEnd();
    const Bytes file = w.Finish();

    // The header's size field counts everything after the header.
    TLibraryReader r(file);
    r.ReadResourceHeader();
    const size_t headerEnd = r.Position();
    EXPECT_EQ(file[headerEnd - 4] | file[headerEnd - 3] << 8,
              static_cast<int>(file.size() - headerEnd));

    TLibraryReader rd(file);
    rd.ReadRootStart();
    EXPECT_EQ(rd.ReadPropName(), "A");
    EXPECT_TRUE(rd.ReadBoolean());
    EXPECT_EQ(rd.ReadPropName(), "B");
    EXPECT_FALSE(rd.ReadBoolean());
    EXPECT_EQ(rd.ReadPropName(), "C");
    EXPECT_EQ(rd.ReadString(), "Gr\xF6\xDF"
                               "e");
    EXPECT_EQ(rd.ReadPropName(), "D");
    EXPECT_EQ(rd.PeekValueType(), TValueType::vaLString);
    EXPECT_EQ(rd.ReadString(), longText);
    EXPECT_EQ(rd.ReadPropName(), "E");
    const auto bin = rd.ReadBinary();
    EXPECT_EQ(Bytes(bin.begin(), bin.end()), blob);
    EXPECT_EQ(rd.ReadPropName(), "F");
    rd.ReadCollectionStart();
    std::optional<int64_t> order;
    ASSERT_TRUE(rd.NextElement(&order));
    EXPECT_EQ(order, 5);
    EXPECT_EQ(rd.ReadPropName(), "N");
    EXPECT_EQ(rd.ReadInteger(), 1);
    rd.ReadListEnd();
    ASSERT_TRUE(rd.NextElement(&order));
    EXPECT_FALSE(order.has_value());
    rd.ReadListEnd();
    EXPECT_FALSE(rd.NextElement());
    rd.ReadListEnd();
    rd.SkipChildObjects();
    EXPECT_EQ(rd.Remaining(), 0u);
}

TEST(LibraryStream, StringsOfEveryTypeBecomeWindows1252) {
    struct Case {
        const char* What;
        Bytes Value;
        std::string Expected;
    };
    const Case cases[] = {
        {"short, bytes as they are", Bytes{6} + Short("Na\xEFve"), "Na\xEFve"},
        {"long", Bytes{12} + U32(3) + Str("abc"), "abc"},
        {"identifier", Bytes{7} + Short("clRed"), "clRed"},
        {"UTF-16 with euro sign", Bytes{18} + U32(3) + Bytes{'G', 0, 0xAC, 0x20, 0xFC, 0},
         "G\x80\xFC"},
        {"UTF-16 outside the code page", Bytes{18} + U32(2) + Bytes{0x3A, 0xD8, 0x00, 0xDC}, "?"},
        {"UTF-16 CJK", Bytes{18} + U32(1) + Bytes{0x2D, 0x4E}, "?"},
        {"UTF-8", Bytes{20} + U32(8) + Str("Caf\xC3\xA9\xE2\x82\xAC"), "Caf\xE9\x80"},
        {"UTF-8 broken sequence", Bytes{20} + U32(3) + Bytes{'a', 0xC3, 'b'}, "a?b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadOneString(c.Value), c.Expected) << c.What;
}

TEST(LibraryStream, TextConversionsForTheTool) {
    EXPECT_EQ(Cp1252ToUtf8("Gr\xF6\xDF"
                           "e \x80 \x8A \x81"),
              "Gr\xC3\xB6\xC3\x9F"
              "e \xE2\x82\xAC \xC5\xA0 \xC2\x81");
    EXPECT_EQ(Utf8ToCp1252("Gr\xC3\xB6\xC3\x9F"
                           "e \xE2\x82\xAC \xC5\xA0"),
              "Gr\xF6\xDF"
              "e \x80 \x8A");
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");   // a CJK character
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98"), "???"); // cut four-byte sequence
}

TEST(LibraryStream, RootPrefixByteAndChildPositionAreSkipped) {
    struct Case {
        const char* What;
        Bytes Prefix;
    };
    const Case cases[] = {
        {"none", {}},
        {"flags without position", {0xF0}},
        {"inherited flag only", {0xF1}},
        {"child position int8", Bytes{0xF2, 2, 7}},
        {"child position int16", Bytes{0xF2, 3, 0x2C, 0x01}},
        {"child position int32 with more flags", Bytes{0xF6, 4} + U32(70000)},
    };
    for (const auto& c : cases) {
        const Bytes file = OneProperty(Bytes{2, 42}, c.Prefix);
        TLibraryReader r(file);
        EXPECT_EQ(r.ReadRootStart(), "TThing") << c.What;
        EXPECT_EQ(r.ReadPropName(), "P") << c.What;
        EXPECT_EQ(r.ReadInteger(), 42) << c.What;
    }
}

TEST(LibraryStream, SkipsValuesOfEveryType) {
    const Bytes values[] = {
        {0},  // null
        {13}, // nil
        {8},
        {9}, // false, true
        {2, 1},
        {3, 1, 0},
        Bytes{4} + U32(1),
        Bytes{19} + U32(1) + U32(0),
        Bytes{5} + Bytes(10, 0x40), // extended
        Bytes{15} + U32(0),
        Bytes{16} + U32(0) + U32(0),
        Bytes{17} + U32(0) + U32(0),
        Bytes{21} + U32(0) + U32(0), // single, currency, date, double
        Bytes{6} + Short("s"),
        Bytes{7} + Short("clRed"),
        Bytes{12} + U32(1) + Str("l"),
        Bytes{18} + U32(1) + Bytes{'w', 0},
        Bytes{20} + U32(1) + Str("u"),
        Bytes{10} + U32(2) + Bytes{1, 2},                       // binary
        Bytes{11} + Short("a") + Short("b") + Bytes{0},         // set
        Bytes{1, 2, 1, 6} + Short("x") + Bytes{0},              // list
        Bytes{14, 2, 0, 1} + Short("Q") + Bytes{8, 0, 1, 0, 0}, // collection, two elements
    };
    for (const auto& v : values) {
        const Bytes file = Wrap(Short("TThing") + Short("") + Short("Skip") + v + Short("Next") +
                                Bytes{2, 9} + Bytes{0, 0});
        TLibraryReader r(file);
        r.ReadRootStart();
        EXPECT_EQ(r.ReadPropName(), "Skip");
        r.SkipValue();
        EXPECT_EQ(r.ReadPropName(), "Next") << "after type " << int(v[0]);
        EXPECT_EQ(r.ReadInteger(), 9);
    }
}

TEST(LibraryStream, ChildObjectsOfTheRootAreSkipped) {
    const Bytes child = Bytes{0xF2, 2, 0} + Short("TChild") + Short("c1") + Short("V") + Bytes{9} +
                        Bytes{0} + Short("TGrandChild") + Short("") + Bytes{0} + Bytes{0} +
                        Bytes{0};
    const Bytes file = Wrap(Short("TThing") + Short("") + Bytes{0} + child + Bytes{0});
    TLibraryReader r(file);
    r.ReadRootStart();
    ASSERT_TRUE(r.EndOfList());
    r.ReadListEnd();
    r.SkipChildObjects();
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(LibraryStream, BrokenHeadersAreInvalidStreamFormat) {
    const Bytes good = OneProperty(Bytes{2, 1});
    struct Case {
        const char* What;
        Bytes File;
    };
    auto with = [&](size_t at, uint8_t b) {
        Bytes f = good;
        f[at] = b;
        return f;
    };
    const size_t sig = 1 + 2 + 2 + 2 + 4; // header with a one-letter name
    const Case cases[] = {
        {"empty", {}},
        {"first byte", with(0, 0xFE)},
        {"resource type low", with(1, 11)},
        {"resource type high", with(2, 1)},
        {"signature", with(sig + 3, '1')},
        {"name without its zero", Bytes{0xFF, 10, 0, 'A', 'B'}},
        {"no signature", Bytes{0xFF, 10, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        ExpectInvalidStream(c.File, [](TLibraryReader& r) { r.ReadRootStart(); });
    }
}

TEST(LibraryStream, LengthsPastTheEndAreRefusedWithoutAllocating) {
    const Bytes values[] = {
        Bytes{10} + U32(0xFFFFFFFF),             // binary
        Bytes{12} + U32(0x7FFFFFFF) + Str("ab"), // long string
        Bytes{18} + U32(0x7FFFFFFF) + Str("ab"), // wide string
        Bytes{20} + U32(0xFFFFFFF0),             // UTF-8 string
        Bytes{6, 200} + Str("short"),            // short string
    };
    for (const auto& v : values) {
        SCOPED_TRACE(int(v[0]));
        const Bytes file = OneProperty(v);
        ExpectInvalidStream(file, [](TLibraryReader& r) {
            r.ReadRootStart();
            r.ReadPropName();
            r.SkipValue();
        });
    }
}

TEST(LibraryStream, DeepNestingIsRefusedNotFollowed) {
    Bytes value;
    for (int i = 0; i < 100000; ++i)
        value.push_back(1); // lists inside lists
    const Bytes file = OneProperty(value);
    ExpectInvalidStream(file, [](TLibraryReader& r) {
        r.ReadRootStart();
        r.ReadPropName();
        r.SkipValue();
    });
}

TEST(LibraryStream, ValueOfTheWrongTypeIsInvalid) {
    const Bytes file = OneProperty(Bytes{2, 1});
    ExpectInvalidStream(file, [](TLibraryReader& r) {
        r.ReadRootStart();
        r.ReadPropName();
        r.ReadBoolean();
    });
    ExpectInvalidStream(file, [](TLibraryReader& r) {
        r.ReadRootStart();
        r.ReadPropName();
        r.ReadBinary();
    });
}

// Every prefix of a real library must fail cleanly with the container's message;
// the cut may fall anywhere: in the header, a name, a length, a picture's rows.
TEST(LibraryStream, EveryTruncationOfALibraryIsInvalidStreamFormat) {
    TPictureCollection pictures;
    auto& item = pictures.Add(pictures);
    item.SetName("Cut");
    item.Picture.Width = 3;
    item.Picture.Height = 2;
    item.Picture.Pixels.assign(6, 0x123456);
    item.SkipWidth = -3;
    const Bytes file = pictures.WriteLibraryBytes();
    for (size_t n = 0; n < file.size(); ++n) {
        TPictureCollection loaded;
        try {
            loaded.ReadLibraryBytes(std::span(file.data(), n));
            ADD_FAILURE() << "a file cut to " << n << " bytes loaded";
        } catch (const EFilerError& e) {
            EXPECT_STREQ(e.what(), "Invalid stream format") << n;
        }
        EXPECT_EQ(loaded.Count(), 0) << "a failed read leaves no items, cut at " << n;
    }
    TPictureCollection whole;
    whole.ReadLibraryBytes(file);
    ASSERT_EQ(whole.Count(), 1);
    EXPECT_EQ(whole.Items(0).SkipWidth, -3);
}

TEST(LibraryStream, MissingFileNamesTheFileAndTheReason) {
    try {
        ReadWholeFile("/nonexistent/lib.dxg");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_STREQ(e.what(),
                     "Cannot open file \"/nonexistent/lib.dxg\". No such file or directory");
    }
}

} // namespace
} // namespace vantorel
