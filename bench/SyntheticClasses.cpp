#include "bench/SyntheticClasses.h"

#include "base/NameFold.h"
#include "bench/Dice.h"
#include "bench/SyntheticKeys.h"

#include <algorithm>

namespace moxalo::bench {

using registry::MemoryStore;
using registry::NodeId;

namespace {

// One extension in this many names the type of the one before it, as .htm and .html share one.
constexpr std::size_t kSharedTypeOneIn = 8;
// One extension in this many has no default value and so no type, as many real ones have none.
constexpr std::size_t kUntypedOneIn = 25;

enum class Kind { Extension, Type, ClassId, ProgId };

struct RootKey {
    std::string name;
    Kind kind;
    std::size_t number;
    std::string typeName; // of an extension
};

void planExtensions(const ClassesShape& shape, Dice& dice, std::vector<RootKey>& roots) {
    std::string lastType;
    for (std::size_t n = 1; n <= shape.extensions; ++n) {
        bool untyped = dice.below(kUntypedOneIn) == 0;
        bool shared = !lastType.empty() && dice.below(kSharedTypeOneIn) == 0;
        std::string type = untyped ? "" : shared ? lastType : numbered("ext%04zufile", n);
        roots.push_back({numbered(".ext%04zu", n), Kind::Extension, n, type});
        if (!untyped && !shared)
            roots.push_back({type, Kind::Type, n, {}});
        if (!untyped)
            lastType = type;
    }
}

void planOthers(std::size_t count, Dice& dice, std::vector<RootKey>& roots) {
    for (std::size_t n = 1; n <= count; ++n) {
        if (n % 2 == 1)
            roots.push_back({classId(n, dice), Kind::ClassId, n, {}});
        else
            roots.push_back({progIdName(n, dice), Kind::ProgId, n, {}});
    }
}

// The root keys in the registry's order (by upper-cased name), so that each is appended.
std::vector<RootKey> planRoots(const ClassesShape& shape, Dice& dice) {
    std::vector<RootKey> roots;
    planExtensions(shape, dice, roots);
    if (roots.size() > shape.rootKeys)
        throw registry::StoreError(std::to_string(shape.rootKeys) + " root keys cannot hold " +
                                   std::to_string(shape.extensions) + " extensions and their " +
                                   std::to_string(roots.size() - shape.extensions) +
                                   " types; ask for at least " + std::to_string(roots.size()));
    planOthers(shape.rootKeys - roots.size(), dice, roots);
    std::vector<std::pair<std::string, std::size_t>> order;
    for (std::size_t i = 0; i < roots.size(); ++i)
        order.emplace_back(registry::foldName(roots[i].name), i);
    std::sort(order.begin(), order.end());
    std::vector<RootKey> sorted;
    for (const auto& entry : order)
        sorted.push_back(std::move(roots[entry.second]));
    return sorted;
}

void writeRoot(MemoryStore& store, NodeId key, const RootKey& root, const ClassesShape& shape,
               Dice& dice) {
    switch (root.kind) {
    case Kind::Extension:
        writeExtensionKey(store, key, {root.name, root.typeName, shape.openWithShare}, dice);
        break;
    case Kind::Type:
        writeTypeKey(store, key, root.number, shape.verbs, dice);
        break;
    case Kind::ClassId:
        writeClsidKey(store, key, root.number, dice);
        break;
    case Kind::ProgId:
        writeProgIdKey(store, key, root.number, dice);
        break;
    }
}

} // namespace

void buildClasses(MemoryStore& store, NodeId classes, const ClassesShape& shape) {
    Dice dice(shape.seed);
    for (const RootKey& root : planRoots(shape, dice))
        writeRoot(store, store.createKey(classes, root.name), root, shape, dice);
}

} // namespace moxalo::bench
