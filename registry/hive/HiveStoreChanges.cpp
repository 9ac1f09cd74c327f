// The changing half of HiveStore: changes go to a second, writable libhivex handle of the
// same file, which save() commits beside the file and renames over it.

#include "base/AtomicFile.h"
#include "base/Utf16.h"
#include "registry/PendingFileSave.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <unistd.h>

namespace moxalo::hive {

using registry::NodeId;

std::optional<std::string> HiveStore::whyReadOnly() {
    // A hive kept read-only (a dirty one) says so before the file is asked.
    if (inMemory_ || keptReadOnly_)
        return readOnlyBecause_;
    std::string reason = fs::whyNotWritable(path_);
    if (reason.empty())
        return std::nullopt;
    return reason;
}

hive_h* HiveStore::writer() {
    if (writer_)
        return writer_.get();
    if (inMemory_ || keptReadOnly_)
        refuseKeptReadOnly();
    if (auto reason = whyReadOnly()) {
        // The reason names the file, or its folder only.
        bool namesFile = reason->find(path_) != std::string::npos;
        throw registry::StoreError(namesFile ? *reason : path_ + ": " + *reason);
    }
    writer_ = openHive(path_, HIVEX_OPEN_WRITE);
    reader_.reset();
    liListers();
    unsafeKeys();
    // From here on the mapped file no longer shows the hive as it is.
    mapping_.reset();
    children_.clear();
    values_.clear();
    return writer_.get();
}

hive_node_h HiveStore::addChild(hive_node_h parent, const std::string& name) {
    return addKey(writer(), parent, name, path_);
}

NodeId HiveStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != registry::kNoNode)
        return existing;
    if (name.empty() || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos ||
        text::utf8ToUtf16le(name).size() > 2 * registry::MAX_KEY_NAME)
        throw registry::StoreError(path_ + ": invalid key name \"" + std::string(name) + "\"");
    std::string text(name);
    if (const auto& unnamed = children(parent).unnamed; unnamed && unnamed->contains(name))
        throw registry::StoreError(path_ + ": cannot add the key \"" + text +
                                   "\": a damaged key is listed under this name");
    refuseIfUnsafe(parent, "cannot add the key \"" + text + "\" to " + keyLabel(parent));
    if (std::size_t count = children(parent).nodes.size(); count >= layout::kMaxReadableSubkeys)
        throw registry::StoreError(path_ + ": cannot add the key \"" + text + "\" to " +
                                   keyLabel(parent) + ": it has " + std::to_string(count) +
                                   " subkeys, the most a hive can be read with");
    writer(); // before the subkeys are looked at: opening the writer forgets what was read
    Children& known = children(parent);
    if (!holders_.find(parent) && known.nodes.size() >= kDirectSubkeys && known.damaged.empty() &&
        !known.unnamed)
        holders_.start(parent, {known.nodes.begin(), known.nodes.end()},
                       {known.names.begin(), known.names.end()});
    hive_node_h child =
        holders_.find(parent) ? holders_.add(writer(), parent, text) : addChild(parent, text);
    known.nodes.push_back(child);
    known.names.push_back(keep(known.kept, std::move(text)));
    known.byName.added(known.names);
    return child;
}

ChangedValues& HiveStore::valuesToChange(NodeId key) {
    if (ChangedValues* changed = changedValuesOf(key))
        return *changed;
    refuseIfUnsafe(key, "the values of " + keyLabel(key) + " cannot be changed");
    writer(); // before the values are read: opening the writer forgets what was read
    ChangedValues changed;
    for (const Value& v : values(key)) {
        if (!v.damage.empty())
            throw registry::StoreError(path_ + ": the values of " + keyLabel(key) +
                                       " cannot be changed: one of their names cannot be read");
        changed.keep(std::string(v.name), valueData(v.handle));
    }
    values_.erase(key); // known from the changed values until the save writes them
    return changedValues_.emplace(key, std::move(changed)).first->second;
}

void HiveStore::setValue(NodeId key, std::string_view name, const registry::RegValue& value) {
    if (name.find('\0') != std::string_view::npos)
        throw registry::StoreError(path_ + ": invalid value name");
    // Refused here rather than when the save writes the key, where the whole save would fail.
    if (std::size_t size = value.data.size(); size > layout::kMaxWritableValueData)
        throw registry::StoreError(
            path_ + ": cannot set the value \"" + std::string(name) + "\" of " + keyLabel(key) +
            ": its data has " + std::to_string(size) + " bytes, more than the " +
            std::to_string(layout::kMaxWritableValueData) + " a hive value can be written with");
    ChangedValues& changed = valuesToChange(key);
    if (std::size_t count = changed.size();
        count >= layout::kMaxReadableValues && !changed.find(name))
        throw registry::StoreError(path_ + ": cannot add the value \"" + std::string(name) +
                                   "\" to " + keyLabel(key) + ": it has " + std::to_string(count) +
                                   " values, the most a hive can be read with");
    changed.set(name, value);
    writeIfFew(key, changed);
}

void HiveStore::deleteValue(NodeId key, std::string_view name) {
    if (!findValue(key, name))
        return;
    ChangedValues& changed = valuesToChange(key);
    changed.remove(name);
    writeIfFew(key, changed);
}

// A key of a few values is written at once, for no more than a batch of them would cost, and
// holds no memory until the save: an import of a whole registry changes every key. One of more
// values gathers its changes, and the save writes its list once.
void HiveStore::writeIfFew(NodeId key, ChangedValues& changed) {
    constexpr std::size_t kValuesWrittenAtOnce = 8;
    if (changed.size() >= kValuesWrittenAtOnce)
        return;
    writeValues(key, changed);
    changedValues_.erase(key);
}

// Each changed key's values are written once, as one new list.
void HiveStore::writeChangedValues() {
    for (auto it = changedValues_.begin(); it != changedValues_.end();
         it = changedValues_.erase(it))
        writeValues(it->first, it->second);
}

void HiveStore::writeValues(NodeId key, ChangedValues& changed) {
    const std::vector<ChangedValues::Entry>& values = changed.inOrder();
    std::vector<hive_set_value> set;
    set.reserve(values.size());
    for (const ChangedValues::Entry& entry : values) {
        hive_set_value& v = set.emplace_back();
        v.key = const_cast<char*>(entry.name.c_str());
        setHiveType(v, entry.value.type);
        v.len = entry.value.data.size();
        v.value = const_cast<char*>(reinterpret_cast<const char*>(entry.value.data.data()));
    }
    errno = 0;
    if (hivex_node_set_values(writer(), key, set.size(), set.data(), 0) != 0)
        fail("cannot set the values of the key \"" + keyName(key) + "\"");
    values_.erase(key);
}

void HiveStore::deleteKey(NodeId parent, std::string_view name) {
    NodeId child = findChild(parent, name);
    if (child == registry::kNoNode)
        return;
    std::vector<hive_node_h> doomed = deletableSubtree(child, name);
    hive_h* h = writer();
    errno = 0;
    if (hivex_node_delete_child(h, child) != 0)
        fail("cannot delete the key \"" + std::string(name) + "\"");
    // Cells of the deleted keys may be reused for new ones: nothing known of them may stay.
    for (hive_node_h gone : doomed) {
        children_.erase(gone);
        values_.erase(gone);
        changedValues_.erase(gone);
        holders_.forget(gone);
    }
    // The last subkey takes the place of the deleted one: the save sorts them again.
    auto drop = [child](auto& nodes, auto& names) -> std::size_t {
        auto at = std::find(nodes.begin(), nodes.end(), child);
        std::size_t i = static_cast<std::size_t>(at - nodes.begin());
        if (at == nodes.end())
            return i;
        std::swap(nodes[i], nodes.back());
        std::swap(names[i], names.back());
        nodes.pop_back();
        names.pop_back();
        return i;
    };
    if (LargeKey* large = holders_.find(parent))
        drop(large->children, large->names);
    if (auto it = children_.find(parent); it != children_.end()) {
        Children& known = it->second;
        std::size_t count = known.nodes.size();
        if (!known.damaged.empty()) {
            children_.erase(it); // read again, with the damage where it now is
        } else if (std::size_t at = drop(known.nodes, known.names); at < count) {
            known.byName.removed(at, count);
        }
    }
}

std::unique_ptr<registry::PendingSave> HiveStore::prepareSave() {
    if (!writer_)
        return nullptr;
    writeChangedValues();
    fs::PendingFile file = registry::orStoreError(fs::PendingFile::reserve(path_));
    errno = 0;
    if (hivex_commit(writer_.get(), file.temporaryPath().c_str(), 0) != 0)
        fail("cannot write the hive");
    relinkLargeKeys(file.temporaryPath(), holders_.largeKeys());
    return std::make_unique<registry::PendingFileSave>(std::move(file), [this] { reload(); });
}

void HiveStore::discardChanges() {
    // The file on disk is as it was before the first change; reading it again forgets them.
    if (writer_)
        reload();
}

void HiveStore::reload() {
    changedValues_.clear();
    holders_.clear();
    liListers_.reset();
    unsafeKeys_.reset();
    writer_.reset();
    reader_.reset();
    mapping_.reset();
    children_.clear();
    values_.clear();
    load();
}

} // namespace moxalo::hive
