#include "registry/ClassesImport.h"

#include "base/NameFold.h"
#include "registry/Attempt.h"

#include <algorithm>

namespace moxalo::registry {

namespace {

const std::string kOnlyClasses = "only " + std::string(regfile::kClassesRoot) + ", " +
                                 std::string(regfile::kMachineClasses) + " and " +
                                 std::string(regfile::kUserClasses) + " are kept";

// True when `names` start with Software\Classes; they are then taken off.
bool takeClassesPrefix(std::vector<std::string_view>& names) {
    if (names.size() < 2 || !sameName(names[0], "Software") || !sameName(names[1], "Classes"))
        return false;
    names.erase(names.begin(), names.begin() + 2);
    return true;
}

} // namespace

ClassesImport::ClassesImport(std::vector<ClassesLayer> layers) : layers_(std::move(layers)) {}

Result<ClassesImport::Scope> ClassesImport::scopeOf(const regfile::KeyPath& path) const {
    Scope scope;
    scope.names = path.names;
    std::optional<bool> side; // user, machine, or either
    if (path.root == regfile::kLocalMachine || path.root == regfile::kCurrentUser) {
        side = path.root == regfile::kCurrentUser;
        if (!takeClassesPrefix(scope.names))
            return fail(kOnlyClasses);
    } else if (path.root != regfile::kClassesRoot)
        return fail(kOnlyClasses);
    // One source alone is the whole of HKEY_CLASSES_ROOT, whichever side it is.
    bool alone = layers_.size() == 1 && !side;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (alone || !side || layers_[i].user == *side)
            scope.layers.push_back(i);
    }
    if (scope.layers.empty())
        return fail(std::string("the registry has no ") + (*side ? "user" : "machine") +
                    " classes to put it in");
    // New keys of HKEY_CLASSES_ROOT go to the machine's classes.
    auto machine = std::find_if(scope.layers.begin(), scope.layers.end(),
                                [this](std::size_t i) { return !layers_[i].user; });
    scope.createIn = machine != scope.layers.end() ? *machine : scope.layers.front();
    return scope;
}

std::vector<NodeId> ClassesImport::find(const Scope& scope, std::size_t depth) {
    std::vector<NodeId> nodes;
    for (std::size_t layer : scope.layers) {
        RegistryStore& store = *layers_[layer].store;
        NodeId at = layers_[layer].key;
        for (std::size_t i = 0; i < depth && at != kNoNode; ++i) {
            at = store.findChild(at, scope.names[i]);
            // A path leads through a link to its target, as opening it does on Windows.
            if (at != kNoNode)
                at = store.linkTarget(at).value_or(at);
        }
        nodes.push_back(at);
    }
    return nodes;
}

RegistryStore& ClassesImport::writable(std::size_t layer) {
    RegistryStore* store = layers_[layer].store;
    if (!checked_.contains(store)) {
        if (auto why = store->whyReadOnly())
            throw AccessDenied(*why);
        checked_.insert(store);
    }
    if (std::find(changed_.begin(), changed_.end(), store) == changed_.end())
        changed_.push_back(store);
    return *store;
}

Result<> ClassesImport::openKey(const regfile::KeyPath& path) {
    keyLayers_.clear();
    keyNodes_.clear();
    auto found = scopeOf(path);
    if (!found)
        return fail(found.error());
    const Scope& scope = *found;
    std::vector<NodeId> nodes = find(scope, scope.names.size());
    if (std::all_of(nodes.begin(), nodes.end(), [](NodeId n) { return n == kNoNode; })) {
        RegistryStore& store = writable(scope.createIn);
        NodeId at = layers_[scope.createIn].key;
        for (std::string_view name : scope.names) {
            NodeId child = store.findChild(at, name);
            if (child == kNoNode) {
                child = store.createKey(at, name);
                ++counts_.keysAdded;
            } else if (auto target = store.linkTarget(child); target && *target == kNoNode) {
                // Nothing is put below the link itself, where it would stop being one.
                return fail("the key " + std::string(name) +
                            " on its path is a link that leads to no key; what follows is skipped");
            } else if (target) {
                child = *target;
            }
            at = child;
        }
        auto where = std::find(scope.layers.begin(), scope.layers.end(), scope.createIn);
        nodes[static_cast<std::size_t>(where - scope.layers.begin())] = at;
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i] != kNoNode) {
            keyLayers_.push_back(scope.layers[i]);
            keyNodes_.push_back(nodes[i]);
        }
    }
    return {};
}

void ClassesImport::setValue(std::string_view name, const RegValue& value) {
    // The key's highest layer: the user's where the user has the key.
    RegistryStore& store = writable(keyLayers_.front());
    std::optional<RegValue> before = store.findValue(keyNodes_.front(), name);
    if (before == value)
        return;
    store.setValue(keyNodes_.front(), name, value);
    ++(before ? counts_.valuesChanged : counts_.valuesAdded);
}

void ClassesImport::deleteValue(std::string_view name) {
    bool deleted = false;
    for (std::size_t i = 0; i < keyLayers_.size(); ++i) {
        RegistryStore& store = *layers_[keyLayers_[i]].store;
        if (store.findValue(keyNodes_[i], name)) {
            writable(keyLayers_[i]).deleteValue(keyNodes_[i], name);
            deleted = true;
        }
    }
    counts_.valuesDeleted += deleted ? 1 : 0;
}

Result<> ClassesImport::deleteKey(const regfile::KeyPath& path) {
    keyLayers_.clear();
    keyNodes_.clear();
    auto found = scopeOf(path);
    if (!found)
        return fail(found.error());
    const Scope& scope = *found;
    if (scope.names.empty())
        return fail("the classes key itself cannot be deleted");
    std::string_view last = scope.names.back();
    std::vector<NodeId> parents = find(scope, scope.names.size() - 1);
    std::vector<std::size_t> holders;
    for (std::size_t i = 0; i < parents.size(); ++i) {
        std::size_t layer = scope.layers[i];
        if (parents[i] != kNoNode && layers_[layer].store->findChild(parents[i], last) != kNoNode)
            holders.push_back(i);
    }
    // Every layer that has the key must be writable before any loses it.
    for (std::size_t i : holders)
        writable(scope.layers[i]);
    for (std::size_t i : holders)
        layers_[scope.layers[i]].store->deleteKey(parents[i], last);
    counts_.keysDeleted += holders.empty() ? 0 : 1;
    return {};
}

Result<> ClassesImport::save() {
    Result<> saved = attempt([&] {
        std::vector<std::unique_ptr<PendingSave>> pending;
        for (RegistryStore* store : changed_) {
            if (auto save = store->prepareSave())
                pending.push_back(std::move(save));
        }
        for (auto& save : pending)
            save->commit();
    });
    if (saved)
        changed_.clear();
    return saved;
}

} // namespace moxalo::registry
