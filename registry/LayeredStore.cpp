#include "registry/LayeredStore.h"

#include "base/NameFold.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace moxalo::registry {

namespace {

bool present(NodeId part) {
    return part != kNoNode;
}

// The layer of a key's one part, or -1 when it has none or several.
int onlyPart(const std::vector<NodeId>& parts) {
    if (std::count_if(parts.begin(), parts.end(), present) != 1)
        return -1;
    return static_cast<int>(std::find_if(parts.begin(), parts.end(), present) - parts.begin());
}

} // namespace

LayeredStore::LayeredStore(std::vector<ClassesLayer> layers) : layers_(std::move(layers)) {
    std::vector<NodeId> roots;
    for (const auto& layer : layers_)
        roots.push_back(layer.key);
    nodes_.emplace_back(kNoNode, std::string(), generation_, std::move(roots));
}

std::string LayeredStore::origin() const {
    std::string text;
    for (const auto& layer : layers_)
        text += (text.empty() ? "" : " + ") + layer.store->origin();
    return text;
}

int LayeredStore::soleContentLayer(const Merged& m, bool values) const {
    if (int only = onlyPart(m.parts); only >= 0) // the usual case
        return only;
    int found = -1;
    int holder = -1;
    for (std::size_t i = 0; i < m.parts.size(); ++i) {
        if (m.parts[i] == kNoNode)
            continue;
        holder = holder < 0 ? static_cast<int>(i) : holder;
        RegistryStore& store = *layers_[i].store;
        if ((values ? store.valueCount(m.parts[i]) : store.childCount(m.parts[i])) == 0)
            continue;
        if (found >= 0)
            return -1;
        found = static_cast<int>(i);
    }
    return found >= 0 ? found : holder;
}

int LayeredStore::soleLayer(Merged& m, bool values) {
    int& known = values ? m.soleValues : m.soleChildren;
    if (known == kNotAsked)
        known = soleContentLayer(m, values);
    return known;
}

std::vector<NodeId> LayeredStore::partsBelow(const std::vector<NodeId>& parentParts,
                                             std::string_view name) {
    std::vector<NodeId> parts(layers_.size(), kNoNode);
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (parentParts[i] != kNoNode)
            parts[i] = layers_[i].store->findChild(parentParts[i], name);
    }
    return parts;
}

LayeredStore::Merged& LayeredStore::merged(NodeId key) {
    Merged& m = nodes_.at(key);
    if (m.generation == generation_)
        return m;
    if (m.parent != kNoNode) {
        std::vector<NodeId> parentParts = merged(m.parent).parts;
        m.parts = partsBelow(parentParts, m.name);
    }
    m.generation = generation_;
    m.soleChildren = m.soleValues = kNotAsked;
    m.childrenKnown = false;
    m.childNames.clear();
    m.childOrigins.clear();
    m.valuesKnown = false;
    m.values.clear();
    return m;
}

NodeId LayeredStore::direct(std::size_t layer, NodeId part) const {
    return part <= kPartMask ? kDirect | NodeId{layer} << kLayerShift | part : kNoNode;
}

std::optional<NodeId> LayeredStore::linkTarget(NodeId key) {
    std::size_t layer = 0;
    NodeId part = kNoNode;
    if (isDirect(key)) {
        layer = layerOf(key);
        part = partOf(key);
    } else {
        const auto& parts = merged(key).parts;
        auto highest =
            std::find_if(parts.begin(), parts.end(), [](NodeId p) { return p != kNoNode; });
        if (highest == parts.end())
            return std::nullopt;
        layer = static_cast<std::size_t>(highest - parts.begin());
        part = *highest;
    }
    std::optional<NodeId> target = layers_[layer].store->linkTarget(part);
    if (!target || *target == kNoNode)
        return target;
    return direct(layer, *target);
}

NodeId LayeredStore::findChild(NodeId parent, std::string_view name) {
    if (isDirect(parent)) {
        NodeId child = storeOf(parent).findChild(partOf(parent), name);
        return child == kNoNode ? kNoNode : direct(layerOf(parent), child);
    }
    auto& known = merged(parent).childIds;
    if (auto it = known.find(name); it != known.end()) {
        NodeId id = it->second;
        const auto& parts = merged(id).parts;
        return std::any_of(parts.begin(), parts.end(), present) ? id : kNoNode;
    }
    std::vector<NodeId> parts = partsBelow(merged(parent).parts, name);
    if (std::none_of(parts.begin(), parts.end(), present))
        return kNoNode;
    if (int only = onlyPart(parts); only >= 0) {
        if (NodeId id = direct(static_cast<std::size_t>(only), parts[only]); id != kNoNode)
            return id;
    }
    NodeId id = nodes_.size();
    nodes_.emplace_back(parent, std::string(name), generation_, std::move(parts));
    nodes_[parent].childIds.emplace(std::string(name), id);
    return id;
}

void LayeredStore::knowChildren(Merged& m) {
    if (m.childrenKnown)
        return;
    struct Listed {
        std::string folded;
        ChildOrigin origin;
    };
    std::vector<Listed> listed;
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (m.parts[i] == kNoNode)
            continue;
        RegistryStore& store = *layers_[i].store;
        for (std::size_t k = 0, n = store.childCount(m.parts[i]); k < n; ++k) {
            std::string folded = foldName(store.childName(m.parts[i], k));
            if (seen.insert(folded).second)
                listed.push_back({std::move(folded), {i, k}});
        }
    }
    std::stable_sort(listed.begin(), listed.end(),
                     [](const auto& a, const auto& b) { return a.folded < b.folded; });
    m.childNames.clear();
    m.childOrigins.clear();
    for (const Listed& entry : listed) {
        const ChildOrigin& origin = entry.origin;
        m.childNames.emplace_back(
            layers_[origin.layer].store->childName(m.parts[origin.layer], origin.index));
        m.childOrigins.push_back(origin);
    }
    m.childrenKnown = true;
}

std::size_t LayeredStore::childCount(NodeId key) {
    if (isDirect(key))
        return storeOf(key).childCount(partOf(key));
    Merged& m = merged(key);
    if (int sole = soleLayer(m, false); sole >= 0)
        return layers_[sole].store->childCount(m.parts[sole]);
    knowChildren(m);
    return m.childNames.size();
}

std::string_view LayeredStore::childName(NodeId key, std::size_t index) {
    if (isDirect(key))
        return storeOf(key).childName(partOf(key), index);
    Merged& m = merged(key);
    if (int sole = soleLayer(m, false); sole >= 0)
        return layers_[sole].store->childName(m.parts[sole], index);
    knowChildren(m);
    return m.childNames.at(index);
}

// A subkey whose name leads to no key (see UnnameableKey.h) is still met by a walk: as the key
// of the layer that lists it.
NodeId LayeredStore::childAt(NodeId key, std::size_t index) {
    if (isDirect(key))
        return direct(layerOf(key), storeOf(key).childAt(partOf(key), index));
    Merged& m = merged(key);
    if (int sole = soleLayer(m, false); sole >= 0)
        return direct(static_cast<std::size_t>(sole),
                      layers_[sole].store->childAt(m.parts[sole], index));
    knowChildren(m);
    if (NodeId id = findChild(key, m.childNames.at(index)); id != kNoNode)
        return id;
    const ChildOrigin& origin = m.childOrigins.at(index);
    return direct(origin.layer,
                  layers_[origin.layer].store->childAt(m.parts[origin.layer], origin.index));
}

std::optional<RegValue> LayeredStore::findValue(NodeId key, std::string_view name) {
    if (isDirect(key))
        return storeOf(key).findValue(partOf(key), name);
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = merged(key).parts[i];
        if (part == kNoNode)
            continue;
        if (auto value = layers_[i].store->findValue(part, name))
            return value;
    }
    return std::nullopt;
}

void LayeredStore::knowValues(Merged& m) {
    if (m.valuesKnown)
        return;
    std::unordered_set<std::string> seen;
    m.values.clear();
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (m.parts[i] == kNoNode)
            continue;
        RegistryStore& store = *layers_[i].store;
        for (std::size_t k = 0, n = store.valueCount(m.parts[i]); k < n; ++k) {
            if (seen.insert(foldName(store.valueName(m.parts[i], k))).second)
                m.values.push_back({i, k});
        }
    }
    m.valuesKnown = true;
}

std::size_t LayeredStore::valueCount(NodeId key) {
    if (isDirect(key))
        return storeOf(key).valueCount(partOf(key));
    Merged& m = merged(key);
    if (int sole = soleLayer(m, true); sole >= 0)
        return layers_[sole].store->valueCount(m.parts[sole]);
    knowValues(m);
    return m.values.size();
}

std::string_view LayeredStore::valueName(NodeId key, std::size_t index) {
    if (isDirect(key))
        return storeOf(key).valueName(partOf(key), index);
    Merged& m = merged(key);
    if (int sole = soleLayer(m, true); sole >= 0)
        return layers_[sole].store->valueName(m.parts[sole], index);
    knowValues(m);
    const LayerValue& v = m.values.at(index);
    return layers_[v.layer].store->valueName(m.parts[v.layer], v.index);
}

RegValue LayeredStore::valueAt(NodeId key, std::size_t index) {
    if (isDirect(key))
        return storeOf(key).valueAt(partOf(key), index);
    Merged& m = merged(key);
    if (int sole = soleLayer(m, true); sole >= 0)
        return layers_[sole].store->valueAt(m.parts[sole], index);
    knowValues(m);
    const LayerValue& v = m.values.at(index);
    return layers_[v.layer].store->valueAt(m.parts[v.layer], v.index);
}

void LayeredStore::forget(NodeId key) {
    if (isDirect(key)) {
        storeOf(key).forget(partOf(key));
        return;
    }
    Merged& m = nodes_.at(key);
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        if (m.parts[i] != kNoNode)
            layers_[i].store->forget(m.parts[i]);
    }
    m.soleChildren = m.soleValues = kNotAsked;
    m.childrenKnown = false;
    std::vector<std::string>().swap(m.childNames);
    std::vector<ChildOrigin>().swap(m.childOrigins);
    m.valuesKnown = false;
    std::vector<LayerValue>().swap(m.values);
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

// Every merged key is brought up to date when it is next met.
void LayeredStore::changed() {
    ++generation_;
}

std::vector<NodeId> LayeredStore::partsOf(NodeId key) {
    if (!isDirect(key))
        return merged(key).parts;
    std::vector<NodeId> parts(layers_.size(), kNoNode);
    parts[layerOf(key)] = partOf(key);
    return parts;
}

NodeId LayeredStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != kNoNode)
        return existing;
    // A new key goes to the highest layer that holds its parent.
    std::vector<NodeId> parts = partsOf(parent);
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = parts[i];
        if (part == kNoNode)
            continue;
        writableStore(i).createKey(part, name);
        changed();
        return findChild(parent, name);
    }
    throw StoreError("no layer holds the parent of " + std::string(name));
}

void LayeredStore::setValue(NodeId key, std::string_view name, const RegValue& value) {
    std::vector<NodeId> parts = partsOf(key);
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = parts[i];
        if (part != kNoNode) {
            writableStore(i).setValue(part, name, value);
            changed();
            return;
        }
    }
}

void LayeredStore::deleteValue(NodeId key, std::string_view name) {
    std::vector<NodeId> parts = partsOf(key);
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = parts[i];
        if (part != kNoNode && layers_[i].store->findValue(part, name))
            writableStore(i).deleteValue(part, name);
    }
    changed();
}

void LayeredStore::deleteKey(NodeId parent, std::string_view name) {
    // Every layer that has the key must lose it, or a lower one would show through; so all of
    // them must be writable before any is changed.
    std::vector<NodeId> parts = partsOf(parent);
    std::vector<std::size_t> holders;
    for (std::size_t i = 0; i < layers_.size(); ++i) {
        NodeId part = parts[i];
        if (part != kNoNode && layers_[i].store->findChild(part, name) != kNoNode)
            holders.push_back(i);
    }
    for (std::size_t i : holders) {
        if (auto why = layers_[i].store->whyReadOnly())
            throw AccessDenied(*why);
    }
    for (std::size_t i : holders)
        writableStore(i).deleteKey(parts[i], name);
    changed();
}

namespace {

// The saves of several layers, put in place one after the other once all are written. Only a
// failing rename can still leave some in place and not others.
class LayersSave : public PendingSave {
public:
    LayersSave(std::vector<std::unique_ptr<PendingSave>> saves, std::function<void()> saved)
        : saves_(std::move(saves)), saved_(std::move(saved)) {}
    void commit() override {
        for (auto& save : saves_)
            save->commit();
        saved_();
    }

private:
    std::vector<std::unique_ptr<PendingSave>> saves_;
    std::function<void()> saved_;
};

} // namespace

std::unique_ptr<PendingSave> LayeredStore::prepareSave() {
    std::vector<std::unique_ptr<PendingSave>> saves;
    for (std::size_t i : changed_) {
        if (auto save = layers_[i].store->prepareSave())
            saves.push_back(std::move(save));
    }
    if (saves.empty())
        return nullptr;
    return std::make_unique<LayersSave>(std::move(saves), [this] {
        changed_.clear();
        changed();
    });
}

void LayeredStore::discardChanges() {
    for (std::size_t i : changed_)
        layers_[i].store->discardChanges();
    changed_.clear();
    changed();
}

} // namespace moxalo::registry
