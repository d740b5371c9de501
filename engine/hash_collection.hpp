// Collections of named items with a 256-bucket name index, shared by the picture
// and the wave libraries. Names are single-byte Windows-1252 text, matched
// without regard to case; among equal names the item that entered the index
// last is found.
#pragma once

#include "engine/library_stream.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

/// Bucket of a name: 16 x length, plus the codes of the first and the
/// second-to-last characters (lower case) when the name has two or more, mod 256.
uint8_t NameHash(std::string_view name);

class THashIndex;

/// An item that can be found by name.
class THashCollectionItem {
public:
    virtual ~THashCollectionItem();
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;

    const std::string& Name() const { return name_; }
    /// Renaming moves the item to the head of its new bucket's chain.
    void SetName(std::string name);
    /// Position in the collection, counting from 0.
    int32_t Index() const { return index_; }

protected:
    explicit THashCollectionItem(THashIndex& index);

private:
    template <class> friend class THashCollection;
    THashIndex& hashIndex_;
    std::string name_;
    int32_t index_ = -1;
};

/// The 256 chains; each chain keeps its most recently entered item at the back.
class THashIndex {
public:
    void Enter(THashCollectionItem* item);
    void Leave(THashCollectionItem* item);
    THashCollectionItem* Lookup(std::string_view name) const;

private:
    std::array<std::vector<THashCollectionItem*>, 256> buckets_;
};

/// Owns the items in index order and keeps their names indexed. The picture and
/// the wave libraries derive from it; each reads its own items from the library
/// container and names its own not-found error.
template <class Item> class THashCollection {
public:
    THashCollection() = default;
    virtual ~THashCollection() = default;
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    Item& Items(int32_t i) { return *items_.at(static_cast<size_t>(i)); }
    const Item& Items(int32_t i) const { return *items_.at(static_cast<size_t>(i)); }

    /// Appends a new item (with an empty name) and returns it.
    template <class Self> Item& Add(Self& self) {
        items_.push_back(std::make_unique<Item>(self));
        Item& item = *items_.back();
        item.index_ = Count() - 1;
        index_.Enter(&item);
        return item;
    }

    /// Removes every item.
    void Clear() {
        while (!items_.empty())
            items_.pop_back();
    }

    /// The item found by the name index, or null.
    Item* FindItem(std::string_view name) const { return static_cast<Item*>(index_.Lookup(name)); }

    /// The item named name, ignoring case; among equal names the one that entered
    /// the index last. Raises the library's error when there is none
    /// (EPictureCollectionError "Image '%s' not found", EWaveCollectionError
    /// "Wave '%s' not found"). The game looks names up every frame.
    Item& Find(const std::string& name) {
        Item* item = FindItem(name);
        if (item == nullptr)
            RaiseNotFound(name);
        return *item;
    }

    /// Removes all items, then reads a library file. Raises EFOpenError "Cannot
    /// open file "%s". %s" when it cannot be opened, else as ReadLibraryBytes.
    void LoadLibraryFile(const std::string& fileName) { ReadLibraryBytes(ReadWholeFile(fileName)); }
    /// The same from a stream, read from its position to its end.
    void ReadLibraryStream(std::istream& stream) { ReadLibraryBytes(ReadWholeStream(stream)); }
    /// The same from bytes already in memory (see library_stream.hpp). Raises
    /// EFilerError and the library's own errors; a failed read leaves it empty.
    virtual void ReadLibraryBytes(std::span<const uint8_t> bytes) = 0;

    THashIndex& NameIndex() { return index_; }

protected:
    /// Raises the library's error for a name that Find does not find.
    [[noreturn]] virtual void RaiseNotFound(const std::string& name) const = 0;

private:
    THashIndex index_; // declared first: items leave it as they are destroyed
    std::vector<std::unique_ptr<Item>> items_;
};

} // namespace vantorel
