#include "engine/hash_collection.hpp"

#include "base/text_encoding.hpp"

namespace vantorel {

uint8_t NameHash(std::string_view name) {
    const size_t n = name.size();
    size_t h = 16 * n;
    if (n >= 2) {
        h += LowerCp1252(static_cast<unsigned char>(name[0]));
        h += LowerCp1252(static_cast<unsigned char>(name[n - 2]));
    }
    return static_cast<uint8_t>(h % 256);
}

THashCollectionItem::THashCollectionItem(THashIndex& index) : hashIndex_(index) {}

THashCollectionItem::~THashCollectionItem() {
    hashIndex_.Leave(this);
}

void THashCollectionItem::SetName(std::string name) {
    hashIndex_.Leave(this);
    name_ = std::move(name);
    hashIndex_.Enter(this);
}

void THashIndex::Enter(THashCollectionItem* item) {
    buckets_[NameHash(item->Name())].push_back(item);
}

void THashIndex::Leave(THashCollectionItem* item) {
    auto& chain = buckets_[NameHash(item->Name())];
    chain.erase(std::remove(chain.begin(), chain.end(), item), chain.end());
}

THashCollectionItem* THashIndex::Lookup(std::string_view name) const {
    const auto& chain = buckets_[NameHash(name)];
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (SameTextCp1252((*it)->Name(), name))
            return *it;
    }
    return nullptr;
}

} // namespace vantorel
