#include "platform/registry/MemoryStore.h"

#include "platform/registry/NameFold.h"

#include <algorithm>

namespace moxalo::registry {

MemoryStore::MemoryStore(std::string origin) : origin_(std::move(origin)) {}

NodeId MemoryStore::findChild(NodeId parent, std::string_view name) {
    auto& index = node(parent)->byFoldedName;
    auto it = index.find(foldName(name));
    return it == index.end() ? kNoNode : id(it->second);
}

std::string_view MemoryStore::childName(NodeId key, std::size_t index) {
    return node(key)->children.at(index)->name;
}

NodeId MemoryStore::childAt(NodeId key, std::size_t index) {
    return id(node(key)->children.at(index).get());
}

std::optional<RegValue> MemoryStore::findValue(NodeId key, std::string_view name) {
    for (const auto& [valueName, value] : node(key)->values) {
        if (sameName(valueName, name))
            return value;
    }
    return std::nullopt;
}

std::vector<std::string> MemoryStore::valueNames(NodeId key) {
    std::vector<std::string> names;
    for (const auto& entry : node(key)->values)
        names.push_back(entry.first);
    return names;
}

std::optional<std::string> MemoryStore::whyReadOnly() {
    return readOnlyReason_;
}

NodeId MemoryStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != kNoNode)
        return existing;
    if (name.empty() || name.find('\\') != std::string_view::npos)
        throw StoreError(origin_ + ": invalid key name \"" + std::string(name) + "\"");
    Node* p = node(parent);
    auto child = std::make_unique<Node>();
    child->name = std::string(name);
    child->parent = p;
    child->listed = true;
    child->folded = foldName(name);
    Node* raw = child.get();
    auto pos = std::upper_bound(p->children.begin(), p->children.end(), raw->folded,
                                [](const std::string& folded, const std::unique_ptr<Node>& c) {
                                    return folded < c->folded;
                                });
    p->children.insert(pos, std::move(child));
    p->byFoldedName.emplace(raw->folded, raw);
    return id(raw);
}

void MemoryStore::setValue(NodeId key, std::string_view name, const RegValue& value) {
    for (auto& [valueName, stored] : node(key)->values) {
        if (sameName(valueName, name)) {
            stored = value; // the name keeps the spelling it already had
            return;
        }
    }
    node(key)->values.emplace_back(std::string(name), value);
}

void MemoryStore::deleteValue(NodeId key, std::string_view name) {
    auto& values = node(key)->values;
    std::erase_if(values, [&](const auto& entry) { return sameName(entry.first, name); });
}

void MemoryStore::deleteKey(NodeId parent, std::string_view name) {
    Node* p = node(parent);
    auto it = p->byFoldedName.find(foldName(name));
    if (it == p->byFoldedName.end())
        return;
    Node* doomed = it->second;
    p->byFoldedName.erase(it);
    auto pos = std::lower_bound(p->children.begin(), p->children.end(), doomed->folded,
                                [](const std::unique_ptr<Node>& c, const std::string& folded) {
                                    return c->folded < folded;
                                });
    deleted_.push_back(std::move(*pos));
    p->children.erase(pos);
    doomed->parent = nullptr;
}

NodeId MemoryStore::createPath(std::string_view path) {
    NodeId at = rootNode();
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            NodeId existing = findChild(at, path.substr(start, end - start));
            at = existing != kNoNode ? existing : createKey(at, path.substr(start, end - start));
            node(at)->listed = node(at)->listed && existing != kNoNode;
        }
        start = end + 1;
    }
    node(at)->listed = true;
    return at;
}

NodeId MemoryStore::findPath(NodeId from, std::string_view path) {
    NodeId at = from;
    std::size_t start = 0;
    while (at != kNoNode && start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            at = findChild(at, path.substr(start, end - start));
        start = end + 1;
    }
    return at;
}

} // namespace moxalo::registry
