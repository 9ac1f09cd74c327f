#include "registry/MemoryStore.h"

#include "base/NameFold.h"
#include "registry/UnnameableKey.h"

#include <algorithm>

namespace moxalo::registry {

namespace {

// Below this many values a key is searched name by name; above it, through an index, so that
// loading a key with very many values stays linear.
constexpr std::size_t kIndexedValues = 32;
// Below this many subkeys a key is searched name by name, which is quicker than hashing.
constexpr std::size_t kIndexedChildren = 8;

std::string_view bytesOf(const std::vector<std::uint8_t>& data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

} // namespace

RegValue MemoryValue::value() const {
    if (decode != nullptr)
        return decode(type, data);
    auto bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    return RegValue{type, std::vector<std::uint8_t>(bytes, bytes + data.size())};
}

bool MemoryValue::operator==(const MemoryValue& other) const {
    return name == other.name && value() == other.value();
}

MemoryStore::MemoryStore(std::string origin) : origin_(std::move(origin)), root_(newNode({})) {}

MemoryStore::Node* MemoryStore::newNode(std::string_view name) {
    // Never destroyed: a node holds nothing but views and vectors of the arena.
    Node* n = new (arena_.allocate(sizeof(Node), alignof(Node))) Node();
    n->name = texts_.keep(name);
    n->serial = nodesMade_++;
    return n;
}

std::size_t MemoryStore::valuePosition(Node& key, std::string_view name) {
    auto& values = key.values;
    if (values.size() < kIndexedValues) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (sameName(values[i].name, name))
                return i;
        }
        return values.size();
    }
    auto& positions = valueIndex_[&key];
    if (positions.size() != values.size()) {
        positions.clear();
        for (std::size_t i = 0; i < values.size(); ++i)
            positions.emplace(values[i].name, i);
    }
    auto it = positions.find(name);
    return it == positions.end() ? values.size() : it->second;
}

NodeId MemoryStore::findChild(NodeId parent, std::string_view name) {
    // A stand-in leads to no key, not even to one listed beside it under the same name.
    if (!standInsBelow_.empty()) {
        auto below = standInsBelow_.find(node(parent));
        if (below != standInsBelow_.end() && below->second.contains(name))
            return kNoNode;
    }
    return childNamed(node(parent), name);
}

NodeId MemoryStore::childNamed(Node* p, std::string_view name) {
    if (p->children.size() < kIndexedChildren) {
        for (Node* child : p->children) {
            if (sameName(child->name, name))
                return id(child);
        }
        return kNoNode;
    }
    if (!p->indexed) {
        index_.reserve(p->children.size());
        for (Node* child : p->children)
            index_.insert(child);
        p->indexed = true;
    }
    Node* found = index_.find(p, name);
    return found == nullptr ? kNoNode : id(found);
}

const ArenaList<MemoryStore::Node*>& MemoryStore::children(Node& key) {
    if (key.sorted)
        return key.children;
    // Most comparisons are settled by the first eight bytes of the folded names, compared as
    // one number; only names that share them are compared whole.
    std::vector<std::pair<std::uint64_t, Node*>> keyed;
    keyed.reserve(key.children.size());
    for (Node* child : key.children)
        keyed.emplace_back(foldedPrefix(child->name), child);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : compareNames(a.second->name, b.second->name) < 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        key.children[i] = keyed[i].second;
    key.sorted = true;
    return key.children;
}

std::string_view MemoryStore::childName(NodeId key, std::size_t index) {
    const Node* child = children(*node(key)).at(index);
    if (!standIns_.empty()) {
        if (auto it = standIns_.find(child); it != standIns_.end())
            return it->second;
    }
    return child->name;
}

NodeId MemoryStore::childAt(NodeId key, std::size_t index) {
    return id(children(*node(key)).at(index));
}

std::optional<RegValue> MemoryStore::findValue(NodeId key, std::string_view name) {
    Node& n = *node(key);
    std::size_t i = valuePosition(n, name);
    if (i == n.values.size())
        return std::nullopt;
    return n.values[i].value();
}

std::string_view MemoryStore::valueName(NodeId key, std::size_t index) {
    return node(key)->values.at(index).name;
}

RegValue MemoryStore::valueAt(NodeId key, std::size_t index) {
    return node(key)->values.at(index).value();
}

std::optional<std::string> MemoryStore::whyReadOnly() {
    return readOnlyReason_;
}

void MemoryStore::discardChanges() {
    bool was = keepUndo_;
    keepUndo_ = false;
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it)
        (*it)();
    undo_.clear();
    keepUndo_ = was;
}

void MemoryStore::attach(Node* parent, Node* child, bool follows) {
    child->parent = parent;
    auto& siblings = parent->children;
    if (!follows && parent->sorted && !siblings.empty() &&
        compareNames(siblings.back()->name, child->name) > 0)
        parent->sorted = false;
    siblings.push_back(child, arena_);
    if (parent->indexed)
        index_.insert(child);
    if (!unnameableBecause(child->name).empty())
        listUnderStandIn(parent, child);
}

void MemoryStore::listUnderStandIn(Node* parent, const Node* child) {
    std::string& standIn = standIns_[child];
    if (standIn.empty())
        standIn = standInName(child->name);
    standInsBelow_[parent].insert(standIn);
}

void MemoryStore::detach(Node* child) {
    Node* parent = child->parent;
    if (parent->indexed)
        index_.erase(child);
    auto& siblings = parent->children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), child));
    child->parent = nullptr;
}

NodeId MemoryStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != kNoNode)
        return existing;
    if (name.empty() || !unnameableBecause(name).empty())
        throw StoreError(origin_ + ": invalid key name \"" + std::string(name) + "\"");
    if (auto below = standInsBelow_.find(node(parent));
        below != standInsBelow_.end() && below->second.contains(name))
        throw StoreError(origin_ + ": cannot add the key \"" + std::string(name) +
                         "\": a damaged key is listed under this name");
    Node* child = addChild(node(parent), name);
    child->listed = true;
    return id(child);
}

MemoryStore::Node* MemoryStore::addChild(Node* parent, std::string_view name, bool follows) {
    Node* child = newNode(name);
    attach(parent, child, follows);
    recordUndo([this, child] { detach(child); });
    return child;
}

void MemoryStore::putValue(Node& n, const Value& value) {
    auto& values = n.values;
    if (std::size_t i = valuePosition(n, value.name); i < values.size()) {
        recordUndo([&values, i, old = values[i]] { values[i] = old; });
        Value replaced = value;
        replaced.name = values[i].name; // the name keeps the spelling it already had
        values[i] = replaced;
        return;
    }
    Value added = value;
    added.name = texts_.keep(value.name);
    values.push_back(added, arena_);
    if (auto positions = valueIndex_.find(&n); positions != valueIndex_.end())
        positions->second.emplace(added.name, values.size() - 1);
    recordUndo([this, &n] {
        valueIndex_.erase(&n);
        n.values.pop_back();
    });
}

void MemoryStore::setValue(NodeId key, std::string_view name, const RegValue& value) {
    putValue(*node(key), Value{name, texts_.keep(bytesOf(value.data)), nullptr, value.type});
}

void MemoryStore::setEncodedValue(NodeId key, std::string_view name, DWORD type,
                                  std::string_view text, ValueDecoder decode) {
    putValue(*node(key), Value{name, texts_.keep(text), decode, type});
}

void MemoryStore::deleteValue(NodeId key, std::string_view name) {
    Node& n = *node(key);
    std::size_t i = valuePosition(n, name);
    if (i == n.values.size())
        return;
    auto& values = n.values;
    recordUndo([this, &n, i, old = values[i]] {
        n.values.insert(i, old, arena_);
        valueIndex_.erase(&n);
    });
    values.erase(values.begin() + i);
    valueIndex_.erase(&n);
}

void MemoryStore::deleteKey(NodeId parent, std::string_view name) {
    NodeId doomed = findChild(parent, name);
    if (doomed == kNoNode)
        return;
    detach(node(doomed));
    recordUndo([this, parent, doomed] { attach(node(parent), node(doomed)); });
}

void MemoryStore::list(Node& key, bool listed) {
    if (key.listed != listed)
        recordUndo([n = &key, was = key.listed] { n->listed = was; });
    key.listed = listed;
}

// A file that has its keys in order adds each after its last sibling: such a name is new,
// and is known to be without a lookup.
bool MemoryStore::follows(const Node& parent, std::string_view name) {
    return parent.sorted && !parent.children.empty() &&
           compareNames(parent.children.back()->name, name) < 0;
}

NodeId MemoryStore::createPath(std::string_view path) {
    std::vector<std::string_view> names;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    std::vector<Node*> chain;
    return createPath(names, chain);
}

NodeId MemoryStore::createPath(const std::vector<std::string_view>& names,
                               std::vector<Node*>& chain) {
    Node* at = root_;
    std::size_t shared = 0;
    // A key of the chain deleted since is no longer its parent's child, and is looked up anew.
    while (shared < names.size() && shared < chain.size() && chain[shared]->parent == at &&
           chain[shared]->name == names[shared])
        at = chain[shared++];
    chain.resize(shared);
    for (std::size_t i = shared; i < names.size(); ++i) {
        // Made here rather than by createKey(): the names are known to be new and well-formed,
        // and a subclass's bookkeeping of changes is for changes, not for setting up.
        bool last = follows(*at, names[i]);
        NodeId existing = last ? kNoNode : childNamed(at, names[i]);
        at = existing != kNoNode ? node(existing) : addChild(at, names[i], last);
        list(*at, at->listed && existing != kNoNode);
        chain.push_back(at);
    }
    list(*at, true);
    return id(at);
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
