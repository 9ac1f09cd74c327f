// regedit /e: a key of the registry, or all its classes, in regedit's own export format.

#include "base/AtomicFile.h"
#include "base/NameFold.h"
#include "registry/Keys.h"
#include "registry/LayeredStore.h"
#include "registry/regedit/RegFileExport.h"
#include "registry/regedit/RegFileRoots.h"
#include "registry/regedit/RegFileSize.h"
#include "tools/regedit/Actions.h"

namespace moxalo::regedit {

namespace {

using registry::ClassesLayer;
using registry::Keys;
using registry::kNoNode;
using registry::NodeId;

using regfile::kMachineClasses;
using regfile::kUserClasses;

// One side's classes as one tree: its layer, or a view merging its layers.
struct Side {
    registry::RegistryStore* store = nullptr;
    NodeId key = kNoNode;
    std::unique_ptr<registry::LayeredStore> merged;
};

Side sideOf(const registry::Registry& registry, bool user) {
    std::vector<ClassesLayer> layers;
    for (const ClassesLayer& layer : registry.layers()) {
        if (layer.user == user)
            layers.push_back(layer);
    }
    Side side;
    if (layers.size() == 1) {
        side.store = layers[0].store;
        side.key = layers[0].key;
    } else if (layers.size() > 1) {
        side.merged = std::make_unique<registry::LayeredStore>(std::move(layers));
        side.store = side.merged.get();
        side.key = side.merged->rootNode();
    }
    return side;
}

std::string keyNotFound(const std::string& key) {
    return key + ": no such key in the registry";
}

// The key a regedit path names, with everything kept alive that it needs.
struct Found {
    Side side;
    NodeId node = kNoNode;
};

Result<Found> findKey(const std::string& typed, registry::Registry& registry) {
    regfile::KeyPath path;
    if (auto read = regfile::parseKeyPath(typed, path); !read)
        return fail(typed + ": " + read.error());
    std::vector<std::string_view> names = path.names;
    Found found;
    if (path.root == regfile::kClassesRoot) {
        found.side.store = &registry.view();
        found.side.key = registry.rootKey();
    } else {
        bool user = path.root == regfile::kCurrentUser;
        bool classes = (user || path.root == regfile::kLocalMachine) && names.size() >= 2 &&
                       registry::sameName(names[0], "Software") &&
                       registry::sameName(names[1], "Classes");
        if (!classes)
            return fail(typed + ": the registry holds only HKEY_CLASSES_ROOT, " +
                        std::string(kMachineClasses) + " and " + std::string(kUserClasses));
        names.erase(names.begin(), names.begin() + 2);
        found.side = sideOf(registry, user);
        if (found.side.store == nullptr)
            return fail(typed + ": the registry has no " + (user ? "user" : "machine") +
                        " classes");
    }
    found.node = found.side.key;
    Keys keys(*found.side.store);
    for (std::string_view name : names) {
        Result<NodeId> child = keys.child(found.node, name);
        if (!child)
            return fail(child.error());
        if (*child == kNoNode)
            return fail(keyNotFound(typed));
        found.node = *child;
    }
    return found;
}

// The side or sides of the registry that an empty key names: see Actions.h.
struct Everything {
    Side machine, user;
    std::vector<regfile::ExportedKey> keys;
};

// How the store spells its subkey `name` of `at`, with the subkey; kNoNode when there is none.
Result<std::pair<NodeId, std::string>> spelledChild(const Keys& keys, NodeId at,
                                                    std::string_view name) {
    Result<NodeId> child = keys.child(at, name);
    if (!child)
        return fail(child.error());
    Result<std::size_t> count = keys.subkeyCount(at);
    if (!count)
        return fail(count.error());
    for (std::size_t i = 0; *child != kNoNode && i < *count; ++i) {
        Result<NodeId> subkey = keys.subkeyAt(at, i);
        if (!subkey)
            return fail(subkey.error());
        if (*subkey != *child)
            continue;
        Result<std::string_view> spelling = keys.subkeyName(at, i);
        if (!spelling)
            return fail(spelling.error());
        return std::pair(*child, std::string(*spelling));
    }
    return std::pair(kNoNode, std::string());
}

// The side's path as its file spells it, as Wine's regedit writes a prefix's
// (HKEY_LOCAL_MACHINE\Software\Classes); the path regedit gives it on Windows for a side that is
// not a Software\Classes key of its own store (a hive's, a merged one).
Result<std::string> spelled(const Side& side, std::string_view standard) {
    if (side.merged)
        return std::string(standard);
    std::string path(standard.substr(0, standard.find('\\')));
    Keys keys(*side.store);
    Result<NodeId> root = keys.root();
    if (!root)
        return fail(root.error());
    NodeId at = *root;
    for (std::string_view name : {"Software", "Classes"}) {
        auto child = spelledChild(keys, at, name);
        if (!child)
            return fail(child.error());
        if (child->first == kNoNode)
            return std::string(standard);
        path += "\\" + child->second;
        at = child->first;
    }
    return at == side.key ? path : std::string(standard);
}

Result<> addSide(Side& side, std::string_view standard, Everything& all) {
    if (!side.store)
        return {};
    Result<std::string> path = spelled(side, standard);
    if (!path)
        return fail(path.error());
    all.keys.push_back({side.store, side.key, std::move(*path)});
    return {};
}

Result<> everything(registry::Registry& registry, Everything& all) {
    if (registry.layers().size() == 1) {
        all.keys.push_back(
            {&registry.view(), registry.rootKey(), std::string(regfile::kClassesRoot)});
        return {};
    }
    all.machine = sideOf(registry, false);
    all.user = sideOf(registry, true);
    if (Result<> machine = addSide(all.machine, kMachineClasses, all); !machine)
        return machine;
    return addSide(all.user, kUserClasses, all);
}

// Writes the file whole or not at all.
Result<> writeExport(const std::string& file, const std::vector<regfile::ExportedKey>& keys) {
    std::string failure;
    Result<fs::PendingFile> written =
        fs::PendingFile::write(file, [&](const fs::PendingFile::Sink& sink) {
            std::size_t size = 0;
            Result<> exported = regfile::exportRegFile(keys, [&](std::string_view piece) {
                size += piece.size();
                // Stopped where the file passes what can be imported again.
                if (std::string why = regfile::whyTooLarge(regfile::kUtf16Mark, size);
                    !why.empty()) {
                    failure = file + ": not written: the export " + why;
                    return false;
                }
                return sink(piece);
            });
            if (!exported)
                failure = exported.error();
        });
    if (!failure.empty())
        return fail(failure);
    if (!written)
        return fail(written.error());
    return written->commit();
}

} // namespace

Result<> exportKey(const Request& request, registry::Registry& registry) {
    Everything all;
    Found found;
    if (request.key.empty()) {
        if (Result<> sides = everything(registry, all); !sides)
            return sides;
    } else {
        // regedit drops one trailing backslash, and so the path it writes has none.
        std::string typed = request.key;
        while (typed.ends_with('\\'))
            typed.pop_back();
        Result<Found> key = findKey(typed, registry);
        if (!key)
            return fail(key.error());
        found = std::move(*key);
        all.keys.push_back({found.side.store, found.node, typed});
    }
    return writeExport(request.file, all.keys);
}

} // namespace moxalo::regedit
