// The component-stream container of the picture and wave libraries: a resource
// header, the signature "TPF0", one root object whose properties hold the
// collection of items. TLibraryReader reads what any writer of this container
// produced; TLibraryWriter writes a subset of it that the reader reads back.
//
// Every length read from a file is bounded by the bytes actually left, so a
// truncated or hostile file raises EFilerError("Invalid stream format") rather
// than allocating or reading past its end.
#pragma once

#include "base/text_encoding.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

/// The type byte in front of every property value.
enum class TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};

/// The fixed text of every container fault.
inline constexpr const char* kInvalidStreamFormat = "Invalid stream format";

/// Reads a whole stream into memory (from its current position to its end).
std::vector<uint8_t> ReadWholeStream(std::istream& stream);
/// Reads a whole file; raises EFOpenError "Cannot open file "%s". %s" when it
/// cannot be opened, the second %s being the system's reason.
std::vector<uint8_t> ReadWholeFile(const std::string& fileName);

/// Sequential reader over a library file held in memory. Every method raises
/// EFilerError("Invalid stream format") on a short or malformed stream.
class TLibraryReader {
public:
    explicit TLibraryReader(std::span<const uint8_t> data) : data_(data) {}

    /// Byte 0xFF, 16-bit type 10, zero-terminated name, 16-bit flags, 32-bit size.
    void ReadResourceHeader();
    /// "TPF0".
    void ReadSignature();
    /// Header, signature and the start of the root object (prefix byte with its
    /// optional child position, class name, object name). Returns the class name.
    std::string ReadRootStart();
    /// Skips the child objects of the root (and of any nested object) up to and
    /// including their terminating zero.
    void SkipChildObjects();

    /// True (without consuming) when the next byte is the zero that ends a list.
    bool EndOfList();
    /// Consumes that zero.
    void ReadListEnd();

    /// A property name (short string).
    std::string ReadPropName();
    /// The type byte of the next value, without consuming it.
    TValueType PeekValueType();

    /// Integer value (types 2, 3, 4, 19).
    int64_t ReadInteger();
    /// Boolean value (types 8, 9).
    bool ReadBoolean();
    /// String value (types 6, 12, 18, 20, and 7 for identifiers) as Windows-1252.
    std::string ReadString();
    /// Binary value (type 10); the view lies inside the reader's data.
    std::span<const uint8_t> ReadBinary();
    /// Skips one value of any type.
    void SkipValue();

    /// Collection value (type 14). Call NextElement() until it returns false;
    /// after each true, read the element's properties up to EndOfList(), then ReadListEnd().
    void ReadCollectionStart();
    /// Starts the next element (reading its optional order number and list-start
    /// byte) and returns true, or consumes the collection's final zero and returns false.
    bool NextElement(std::optional<int64_t>* order = nullptr);

    size_t Position() const { return pos_; }
    size_t Remaining() const { return data_.size() - pos_; }

private:
    uint8_t ReadByte();
    std::span<const uint8_t> ReadBytes(size_t n);
    uint32_t ReadU32();
    std::string ReadShortString();
    int64_t ReadIntegerOfType(TValueType type);
    void SkipValueAt(int depth);
    void SkipObject(int depth);

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

/// Writes a library file into memory. Strings are Windows-1252 text.
class TLibraryWriter {
public:
    /// Resource header (its size patched by Finish), "TPF0" and the root object
    /// start with the given class name and an empty object name.
    explicit TLibraryWriter(std::string_view rootClassName);

    void WritePropName(std::string_view name);
    /// The shortest of types 2, 3 and 4 that holds the value.
    void WriteInteger(int32_t value);
    void WriteBoolean(bool value);
    /// Type 6 up to 255 bytes, type 12 beyond.
    void WriteString(std::string_view text);
    void WriteBinary(std::span<const uint8_t> bytes);
    void WriteCollectionStart();
    /// Starts an element, with an order number when given.
    void WriteElementStart(std::optional<int32_t> order = std::nullopt);
    /// The zero that ends a property list, an element or a collection.
    void WriteListEnd();

    /// Ends the root's properties and children and returns the whole file.
    std::vector<uint8_t> Finish();

private:
    void WriteByte(uint8_t b) { out_.push_back(b); }
    void WriteU16(uint16_t v);
    void WriteU32(uint32_t v);
    void WriteShortString(std::string_view s);

    std::vector<uint8_t> out_;
    size_t sizeField_ = 0;
    size_t dataStart_ = 0;
};

/// Walks a library's root object: every element of its "List" collection goes to
/// readElement (which reads the element's properties up to and including its list
/// end), every other root property to readOther, which returns false to have its
/// value skipped. Raises EFilerError on a malformed stream.
void ReadLibraryRoot(std::span<const uint8_t> bytes,
                     const std::function<void(TLibraryReader&)>& readElement,
                     const std::function<bool(TLibraryReader&, const std::string&)>& readOther);

} // namespace vantorel
