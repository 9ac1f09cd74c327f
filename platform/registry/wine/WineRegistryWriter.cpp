#include "platform/registry/wine/WineEscape.h"
#include "platform/registry/wine/WineOrder.h"
#include "platform/registry/wine/WineRegistryFile.h"
#include "platform/registry/wine/WineValueText.h"

#include <algorithm>
#include <cstdio>

namespace moxalo::registry {

namespace {

using Node = MemoryStore::Node;

// FILETIME ticks in a second.
constexpr std::uint64_t kTicksPerSecond = 10000000ull;

const WineKeyInfo* infoOf(const WineFileLayout& layout, const Node& key) {
    auto it = layout.keys.find(&key);
    return it == layout.keys.end() ? nullptr : &it->second;
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
std::vector<const Item*> inWineOrder(const std::vector<Item>& items, NameOf nameOf) {
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
    WineKeyInfo stamped;
    if (info == nullptr) {
        stampWineKey(stamped, now);
        info = &stamped;
    }
    out += "\n[" + path + "]" + info->stamp + "\n";
    for (const auto& option : info->options)
        out += option + "\n";
    for (const auto* entry : inWineOrder(key.values, [](const auto& v) { return v.first; }))
        out += formatWineValue(entry->first, entry->second);
}

} // namespace

void stampWineKey(WineKeyInfo& key, std::uint64_t now) {
    auto seconds = static_cast<unsigned>(
        now > kUnixEpochFileTime ? (now - kUnixEpochFileTime) / kTicksPerSecond : 0);
    key.stamp = " " + std::to_string(seconds);
    std::erase_if(key.options, [](const std::string& line) { return line.starts_with("#time="); });
    char time[40];
    std::snprintf(time, sizeof time, "#time=%x%08x", static_cast<unsigned>(now >> 32),
                  static_cast<unsigned>(now & 0xFFFFFFFFu));
    key.options.insert(key.options.begin(), time);
}

// Keys go out depth first, each before its subkeys, in the order the tree keeps them; a stack
// instead of recursion, as a tree built in memory may nest deeper than any file would.
std::string writeWineRegistry(MemoryStore& store, const WineFileLayout& layout, std::uint64_t now) {
    std::string out =
        layout.header.empty() ? std::string(kWineRegistryHeader) + "\n" : layout.header;
    struct Frame {
        std::vector<const std::unique_ptr<Node>*> children;
        std::string path;
        std::size_t next = 0;
    };
    auto childrenOf = [](const Node& key) {
        return inWineOrder(key.children, [](const auto& child) { return child->name; });
    };
    const Node& root = *MemoryStore::node(store.rootNode());
    if (isWritten(root, infoOf(layout, root)))
        writeSection(out, root, "", infoOf(layout, root), now);
    std::vector<Frame> stack{{childrenOf(root), "", 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.children.size()) {
            stack.pop_back();
            continue;
        }
        const Node& key = **frame.children[frame.next++];
        std::string name = escapeWineText(toUtf16(key.name), "[]");
        std::string path = frame.path.empty() ? name : frame.path + "\\\\" + name;
        if (const WineKeyInfo* info = infoOf(layout, key); isWritten(key, info))
            writeSection(out, key, path, info, now);
        stack.push_back({childrenOf(key), std::move(path), 0});
    }
    return out;
}

} // namespace moxalo::registry
