#include "registry/wine/WineEscape.h"
#include "registry/wine/WineOrder.h"
#include "registry/wine/WineRegistryFile.h"
#include "registry/wine/WineValueText.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace moxalo::registry {

namespace {

using Node = MemoryStore::Node;

// FILETIME ticks in a second.
constexpr std::uint64_t kTicksPerSecond = 10000000ull;

const WineKeyInfo* infoOf(const WineFileLayout& layout, const Node& key) {
    return layout.keys.find(&key);
}

// wineserver leaves out keys that hold nothing but subkeys: they exist through their children.
// The root is left out unless it holds something, where wineserver would write an empty "[]".
bool isWritten(const Node& key, const WineKeyInfo* info) {
    if (info != nullptr && info->placeholder)
        return false;
    bool special = info != nullptr && (info->hasClass || info->isLink);
    bool leaf = key.children.empty() && key.parent != nullptr;
    return key.listed || !key.values.empty() || leaf || special;
}

// The store keeps subkeys in Windows' order and values in the order they were set; the file
// has both in wineserver's order.
template <typename Item, typename NameOf>
std::vector<const Item*> inWineOrder(const ArenaList<Item>& items, NameOf nameOf) {
    std::vector<std::pair<std::u16string, const Item*>> keyed;
    keyed.reserve(items.size());
    for (const auto& item : items)
        keyed.emplace_back(wineSortKey(nameOf(item)), &item);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const Item*> ordered;
    ordered.reserve(keyed.size());
    for (const auto& entry : keyed)
        ordered.push_back(entry.second);
    return ordered;
}

void writeSection(std::string& out, const Node& key, const std::string& path,
                  const WineKeyInfo* info, std::uint64_t now) {
    std::optional<WineFileLayout> scratch; // what a key the layout lacks is stamped with
    WineKeyInfo stamped;
    if (info == nullptr) {
        stampWineKey(scratch.emplace(), stamped, now);
        info = &stamped;
    }
    out += "\n[";
    out += path;
    out += "]";
    out += info->lines;
    for (const auto* entry : inWineOrder(key.values, [](const auto& v) { return v.name; }))
        out += formatWineValue(entry->name, entry->value());
}

} // namespace

void stampWineKey(WineFileLayout& layout, WineKeyInfo& key, std::uint64_t now) {
    auto seconds = static_cast<unsigned>(
        now > kUnixEpochFileTime ? (now - kUnixEpochFileTime) / kTicksPerSecond : 0);
    char time[40];
    std::snprintf(time, sizeof time, "#time=%x%08x\n", static_cast<unsigned>(now >> 32),
                  static_cast<unsigned>(now & 0xFFFFFFFFu));
    std::string lines = " " + std::to_string(seconds) + "\n" + time;
    std::string_view options = key.lines.substr(std::min(key.lines.find('\n'), key.lines.size()));
    for (std::string_view rest = options.empty() ? options : options.substr(1); !rest.empty();) {
        std::size_t end = std::min(rest.find('\n'), rest.size() - 1) + 1;
        if (!rest.starts_with("#time="))
            lines += rest.substr(0, end);
        rest.remove_prefix(end);
    }
    key.lines = layout.keep({lines});
}

// Keys go out depth first, each before its subkeys, in the order the tree keeps them; a stack
// instead of recursion, as a tree built in memory may nest deeper than any file would.
std::string writeWineRegistry(MemoryStore& store, const WineFileLayout& layout, std::uint64_t now) {
    std::string out =
        layout.header.empty() ? std::string(kWineRegistryHeader) + "\n" : layout.header;
    struct Frame {
        std::vector<Node* const*> children;
        std::string path;
        std::size_t next = 0;
    };
    auto childrenOf = [&store](Node& key) {
        return inWineOrder(store.children(key), [](const Node* child) { return child->name; });
    };
    Node& root = *MemoryStore::node(store.rootNode());
    if (isWritten(root, infoOf(layout, root)))
        writeSection(out, root, "", infoOf(layout, root), now);
    std::vector<Frame> stack{{childrenOf(root), "", 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.children.size()) {
            stack.pop_back();
            continue;
        }
        Node& key = **frame.children[frame.next++];
        std::string name = escapeWineText(toUtf16(key.name), "[]");
        std::string path = frame.path.empty() ? name : frame.path + "\\\\" + name;
        if (const WineKeyInfo* info = infoOf(layout, key); isWritten(key, info))
            writeSection(out, key, path, info, now);
        stack.push_back({childrenOf(key), std::move(path), 0});
    }
    return out;
}

} // namespace moxalo::registry
