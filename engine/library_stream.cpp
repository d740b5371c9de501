#include "engine/library_stream.hpp"

#include "base/errors.hpp"
#include "base/text_encoding.hpp"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <iterator>

#include <sys/stat.h>

namespace vantorel {

namespace {

[[noreturn]] void Invalid() {
    throw EFilerError(kInvalidStreamFormat);
}

// Nesting of collections, lists and child objects that a file may use; deeper
// files are refused rather than risking the stack.
constexpr int kMaxDepth = 32;

} // namespace

std::vector<uint8_t> ReadWholeStream(std::istream& stream) {
    std::vector<uint8_t> bytes;
    char buf[65536];
    while (stream) {
        stream.read(buf, sizeof buf);
        const auto got = stream.gcount();
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), buf, buf + got);
    }
    return bytes;
}

std::vector<uint8_t> ReadWholeFile(const std::string& fileName) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        const int err = errno;
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(err));
    }
    // Read straight into a buffer of the file's size (the libraries are megabytes:
    // growing one as it fills copies them over and over); a file that grows
    // meanwhile, or whose size is unknown, is read on to its end.
    std::vector<uint8_t> bytes;
    struct stat info {};
    if (fstat(fileno(f), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.resize(static_cast<size_t>(info.st_size));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    }
    uint8_t buf[65536];
    size_t got = 0;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + got);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) // e.g. a directory: it opens but cannot be read
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(err));
    return bytes;
}

// ---------------------------------------------------------------------------
// Reader

uint8_t TLibraryReader::ReadByte() {
    if (pos_ >= data_.size())
        Invalid();
    return data_[pos_++];
}

std::span<const uint8_t> TLibraryReader::ReadBytes(size_t n) {
    if (n > Remaining())
        Invalid();
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}

uint32_t TLibraryReader::ReadU32() {
    auto b = ReadBytes(4);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

std::string TLibraryReader::ReadShortString() {
    const uint8_t n = ReadByte();
    auto b = ReadBytes(n);
    return std::string(b.begin(), b.end());
}

void TLibraryReader::ReadResourceHeader() {
    if (ReadByte() != 0xFF)
        Invalid();
    const uint8_t lo = ReadByte();
    const uint8_t hi = ReadByte();
    if (lo != 10 || hi != 0)
        Invalid();
    while (ReadByte() != 0) {
    }
    ReadBytes(2 + 4); // flags, data size
}

void TLibraryReader::ReadSignature() {
    auto sig = ReadBytes(4);
    if (std::memcmp(sig.data(), "TPF0", 4) != 0)
        Invalid();
}

std::string TLibraryReader::ReadRootStart() {
    ReadResourceHeader();
    ReadSignature();
    if (pos_ < data_.size() && (data_[pos_] & 0xF0) == 0xF0) {
        const uint8_t flags = ReadByte() & 0x0F;
        if (flags & 2)
            ReadInteger(); // child position
    }
    std::string className = ReadShortString();
    ReadShortString(); // object name
    return className;
}

void TLibraryReader::SkipObject(int depth) {
    if (depth > kMaxDepth)
        Invalid();
    if ((data_.size() > pos_) && (data_[pos_] & 0xF0) == 0xF0) {
        const uint8_t flags = ReadByte() & 0x0F;
        if (flags & 2)
            ReadInteger();
    }
    ReadShortString();
    ReadShortString();
    while (!EndOfList()) {
        ReadPropName();
        SkipValueAt(depth + 1);
    }
    ReadListEnd();
    while (!EndOfList())
        SkipObject(depth + 1);
    ReadListEnd();
}

void TLibraryReader::SkipChildObjects() {
    while (!EndOfList())
        SkipObject(1);
    ReadListEnd();
}

bool TLibraryReader::EndOfList() {
    if (pos_ >= data_.size())
        Invalid();
    return data_[pos_] == 0;
}

void TLibraryReader::ReadListEnd() {
    if (ReadByte() != 0)
        Invalid();
}

std::string TLibraryReader::ReadPropName() {
    std::string name = ReadShortString();
    if (name.empty())
        Invalid();
    return name;
}

TValueType TLibraryReader::PeekValueType() {
    if (pos_ >= data_.size())
        Invalid();
    return static_cast<TValueType>(data_[pos_]);
}

int64_t TLibraryReader::ReadIntegerOfType(TValueType type) {
    switch (type) {
    case TValueType::vaInt8:
        return static_cast<int8_t>(ReadByte());
    case TValueType::vaInt16: {
        auto b = ReadBytes(2);
        return static_cast<int16_t>(static_cast<uint16_t>(b[0] | b[1] << 8));
    }
    case TValueType::vaInt32:
        return static_cast<int32_t>(ReadU32());
    case TValueType::vaInt64: {
        const uint64_t lo = ReadU32();
        const uint64_t hi = ReadU32();
        return static_cast<int64_t>(lo | hi << 32);
    }
    default:
        Invalid();
    }
}

int64_t TLibraryReader::ReadInteger() {
    return ReadIntegerOfType(static_cast<TValueType>(ReadByte()));
}

bool TLibraryReader::ReadBoolean() {
    const auto t = static_cast<TValueType>(ReadByte());
    if (t == TValueType::vaTrue)
        return true;
    if (t == TValueType::vaFalse)
        return false;
    Invalid();
}

std::string TLibraryReader::ReadString() {
    const auto t = static_cast<TValueType>(ReadByte());
    switch (t) {
    case TValueType::vaString:
    case TValueType::vaIdent:
        return ReadShortString();
    case TValueType::vaLString: {
        auto b = ReadBytes(ReadU32());
        return std::string(b.begin(), b.end());
    }
    case TValueType::vaWString: {
        const uint32_t count = ReadU32();
        if (count > Remaining() / 2)
            Invalid();
        auto b = ReadBytes(size_t{count} * 2);
        std::vector<uint16_t> units(count);
        for (size_t i = 0; i < count; ++i)
            units[i] = static_cast<uint16_t>(b[2 * i] | b[2 * i + 1] << 8);
        return Utf16ToCp1252(units);
    }
    case TValueType::vaUTF8String: {
        auto b = ReadBytes(ReadU32());
        return Utf8ToCp1252(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    }
    default:
        Invalid();
    }
}

std::span<const uint8_t> TLibraryReader::ReadBinary() {
    if (static_cast<TValueType>(ReadByte()) != TValueType::vaBinary)
        Invalid();
    return ReadBytes(ReadU32());
}

void TLibraryReader::SkipValue() {
    SkipValueAt(0);
}

void TLibraryReader::SkipValueAt(int depth) {
    if (depth > kMaxDepth)
        Invalid();
    const auto t = PeekValueType();
    switch (t) {
    case TValueType::vaNull:
    case TValueType::vaNil:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
        ReadByte();
        return;
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
    case TValueType::vaInt64:
        ReadInteger();
        return;
    case TValueType::vaExtended:
        ReadByte();
        ReadBytes(10);
        return;
    case TValueType::vaSingle:
        ReadByte();
        ReadBytes(4);
        return;
    case TValueType::vaCurrency:
    case TValueType::vaDate:
    case TValueType::vaDouble:
        ReadByte();
        ReadBytes(8);
        return;
    case TValueType::vaString:
    case TValueType::vaIdent:
    case TValueType::vaLString:
    case TValueType::vaWString:
    case TValueType::vaUTF8String:
        ReadString();
        return;
    case TValueType::vaBinary:
        ReadBinary();
        return;
    case TValueType::vaSet:
        ReadByte();
        while (!ReadShortString().empty()) {
        }
        return;
    case TValueType::vaList:
        ReadByte();
        while (!EndOfList())
            SkipValueAt(depth + 1);
        ReadListEnd();
        return;
    case TValueType::vaCollection:
        ReadByte();
        while (NextElement()) {
            while (!EndOfList()) {
                ReadPropName();
                SkipValueAt(depth + 1);
            }
            ReadListEnd();
        }
        return;
    }
    Invalid();
}

void TLibraryReader::ReadCollectionStart() {
    if (static_cast<TValueType>(ReadByte()) != TValueType::vaCollection)
        Invalid();
}

bool TLibraryReader::NextElement(std::optional<int64_t>* order) {
    if (order)
        order->reset();
    if (EndOfList()) {
        ReadListEnd();
        return false;
    }
    const auto t = PeekValueType();
    if (t == TValueType::vaInt8 || t == TValueType::vaInt16 || t == TValueType::vaInt32) {
        const int64_t n = ReadInteger();
        if (order)
            *order = n;
    }
    if (static_cast<TValueType>(ReadByte()) != TValueType::vaList)
        Invalid();
    return true;
}

// ---------------------------------------------------------------------------
// Writer

namespace {
std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}
} // namespace

TLibraryWriter::TLibraryWriter(std::string_view rootClassName) {
    WriteByte(0xFF);
    WriteU16(10);
    for (char c : UpperAscii(rootClassName))
        WriteByte(static_cast<uint8_t>(c));
    WriteByte(0);
    WriteU16(0x1030);
    sizeField_ = out_.size();
    WriteU32(0);
    dataStart_ = out_.size();
    for (char c : std::string_view("TPF0"))
        WriteByte(static_cast<uint8_t>(c));
    WriteShortString(rootClassName);
    WriteShortString("");
}

void TLibraryWriter::WriteU16(uint16_t v) {
    WriteByte(static_cast<uint8_t>(v));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void TLibraryWriter::WriteU32(uint32_t v) {
    for (int i = 0; i < 4; ++i)
        WriteByte(static_cast<uint8_t>(v >> (8 * i)));
}

void TLibraryWriter::WriteShortString(std::string_view s) {
    const size_t n = s.size() > 255 ? 255 : s.size();
    WriteByte(static_cast<uint8_t>(n));
    out_.insert(out_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

void TLibraryWriter::WritePropName(std::string_view name) {
    WriteShortString(name);
}

void TLibraryWriter::WriteInteger(int32_t value) {
    if (value >= -128 && value <= 127) {
        WriteByte(static_cast<uint8_t>(TValueType::vaInt8));
        WriteByte(static_cast<uint8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        WriteByte(static_cast<uint8_t>(TValueType::vaInt16));
        WriteU16(static_cast<uint16_t>(value));
    } else {
        WriteByte(static_cast<uint8_t>(TValueType::vaInt32));
        WriteU32(static_cast<uint32_t>(value));
    }
}

void TLibraryWriter::WriteBoolean(bool value) {
    WriteByte(static_cast<uint8_t>(value ? TValueType::vaTrue : TValueType::vaFalse));
}

void TLibraryWriter::WriteString(std::string_view text) {
    if (text.size() <= 255) {
        WriteByte(static_cast<uint8_t>(TValueType::vaString));
        WriteShortString(text);
    } else {
        WriteByte(static_cast<uint8_t>(TValueType::vaLString));
        WriteU32(static_cast<uint32_t>(text.size()));
        out_.insert(out_.end(), text.begin(), text.end());
    }
}

void TLibraryWriter::WriteBinary(std::span<const uint8_t> bytes) {
    WriteByte(static_cast<uint8_t>(TValueType::vaBinary));
    WriteU32(static_cast<uint32_t>(bytes.size()));
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void TLibraryWriter::WriteCollectionStart() {
    WriteByte(static_cast<uint8_t>(TValueType::vaCollection));
}

void TLibraryWriter::WriteElementStart(std::optional<int32_t> order) {
    if (order)
        WriteInteger(*order);
    WriteByte(static_cast<uint8_t>(TValueType::vaList));
}

void TLibraryWriter::WriteListEnd() {
    WriteByte(0);
}

std::vector<uint8_t> TLibraryWriter::Finish() {
    WriteListEnd(); // end of the root's properties
    WriteListEnd(); // end of its (no) children
    const auto size = static_cast<uint32_t>(out_.size() - dataStart_);
    for (int i = 0; i < 4; ++i)
        out_[sizeField_ + static_cast<size_t>(i)] = static_cast<uint8_t>(size >> (8 * i));
    return std::move(out_);
}

void ReadLibraryRoot(std::span<const uint8_t> bytes,
                     const std::function<void(TLibraryReader&)>& readElement,
                     const std::function<bool(TLibraryReader&, const std::string&)>& readOther) {
    TLibraryReader r(bytes);
    r.ReadRootStart();
    while (!r.EndOfList()) {
        const std::string prop = r.ReadPropName();
        if (SameTextCp1252(prop, "List")) {
            r.ReadCollectionStart();
            while (r.NextElement())
                readElement(r);
        } else if (!readOther(r, prop)) {
            r.SkipValue();
        }
    }
    r.ReadListEnd();
    r.SkipChildObjects();
}

} // namespace vantorel
