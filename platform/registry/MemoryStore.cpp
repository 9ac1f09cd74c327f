#include "platform/registry/MemoryStore.h"

#include "platform/registry/NameFold.h"

#include <algorithm>

namespace moxalo::registry {

namespace {

auto siblingPosition(std::vector<std::unique_ptr<MemoryStore::Node>>& children,
                     const std::string& folded) {
    return std::lower_bound(children.begin(), children.end(), folded,
                            [](const std::unique_ptr<MemoryStore::Node>& c, const std::string& f) {
                                return c->folded < f;
                            });
}

// Below this many values a key is searched name by name; above it, through an index, so that
// loading a key with very many values stays linear.
constexpr std::size_t kIndexedValues = 32;

} // namespace

std::size_t MemoryStore::valuePosition(Node& key, std::string_view name) {
    auto& values = key.values;
    if (values.size() < kIndexedValues) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (sameName(values[i].first, name))
                return i;
        }
        return values.size();
    }
    if (key.valuePositions.size() != values.size()) {
        key.valuePositions.clear();
        for (std::size_t i = 0; i < values.size(); ++i)
            key.valuePositions.emplace(foldName(values[i].first), i);
    }
    auto it = key.valuePositions.find(foldName(name));
    return it == key.valuePositions.end() ? values.size() : it->second;
}

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
    Node& n = *node(key);
    std::size_t i = valuePosition(n, name);
    if (i == n.values.size())
        return std::nullopt;
    return n.values[i].second;
}

std::string_view MemoryStore::valueName(NodeId key, std::size_t index) {
    return node(key)->values.at(index).first;
}

RegValue MemoryStore::valueAt(NodeId key, std::size_t index) {
    return node(key)->values.at(index).second;
}

std::optional<std::string> MemoryStore::whyReadOnly() {
    return readOnlyReason_;
}

void MemoryStore::recordUndo(std::function<void()> undo) {
    if (keepUndo_)
        undo_.push_back(std::move(undo));
}

void MemoryStore::discardChanges() {
    bool was = keepUndo_;
    keepUndo_ = false;
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
        (*it)();
    undo_.clear();
    keepUndo_ = was;
}

void MemoryStore::attach(Node* parent, std::unique_ptr<Node> child) {
    child->parent = parent;
    Node* raw = child.get();
    auto pos = std::upper_bound(parent->children.begin(), parent->children.end(), raw->folded,
                                [](const std::string& folded, const std::unique_ptr<Node>& c) {
                                    return folded < c->folded;
                                });
    parent->children.insert(pos, std::move(child));
    parent->byFoldedName.emplace(raw->folded, raw);
}

std::unique_ptr<MemoryStore::Node> MemoryStore::detach(Node* child) {
    Node* parent = child->parent;
    parent->byFoldedName.erase(child->folded);
    auto pos = siblingPosition(parent->children, child->folded);
    while (pos->get() != child)
        ++pos;
    std::unique_ptr<Node> owned = std::move(*pos);
    parent->children.erase(pos);
    owned->parent = nullptr;
    return owned;
}

void MemoryStore::retire(std::unique_ptr<Node> n) {
    deleted_.push_back(std::move(n));
}

std::unique_ptr<MemoryStore::Node> MemoryStore::unretire(Node* n) {
    auto it = std::find_if(deleted_.rbegin(), deleted_.rend(),
                           [n](const std::unique_ptr<Node>& d) { return d.get() == n; });
    std::unique_ptr<Node> owned = std::move(*it);
    deleted_.erase(std::next(it).base());
    return owned;
}

NodeId MemoryStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != kNoNode)
        return existing;
    if (name.empty() || name.find('\\') != std::string_view::npos)
        throw StoreError(origin_ + ": invalid key name \"" + std::string(name) + "\"");
    auto child = std::make_unique<Node>();
    child->name = std::string(name);
    child->listed = true;
    child->folded = foldName(name);
    Node* raw = child.get();
    attach(node(parent), std::move(child));
    recordUndo([this, raw] { retire(detach(raw)); });
    return id(raw);
}

void MemoryStore::setValue(NodeId key, std::string_view name, const RegValue& value) {
    Node& n = *node(key);
    auto& values = n.values;
    if (std::size_t i = valuePosition(n, name); i < values.size()) {
        recordUndo([&values, i, old = values[i].second] { values[i].second = old; });
        values[i].second = value; // the name keeps the spelling it already had
        return;
    }
    values.emplace_back(std::string(name), value);
    if (!n.valuePositions.empty())
        n.valuePositions.emplace(foldName(name), values.size() - 1);
    recordUndo([&n] {
        n.valuePositions.erase(foldName(n.values.back().first));
        n.values.pop_back();
    });
}

void MemoryStore::deleteValue(NodeId key, std::string_view name) {
    Node& n = *node(key);
    std::size_t i = valuePosition(n, name);
    if (i == n.values.size())
        return;
    auto& values = n.values;
    recordUndo([&n, i, old = values[i]] {
        n.values.insert(n.values.begin() + static_cast<std::ptrdiff_t>(i), old);
        n.valuePositions.clear();
    });
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(i));
    n.valuePositions.clear();
}

void MemoryStore::deleteKey(NodeId parent, std::string_view name) {
    NodeId doomed = findChild(parent, name);
    if (doomed == kNoNode)
        return;
    retire(detach(node(doomed)));
    recordUndo([this, parent, doomed] { attach(node(parent), unretire(node(doomed))); });
}

NodeId MemoryStore::createPath(std::string_view path) {
    NodeId at = rootNode();
    std::size_t start = 0;
    auto list = [this](NodeId key, bool listed) {
        if (node(key)->listed != listed)
            recordUndo([n = node(key), was = node(key)->listed] { n->listed = was; });
        node(key)->listed = listed;
    };
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            NodeId existing = findChild(at, path.substr(start, end - start));
            at = existing != kNoNode ? existing : createKey(at, path.substr(start, end - start));
            list(at, node(at)->listed && existing != kNoNode);
        }
        start = end + 1;
    }
    list(at, true);
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
