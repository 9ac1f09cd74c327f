#pragma once
// Where a writer of a hive puts the new subkeys of a key with many (see LargeKeyLists.h):
// below small holder keys, themselves below a few larger ones, each made when the last is
// full. The holders are named by the writer's prefix and a number counted over the hive, a
// name a sibling has already taken being skipped; the relinking after the commit frees them.

#include "registry/hive/HiveHandle.h"
#include "registry/hive/LargeKeyLists.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace moxalo::hive {

class HolderKeys {
public:
    // `path` names the file in messages.
    HolderKeys(std::string prefix, std::string path)
        : prefix_(std::move(prefix)), path_(std::move(path)) {}

    // The key's subkeys, as the holders hold them, or nullptr when it has no holders.
    LargeKey* find(hive_node_h key);
    // From now on the key's new subkeys go below holders; `children` and `names` are the ones
    // it has already.
    void start(hive_node_h key, std::vector<hive_node_h> children, std::vector<std::string> names);
    // Adds the subkey `name` below a holder of the started key `key`; throws
    // registry::StoreError naming the key that could not be added.
    hive_node_h add(hive_h* h, hive_node_h key, const std::string& name);
    // The keys to relink once the hive is committed.
    std::vector<LargeKey> largeKeys() const;
    // The key is gone; its holders with it.
    void forget(hive_node_h key) { keys_.erase(key); }
    // Every key forgotten; the numbering goes on, so that names stay unique.
    void clear() { keys_.clear(); }

private:
    struct Growing {
        LargeKey lists;
        hive_node_h top = 0, leaf = 0; // the holders being filled
        std::size_t topRoom = 0, leafRoom = 0;
    };

    hive_node_h holderFor(hive_h* h, Growing& growing);
    hive_node_h addHolder(hive_h* h, Growing& growing, hive_node_h parent);

    std::string prefix_;
    std::string path_;
    std::unordered_map<hive_node_h, Growing> keys_;
    std::size_t made_ = 0; // numbers the holders' names
};

// Adds the key `name` below `parent`; throws registry::StoreError "<path>: cannot add the key
// ...".
hive_node_h addKey(hive_h* h, hive_node_h parent, const std::string& name, const std::string& path);

} // namespace moxalo::hive
