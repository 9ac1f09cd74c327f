#include "catalogue/effective/KeyPaths.h"

#include "base/Utf16.h"

namespace moxalo::catalogue::effective {

using registry::kNoNode;
using registry::NodeId;

std::string joinPath(std::string_view parent, std::string_view child) {
    if (parent.empty())
        return std::string(child);
    std::string path(parent);
    path += '\\';
    path += child;
    return path;
}

std::string dottedExtension(std::string_view extension) {
    std::string ext(extension);
    if (!ext.starts_with('.'))
        ext.insert(0, 1, '.');
    return ext;
}

Place Place::below(std::string_view subpath) const {
    if (!*this || subpath.empty())
        return subpath.empty() ? *this : Place{};
    NodeId at = key;
    std::size_t start = 0;
    while (start <= subpath.size() && at != kNoNode) {
        std::size_t end = std::min(subpath.find('\\', start), subpath.size());
        if (end > start)
            at = store->findChild(at, subpath.substr(start, end - start));
        start = end + 1;
    }
    if (at == kNoNode)
        return {};
    return {store, at, joinPath(path, subpath)};
}

std::optional<std::string> Place::text(std::string_view name) const {
    if (!*this)
        return std::nullopt;
    auto value = store->findValue(key, name);
    if (!value || (value->type != registry::REG_SZ && value->type != registry::REG_EXPAND_SZ))
        return std::nullopt;
    std::string text = text::utf16leToUtf8(value->data);
    return text.substr(0, text.find('\0'));
}

std::optional<std::uint32_t> Place::number(std::string_view name) const {
    if (!*this)
        return std::nullopt;
    auto value = store->findValue(key, name);
    if (!value || value->type != registry::REG_DWORD || value->data.size() < 4)
        return std::nullopt;
    const auto& d = value->data;
    return std::uint32_t{d[0]} | std::uint32_t{d[1]} << 8 | std::uint32_t{d[2]} << 16 |
           std::uint32_t{d[3]} << 24;
}

std::optional<std::vector<std::string>> Place::strings(std::string_view name) const {
    if (!*this)
        return std::nullopt;
    auto value = store->findValue(key, name);
    if (!value || value->type != registry::REG_MULTI_SZ)
        return std::nullopt;
    std::string all = text::utf16leToUtf8(value->data);
    std::vector<std::string> list;
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = std::min(all.find('\0', start), all.size());
        if (end == start)
            break; // the empty string ends the list
        list.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return list;
}

std::vector<std::string> Place::subkeyNames() const {
    std::vector<std::string> names;
    if (*this)
        for (std::size_t i = 0, n = store->childCount(key); i < n; ++i)
            names.emplace_back(store->childName(key, i));
    return names;
}

std::vector<std::string> Place::valueNames() const {
    std::vector<std::string> names;
    if (*this)
        for (std::size_t i = 0, n = store->valueCount(key); i < n; ++i)
            names.emplace_back(store->valueName(key, i));
    return names;
}

} // namespace moxalo::catalogue::effective
