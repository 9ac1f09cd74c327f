#include "platform/registry/LayeredStore.h"

#include "platform/registry/NameFold.h"

#include <algorithm>
#include <unordered_set>

namespace moxalo::registry {

LayeredStore::LayeredStore(std::vector<ClassesLayer> layers) : layers_(std::move(layers)) {
    std::vector<NodeId> roots;
    for (const auto& layer : layers_)
        roots.push_back(layer.key);
    nodes_.emplace_back().parts = std::move(roots);
}

std::string LayeredStore::origin() const {
    std::string text;
    for (const auto& layer : layers_)
        text += (text.empty() ? "" : " + ") + layer.store->origin();
    return text;
}

int LayeredStore::soleLayer(const Merged& m) const {
    int found = -1;
    for (std::size_t i = 0; i < m.parts.size(); ++i) {
        if (m.parts[i] == kNoNode)
            continue;
        if (found >= 0)
            return -1;
        found = static_cast<int>(i);
    }
    return found;
}

NodeId LayeredStore::adopt(std::vector<NodeId> parts) {
    nodes_.emplace_back().parts = std::move(parts);
    return nodes_.size() - 1;
}

NodeId LayeredStore::findChild(NodeId parent, std::string_view name) {
    std::string folded = foldName(name);
    if (auto it = merged(parent).childIds.find(folded); it != merged(parent).childIds.end())
        return it->second;
    std::vector<NodeId> parts(layers_.size(), kNoNode);
    bool any = false;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(parent).parts[i];
        if (part != kNoNode)
            parts[i] = layers_[i].store->findChild(part, name);
        any = any || parts[i] != kNoNode;
    }
    NodeId id = any ? adopt(std::move(parts)) : kNoNode;
    if (id != kNoNode)
        merged(parent).childIds.emplace(std::move(folded), id);
    return id;
}

void LayeredStore::knowChildren(Merged& m) {
    if (m.childrenKnown)
        return;
    std::vector<std::pair<std::string, std::string>> names; // folded, as spelled
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (m.parts[i] == kNoNode)
            continue;
        RegistryStore& store = *layers_[i].store;
        for (std::size_t k = 0, n = store.childCount(m.parts[i]); k < n; ++k) {
            std::string_view name = store.childName(m.parts[i], k);
            std::string folded = foldName(name);
            if (seen.insert(folded).second)
                names.emplace_back(std::move(folded), std::string(name));
        }
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m.childNames.clear();
    for (auto& entry : names)
        m.childNames.push_back(std::move(entry.second));
    m.childrenKnown = true;
}

std::size_t LayeredStore::childCount(NodeId key) {
    Merged& m = merged(key);
    if (int sole = soleLayer(m); sole >= 0)
        return layers_[sole].store->childCount(m.parts[sole]);
    knowChildren(m);
    return m.childNames.size();
}

std::string_view LayeredStore::childName(NodeId key, std::size_t index) {
    Merged& m = merged(key);
    if (int sole = soleLayer(m); sole >= 0)
        return layers_[sole].store->childName(m.parts[sole], index);
    knowChildren(m);
    return m.childNames.at(index);
}

NodeId LayeredStore::childAt(NodeId key, std::size_t index) {
    return findChild(key, std::string(childName(key, index)));
}

std::optional<RegValue> LayeredStore::findValue(NodeId key, std::string_view name) {
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(key).parts[i];
        if (part == kNoNode)
            continue;
        if (auto value = layers_[i].store->findValue(part, name))
            return value;
    }
    return std::nullopt;
}

std::vector<std::string> LayeredStore::valueNames(NodeId key) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(key).parts[i];
        if (part == kNoNode)
            continue;
        for (auto& name : layers_[i].store->valueNames(part)) {
            if (seen.insert(foldName(name)).second)
                names.push_back(std::move(name));
        }
    }
    return names;
}

std::optional<std::string> LayeredStore::whyReadOnly() {
    for (const auto& layer : layers_) {
        if (!layer.store->whyReadOnly())
            return std::nullopt;
    }
    return layers_.empty() ? std::optional<std::string>("no registry")
                           : layers_[0].store->whyReadOnly();
}

RegistryStore& LayeredStore::writableStore(std::size_t layer) {
    RegistryStore& store = *layers_[layer].store;
    if (auto why = store.whyReadOnly())
        throw AccessDenied(*why);
    changed_.insert(layer);
    return store;
}

void LayeredStore::forgetChildren() {
    for (auto& m : nodes_) {
        m.childrenKnown = false;
        m.childNames.clear();
        m.childIds.clear();
    }
}

NodeId LayeredStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != kNoNode)
        return existing;
    // A new key goes to the highest layer that holds its parent.
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(parent).parts[i];
        if (part == kNoNode)
            continue;
        writableStore(i).createKey(part, name);
        forgetChildren();
        return findChild(parent, name);
    }
    throw StoreError("no layer holds the parent of " + std::string(name));
}

void LayeredStore::setValue(NodeId key, std::string_view name, const RegValue& value) {
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(key).parts[i];
        if (part != kNoNode) {
            writableStore(i).setValue(part, name, value);
            return;
        }
    }
}

void LayeredStore::deleteValue(NodeId key, std::string_view name) {
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(key).parts[i];
        if (part != kNoNode && layers_[i].store->findValue(part, name))
            writableStore(i).deleteValue(part, name);
    }
}

void LayeredStore::deleteKey(NodeId parent, std::string_view name) {
    // Every layer that has the key must lose it, or a lower one would show through; so all of
    // them must be writable before any is changed.
    std::vector<std::size_t> holders;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(parent).parts[i];
        if (part != kNoNode && layers_[i].store->findChild(part, name) != kNoNode)
            holders.push_back(i);
    }
    for (std::size_t i : holders) {
        if (auto why = layers_[i].store->whyReadOnly())
            throw AccessDenied(*why);
    }
    for (std::size_t i : holders)
        writableStore(i).deleteKey(merged(parent).parts[i], name);
    forgetChildren();
}

void LayeredStore::save() {
    for (std::size_t i : changed_)
        layers_[i].store->save();
    changed_.clear();
}

} // namespace moxalo::registry
