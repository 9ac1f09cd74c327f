// The changing half of HiveStore: changes go to a second, writable libhivex handle of the
// same file, which save() commits beside the file and renames over it.

#include "platform/fs/AtomicFile.h"
#include "platform/registry/NameFold.h"
#include "platform/registry/PendingFileSave.h"
#include "platform/registry/Utf16.h"
#include "platform/registry/hive/HiveStore.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace moxalo::hive {

using registry::NodeId;

std::optional<std::string> HiveStore::whyReadOnly() {
    std::string reason = fs::whyNotWritable(path_);
    if (reason.empty())
        return std::nullopt;
    return reason;
}

hive_h* HiveStore::writer() {
    if (writer_)
        return writer_.get();
    if (auto reason = whyReadOnly()) {
        // The reason names the file, or its folder only.
        bool namesFile = reason->find(path_) != std::string::npos;
        throw registry::StoreError(namesFile ? *reason : path_ + ": " + *reason);
    }
    writer_ = openHive(path_, HIVEX_OPEN_WRITE);
    // From here on the mapped file no longer shows the hive as it is.
    mapping_.reset();
    children_.clear();
    values_.clear();
    return writer_.get();
}

NodeId HiveStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != registry::kNoNode)
        return existing;
    if (name.empty() || name.find('\\') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos ||
        registry::utf8ToUtf16le(name).size() > 2 * registry::MAX_KEY_NAME)
        throw registry::StoreError(path_ + ": invalid key name \"" + std::string(name) + "\"");
    std::string text(name);
    hive_h* h = writer();
    errno = 0;
    hive_node_h child = hivex_node_add_child(h, parent, text.c_str());
    if (child == 0)
        fail("cannot add the key \"" + text + "\"");
    children_.erase(parent);
    return child;
}

HiveStore::NamedValues HiveStore::allValues(NodeId key) {
    NamedValues all;
    for (const Value& v : values(key))
        all.emplace_back(v.name, valueData(v.handle));
    return all;
}

void HiveStore::replaceValues(NodeId key, const NamedValues& values) {
    std::vector<hive_set_value> set;
    for (const auto& [name, value] : values) {
        auto* data = reinterpret_cast<const char*>(value.data.data());
        hive_set_value& v = set.emplace_back();
        v.key = const_cast<char*>(name.c_str());
        setHiveType(v, value.type);
        v.len = value.data.size();
        v.value = const_cast<char*>(data);
    }
    errno = 0;
    if (hivex_node_set_values(writer(), key, set.size(), set.data(), 0) != 0)
        fail("cannot set the values of the key \"" + keyName(key) + "\"");
    values_.erase(key);
}

void HiveStore::setValue(NodeId key, std::string_view name, const registry::RegValue& value) {
    if (name.find('\0') != std::string_view::npos)
        throw registry::StoreError(path_ + ": invalid value name");
    writer();
    NamedValues all = allValues(key);
    auto same = [&](const auto& entry) { return registry::sameName(entry.first, name); };
    if (auto it = std::find_if(all.begin(), all.end(), same); it != all.end())
        it->second = value; // the name keeps the spelling it already had
    else
        all.emplace_back(std::string(name), value);
    replaceValues(key, all);
}

void HiveStore::deleteValue(NodeId key, std::string_view name) {
    if (!findValue(key, name))
        return;
    writer();
    NamedValues all = allValues(key);
    std::erase_if(all, [&](const auto& entry) { return registry::sameName(entry.first, name); });
    replaceValues(key, all);
}

void HiveStore::deleteKey(NodeId parent, std::string_view name) {
    NodeId child = findChild(parent, name);
    if (child == registry::kNoNode)
        return;
    hive_h* h = writer();
    errno = 0;
    if (hivex_node_delete_child(h, child) != 0)
        fail("cannot delete the key \"" + std::string(name) + "\"");
    // Cells of the deleted keys may be reused for new ones, so no cached key can be trusted.
    children_.clear();
    values_.clear();
}

std::unique_ptr<registry::PendingSave> HiveStore::prepareSave() {
    if (!writer_)
        return nullptr;
    auto file = fs::PendingFile::reserve(path_);
    errno = 0;
    if (hivex_commit(writer_.get(), file.temporaryPath().c_str(), 0) != 0)
        fail("cannot write the hive");
    return std::make_unique<registry::PendingFileSave>(std::move(file), [this] { reload(); });
}

void HiveStore::discardChanges() {
    // The file on disk is as it was before the first change; reading it again forgets them.
    if (writer_)
        reload();
}

void HiveStore::reload() {
    writer_.reset();
    reader_.reset();
    mapping_.reset();
    children_.clear();
    values_.clear();
    load();
}

} // namespace moxalo::hive
