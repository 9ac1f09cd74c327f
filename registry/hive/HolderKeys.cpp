#include "registry/hive/HolderKeys.h"

#include <cerrno>

namespace moxalo::hive {

namespace {

// Subkeys per holder, and holders per holder above them. libhivex decodes every sibling's name
// to add a key, so small holders keep that short; the holders above hold more so that fewer of
// them are added to the large key itself.
constexpr std::size_t kKeysPerHolder = 8;
constexpr std::size_t kHoldersPerHolder = 32;

} // namespace

hive_node_h addKey(hive_h* h, hive_node_h parent, const std::string& name,
                   const std::string& path) {
    errno = 0;
    hive_node_h child = hivex_node_add_child(h, parent, name.c_str());
    if (child == 0)
        failWithErrno(path, "cannot add the key \"" + name + "\"");
    return child;
}

LargeKey* HolderKeys::find(hive_node_h key) {
    auto it = keys_.find(key);
    return it == keys_.end() ? nullptr : &it->second.lists;
}

void HolderKeys::start(hive_node_h key, std::vector<hive_node_h> children,
                       std::vector<std::string> names) {
    Growing growing;
    growing.lists.node = key;
    growing.lists.children = std::move(children);
    growing.lists.names = std::move(names);
    keys_.emplace(key, std::move(growing));
}

hive_node_h HolderKeys::add(hive_h* h, hive_node_h key, const std::string& name) {
    Growing& growing = keys_.at(key);
    hive_node_h child = addKey(h, holderFor(h, growing), name, path_);
    growing.lists.children.push_back(child);
    growing.lists.names.push_back(name);
    return child;
}

std::vector<LargeKey> HolderKeys::largeKeys() const {
    std::vector<LargeKey> large;
    for (const auto& entry : keys_) {
        if (!entry.second.lists.holders.empty())
            large.push_back(entry.second.lists);
    }
    return large;
}

hive_node_h HolderKeys::holderFor(hive_h* h, Growing& growing) {
    if (growing.leafRoom == 0) {
        if (growing.topRoom == 0) {
            growing.top = addHolder(h, growing, growing.lists.node);
            growing.topRoom = kHoldersPerHolder;
        }
        growing.leaf = addHolder(h, growing, growing.top);
        --growing.topRoom;
        growing.leafRoom = kKeysPerHolder;
    }
    --growing.leafRoom;
    return growing.leaf;
}

// A holder's name only has to differ from its siblings' while the file is being written.
hive_node_h HolderKeys::addHolder(hive_h* h, Growing& growing, hive_node_h parent) {
    for (;;) {
        std::string name = prefix_ + std::to_string(made_++);
        errno = 0;
        hive_node_h holder = hivex_node_add_child(h, parent, name.c_str());
        if (holder != 0) {
            growing.lists.holders.push_back(holder);
            return holder;
        }
        if (errno != EEXIST)
            failWithErrno(path_, "cannot add the key \"" + name + "\"");
    }
}

} // namespace moxalo::hive
