#include "registry/hive/HiveStore.h"

#include "base/NameFold.h"
#include "registry/UnnameableKey.h"
#include "registry/hive/HiveLayout.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_set>

namespace moxalo::hive {

using registry::NodeId;

std::unique_ptr<HiveStore> HiveStore::open(const std::string& path,
                                           const std::string& holderKeyPrefix) {
    std::unique_ptr<HiveStore> store(new HiveStore(path, holderKeyPrefix));
    store->load();
    return store;
}

std::unique_ptr<HiveStore> HiveStore::fromBytes(std::span<const std::uint8_t> bytes,
                                                const std::string& name) {
    std::unique_ptr<HiveStore> store(new HiveStore(name, {}));
    store->inMemory_ = true;
    store->loaded(std::make_unique<HiveMapping>(bytes, name));
    return store;
}

std::unique_ptr<HiveStore> HiveStore::fromBytes(std::vector<std::uint8_t> bytes,
                                                const std::string& name) {
    std::unique_ptr<HiveStore> store(new HiveStore(name, {}));
    store->inMemory_ = true;
    store->loaded(std::make_unique<HiveMapping>(std::move(bytes), name));
    return store;
}

HiveStore::HiveStore(std::string path, std::string holderKeyPrefix)
    : path_(std::move(path)), holders_(std::move(holderKeyPrefix), path_) {}

void HiveStore::load() {
    loaded(std::make_unique<HiveMapping>(path_));
}

void HiveStore::loaded(std::unique_ptr<HiveMapping> mapping) {
    mapping_ = std::move(mapping);
    damage_ = mapping_->damage();
    keyListedTwice_ = mapping_->keyListedTwice();
    unnameableKey_ = mapping_->unnameableKey();
    strayListings_ = mapping_->subkeyListDamaged();
}

hive_h* HiveStore::hive() {
    if (writer_)
        return writer_.get();
    if (inMemory_)
        refuseKeptReadOnly();
    if (!reader_)
        reader_ = openHive(path_, 0);
    return reader_.get();
}

void HiveStore::refuseKeptReadOnly() const {
    bool namesFile = readOnlyBecause_.find(path_) != std::string::npos;
    throw registry::AccessDenied(namesFile ? readOnlyBecause_ : path_ + ": " + readOnlyBecause_);
}

// What cannot be read may be so because another program changed the file meanwhile.
void HiveStore::fail(const std::string& what) const {
    if (mapping_)
        mapping_->checkUnchanged();
    failWithErrno(path_, what);
}

NodeId HiveStore::rootNode() {
    if (mapping_)
        return mapping_->root();
    errno = 0;
    hive_node_h root = hivex_root(hive());
    if (root == 0)
        fail("the root key is missing or damaged");
    return root;
}

std::string HiveStore::keyName(hive_node_h node) {
    errno = 0;
    if (mapping_) {
        std::string decoded;
        if (auto name = mapping_->keyName(node, decoded))
            return std::string(*name);
        fail("cannot read the name of the key at offset " + hexOffset(node));
    }
    Owned<char> name(hivex_node_name(hive(), node));
    if (!name)
        fail("cannot read the name of the key at offset " + hexOffset(node));
    // The name goes on past a NUL in it, which a damaged hive's name may hold.
    std::size_t length = hivex_node_name_len(hive(), node);
    return std::string(name.get(), std::max(length, std::strlen(name.get())));
}

std::string HiveStore::keyLabel(hive_node_h node) {
    try {
        return "the key \"" + keyName(node) + "\"";
    } catch (const registry::StoreError&) {
        return "the key at offset " + hexOffset(node);
    }
}

bool HiveStore::libhivexList(std::size_t* (*read)(hive_h*, hive_node_h), hive_node_h key,
                             std::vector<std::size_t>& list) {
    Owned<std::size_t> handles(read(hive(), key));
    if (!handles)
        return false;
    for (const std::size_t* p = handles.get(); *p != 0; ++p)
        list.push_back(*p);
    return true;
}

// A damaged subkey list can lead to any key, even one above; the key's own record of its
// parent tells.

bool HiveStore::belongsUnder(hive_node_h parent, hive_node_h child) {
    errno = 0;
    std::size_t owner =
        mapping_ ? mapping_->keyParent(child).value_or(0) : hivex_node_parent(hive(), child);
    return owner == parent;
}

std::string_view HiveStore::keep(std::forward_list<std::string>& kept, std::string text) {
    kept.push_front(std::move(text));
    return kept.front();
}

std::string_view HiveStore::listedName(hive_node_h parent, hive_node_h child, Children& into) {
    std::string_view name;
    if (mapping_) {
        std::string decoded;
        errno = 0;
        auto read = mapping_->keyName(child, decoded);
        if (!read)
            fail("cannot read the name of the key at offset " + hexOffset(child));
        name = read->data() == decoded.data() ? keep(into.kept, std::move(decoded)) : *read;
    } else {
        name = keep(into.kept, keyName(child));
    }
    if (name.empty())
        fail("the key at offset " + hexOffset(child) + " under " + keyLabel(parent) +
             " has an empty name");
    return name;
}

HiveStore::Children& HiveStore::children(NodeId key) {
    if (auto it = children_.find(key); it != children_.end())
        return it->second;
    if (const LargeKey* large = holders_.find(key)) {
        Children known(&memory_);
        known.nodes.assign(large->children.begin(), large->children.end());
        for (const std::string& name : large->names)
            known.names.push_back(keep(known.kept, name));
        return children_.emplace(key, std::move(known)).first->second;
    }
    std::vector<hive_node_h> list;
    errno = 0;
    bool read =
        mapping_ ? mapping_->subkeys(key, list) : libhivexList(hivex_node_children, key, list);
    if (!read && errno == ERANGE) // libhivex's only reason for this is the subkeys' count
        throw registry::StoreError(
            path_ + ": cannot read the subkeys of " + keyLabel(key) + ": it has more than " +
            std::to_string(layout::kMaxReadableSubkeys) + ", the most that can be read");
    if (!read)
        fail("cannot read the subkeys of " + keyLabel(key));
    // A key is listed only under the key it belongs to, and once, and the root never, whatever
    // its record names: the damage was told on opening, and each walk of the tree then meets
    // every key once, and ends. Only a hive with a damaged subkey list need be looked at so.
    const hive_node_h root = rootNode();
    Children found(&memory_);
    found.nodes.reserve(list.size());
    found.names.reserve(list.size());
    std::unordered_set<hive_node_h> listed; // only where the hive lists a key twice
    for (hive_node_h node : list) {
        if (strayListings_ && (node == root || !belongsUnder(key, node) ||
                               (keyListedTwice_ && !listed.insert(node).second)))
            continue;
        found.nodes.push_back(node);
        try {
            found.names.push_back(listedName(key, node, found));
            if (unnameableKey_)
                standInIfUnnameable(found);
        } catch (const registry::StoreError& e) {
            found.damaged.emplace(found.names.size(), e.what());
            found.names.emplace_back();
        }
    }
    if (mapping_)
        mapping_->checkUnchanged();
    return children_.emplace(key, std::move(found)).first->second;
}

void HiveStore::standInIfUnnameable(Children& c) {
    std::string_view& name = c.names.back();
    if (registry::unnameableBecause(name).empty())
        return;
    name = keep(c.kept, registry::standInName(name));
    if (!c.unnamed)
        c.unnamed = std::make_unique<Children::StandIns>();
    c.unnamed->emplace(name);
}

// A key not listed yet is looked through in the mapped hive and stays unlisted: resolving one
// file type walks down a dozen keys, and a list kept of each, over thousands of types, costs
// more than all the looking. Anything unusual is left to the listing, which tells it.
std::optional<NodeId> HiveStore::scanChild(NodeId parent, std::string_view name) {
    if (!mapping_ || strayListings_ || unnameableKey_ || holders_.find(parent) ||
        children_.contains(parent))
        return std::nullopt;
    scanned_.clear();
    if (!mapping_->subkeys(parent, scanned_) || scanned_.size() > kScannedChildren)
        return std::nullopt;
    NodeId found = registry::kNoNode;
    std::string decoded;
    for (hive_node_h node : scanned_) {
        auto read = mapping_->keyName(node, decoded);
        if (!read || read->empty())
            return std::nullopt;
        if (found == registry::kNoNode && registry::sameName(*read, name))
            found = node;
    }
    mapping_->checkUnchanged();
    return found;
}

NodeId HiveStore::findChild(NodeId parent, std::string_view name) {
    if (auto scanned = scanChild(parent, name))
        return *scanned;
    Children& c = children(parent);
    // Not even a key listed beside it under the same name: the stand-in would lead there.
    if (c.unnamed && c.unnamed->contains(name))
        return registry::kNoNode;
    std::size_t i = FoldedIndex::npos;
    if (c.names.size() <= kScannedChildren && !c.byName.built()) {
        for (std::size_t at = 0; at < c.names.size() && i == FoldedIndex::npos; ++at)
            if (registry::sameName(c.names[at], name))
                i = at;
    } else {
        if (!c.byName.built())
            c.byName.build(c.names);
        i = c.byName.find(c.names, name);
    }
    return i == FoldedIndex::npos ? registry::kNoNode : c.nodes[i];
}

std::string_view HiveStore::childName(NodeId key, std::size_t index) {
    Children& c = children(key);
    if (auto it = c.damaged.find(index); it != c.damaged.end())
        throw registry::StoreError(it->second);
    return c.names.at(index);
}

NodeId HiveStore::childAt(NodeId key, std::size_t index) {
    return children(key).nodes.at(index);
}

const std::pmr::vector<HiveStore::Value>& HiveStore::values(NodeId key) {
    if (auto it = values_.find(key); it != values_.end())
        return it->second.list;
    std::vector<hive_value_h> list;
    errno = 0;
    if (mapping_ ? !mapping_->values(key, list) : !libhivexList(hivex_node_values, key, list))
        fail("cannot read the values of " + keyLabel(key));
    Values found(&memory_);
    found.list.reserve(list.size());
    for (hive_value_h value : list) {
        errno = 0;
        std::optional<std::string_view> name;
        std::string decoded;
        if (mapping_) {
            name = mapping_->valueName(value, decoded);
            if (name && name->data() == decoded.data())
                name = keep(found.kept, std::move(decoded));
        } else if (Owned<char> text{hivex_value_key(hive(), value)}) {
            name = keep(found.kept, text.get());
        }
        std::string damage;
        if (!name)
            damage = errnoMessage(path_, "cannot read a value name of " + keyLabel(key));
        found.list.push_back({name.value_or(""), value, std::move(damage)});
    }
    if (mapping_)
        mapping_->checkUnchanged();
    return values_.emplace(key, std::move(found)).first->second.list;
}

registry::RegValue HiveStore::valueData(hive_value_h value) {
    registry::RegValue result;
    errno = 0;
    if (mapping_) {
        if (!mapping_->valueData(value, result.type, result.data))
            fail("cannot read the data of a value");
        mapping_->checkUnchanged();
        return result;
    }
    // libhivex writes any 32-bit type here; it is only ever read back as bits.
    alignas(hive_type) unsigned char type[sizeof(hive_type)] = {};
    std::size_t length = 0;
    Owned<char> data(hivex_value_value(hive(), value, reinterpret_cast<hive_type*>(type), &length));
    if (!data && (errno != 0 || length != 0))
        fail("cannot read the data of a value");
    result.type = fromHiveType(reinterpret_cast<const hive_type*>(type));
    auto* bytes = reinterpret_cast<const std::uint8_t*>(data.get());
    result.data.assign(bytes, bytes + (data ? length : 0));
    return result;
}

ChangedValues* HiveStore::changedValuesOf(NodeId key) {
    auto it = changedValues_.find(key);
    return it == changedValues_.end() ? nullptr : &it->second;
}

std::optional<registry::RegValue> HiveStore::findValue(NodeId key, std::string_view name) {
    if (ChangedValues* changed = changedValuesOf(key)) {
        const registry::RegValue* value = changed->find(name);
        return value ? std::optional(*value) : std::nullopt;
    }
    if (auto scanned = scanValue(key, name))
        return *scanned;
    for (const Value& v : values(key)) {
        if (v.damage.empty() && registry::sameName(v.name, name))
            return valueData(v.handle);
    }
    return std::nullopt;
}

// As scanChild, for a value of a key whose values are not listed yet.
std::optional<std::optional<registry::RegValue>> HiveStore::scanValue(NodeId key,
                                                                      std::string_view name) {
    if (!mapping_ || values_.contains(key))
        return std::nullopt;
    scanned_.clear();
    if (!mapping_->values(key, scanned_) || scanned_.size() > kScannedChildren)
        return std::nullopt;
    std::optional<hive_value_h> found;
    std::string decoded;
    for (hive_value_h value : scanned_) {
        auto read = mapping_->valueName(value, decoded);
        if (!read)
            return std::nullopt;
        if (!found && registry::sameName(*read, name))
            found = value;
    }
    mapping_->checkUnchanged();
    if (!found)
        return std::optional<registry::RegValue>{};
    return std::optional(valueData(*found));
}

std::size_t HiveStore::valueCount(NodeId key) {
    if (ChangedValues* changed = changedValuesOf(key))
        return changed->size();
    return values(key).size();
}

std::string_view HiveStore::valueName(NodeId key, std::size_t index) {
    if (ChangedValues* changed = changedValuesOf(key))
        return changed->at(index).name;
    const Value& v = values(key).at(index);
    if (!v.damage.empty())
        throw registry::StoreError(v.damage);
    return v.name;
}

registry::RegValue HiveStore::valueAt(NodeId key, std::size_t index) {
    if (ChangedValues* changed = changedValuesOf(key))
        return changed->at(index).value;
    const Value& v = values(key).at(index);
    if (!v.damage.empty())
        throw registry::StoreError(v.damage);
    return valueData(v.handle);
}

std::optional<std::uint64_t> HiveStore::lastWritten(NodeId key) {
    if (mapping_)
        return mapping_->keyTime(key);
    errno = 0;
    std::int64_t time = hivex_node_timestamp(hive(), key);
    if (time == -1 && errno != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(time);
}

std::optional<std::string> HiveStore::ownerSid(NodeId key) {
    return mapping_ ? mapping_->keyOwner(key) : std::nullopt;
}

std::optional<std::string> HiveStore::rootName() {
    try {
        return keyName(rootNode());
    } catch (const registry::StoreError&) {
        return std::nullopt;
    }
}

void HiveStore::forget(NodeId key) {
    children_.erase(key);
    values_.erase(key);
}

} // namespace moxalo::hive
