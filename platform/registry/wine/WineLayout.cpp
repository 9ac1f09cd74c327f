#include "platform/registry/wine/WineRegistryFile.h"

#include <algorithm>
#include <stdexcept>

namespace moxalo::registry {

namespace {

// Each block of texts holds the key lines of many sections.
constexpr std::size_t kTextBlock = std::size_t{64} << 10;

} // namespace

const WineKeyInfo* WineKeyInfos::find(const MemoryStore::Node* key) const {
    if (key->serial >= infos_.size() || !infos_[key->serial])
        return nullptr;
    return &*infos_[key->serial];
}

const WineKeyInfo& WineKeyInfos::at(const MemoryStore::Node* key) const {
    if (const WineKeyInfo* info = find(key))
        return *info;
    throw std::out_of_range("the key has no section");
}

WineKeyInfo& WineKeyInfos::operator[](const MemoryStore::Node* key) {
    if (key->serial >= infos_.size())
        infos_.resize(key->serial + 1);
    auto& info = infos_[key->serial];
    if (!info)
        info.emplace();
    return *info;
}

void WineKeyInfos::erase(const MemoryStore::Node* key) {
    if (key->serial < infos_.size())
        infos_[key->serial].reset();
}

std::string_view WineFileLayout::keep(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    // A block is never grown past what it reserved, so the views into it stay valid.
    if (texts.empty() || texts.back().capacity() - texts.back().size() < size) {
        texts.emplace_back();
        texts.back().reserve(std::max(kTextBlock, size));
    }
    std::string& block = texts.back();
    std::size_t at = block.size();
    for (std::string_view piece : pieces)
        block.append(piece);
    return std::string_view(block).substr(at);
}

} // namespace moxalo::registry
