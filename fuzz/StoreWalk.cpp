#include "fuzz/StoreWalk.h"

#include <vector>

namespace moxalo::fuzz {

namespace {

using namespace registry;

// A hive's cells may link back to a key above; libhivex refuses such loops only when it reads
// them, so the walk bounds itself rather than trust that.
constexpr std::size_t kMaxKeys = 20000;

void readValues(RegistryStore& store, NodeId key) {
    for (std::size_t i = 0; i < store.valueCount(key); ++i) {
        try {
            store.valueName(key, i);
            store.valueAt(key, i);
        } catch (const StoreError&) {
        }
    }
}

void readChildren(RegistryStore& store, NodeId key, std::vector<NodeId>& pending) {
    for (std::size_t i = 0; i < store.childCount(key); ++i) {
        try {
            std::string name(store.childName(key, i));
            pending.push_back(store.childAt(key, i));
            store.findChild(key, name);
        } catch (const StoreError&) {
        }
    }
}

} // namespace

void walkStore(RegistryStore& store) {
    store.rootName();
    std::vector<NodeId> pending{store.rootNode()};
    for (std::size_t seen = 0; !pending.empty() && seen < kMaxKeys; ++seen) {
        NodeId key = pending.back();
        pending.pop_back();
        try {
            store.lastWritten(key);
            store.ownerSid(key);
            readValues(store, key);
            readChildren(store, key, pending);
        } catch (const StoreError&) {
        }
    }
}

} // namespace moxalo::fuzz
