#include "base/HexDigit.h"
#include "registry/wine/WineRegistryFile.h"

#include <algorithm>
#include <stdexcept>

namespace moxalo::registry {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;

// The "#time=" line's hex digits, read as wineserver reads them: up to the first other one.
std::optional<std::uint64_t> timeOption(std::string_view lines) {
    for (std::size_t at = lines.find("\n#time="); at != std::string_view::npos;
         at = lines.find("\n#time=", at + 1)) {
        std::uint64_t time = 0;
        std::size_t digits = 0;
        for (std::size_t i = at + 7; i < lines.size() && text::hexDigitValue(lines[i]) >= 0;
             ++i, ++digits)
            time = time << 4 | static_cast<std::uint64_t>(text::hexDigitValue(lines[i]));
        if (digits > 0)
            return time;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint64_t> wineKeyTime(std::string_view lines) {
    if (auto time = timeOption(lines))
        return time;
    std::size_t at = lines.find_first_not_of(" \t");
    if (at == std::string_view::npos || lines[at] < '0' || lines[at] > '9')
        return std::nullopt;
    std::uint64_t seconds = 0;
    for (; at < lines.size() && lines[at] >= '0' && lines[at] <= '9'; ++at)
        seconds = seconds * 10 + static_cast<std::uint64_t>(lines[at] - '0');
    return kUnixEpochFileTime + seconds * kTicksPerSecond;
}

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
    auto text = static_cast<char*>(texts.allocate(size, 1));
    std::size_t at = 0;
    for (std::string_view piece : pieces) {
        std::copy(piece.begin(), piece.end(), text + at);
        at += piece.size();
    }
    return {text, size};
}

std::string_view WineFileLayout::append(std::string_view text, std::string_view more) {
    auto start = const_cast<char*>(text.data());
    if (text.empty() || !texts.extend(start, text.size(), text.size() + more.size()))
        return keep({text, more});
    std::copy(more.begin(), more.end(), start + text.size());
    return {start, text.size() + more.size()};
}

} // namespace moxalo::registry
