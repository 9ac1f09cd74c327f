#pragma once
// HKEY_CLASSES_ROOT as Windows builds it: several classes trees laid over each other, the
// user's over the machine's. A key exists if any layer has it; a value of a higher layer wins;
// enumeration gives each name once, in the order of the names' upper-case forms.

#include "base/NameFold.h"
#include "registry/ClassesLayer.h"

#include <memory>
#include <set>
#include <unordered_map>

namespace moxalo::registry {

class LayeredStore : public RegistryStore {
public:
    // `layers` in order of precedence, highest first.
    explicit LayeredStore(std::vector<ClassesLayer> layers);

    std::string origin() const override;
    NodeId rootNode() override { return 0; }
    NodeId findChild(NodeId parent, std::string_view name) override;
    std::size_t childCount(NodeId key) override;
    std::string_view childName(NodeId key, std::size_t index) override;
    NodeId childAt(NodeId key, std::size_t index) override;
    std::optional<RegValue> findValue(NodeId key, std::string_view name) override;
    std::size_t valueCount(NodeId key) override;
    std::string_view valueName(NodeId key, std::size_t index) override;
    RegValue valueAt(NodeId key, std::size_t index) override;
    void forget(NodeId key) override;
    // The link of the key's highest layer, leading to the target in that layer alone.
    std::optional<NodeId> linkTarget(NodeId key) override;

    std::optional<std::string> whyReadOnly() override;
    NodeId createKey(NodeId parent, std::string_view name) override;
    void setValue(NodeId key, std::string_view name, const RegValue& value) override;
    void deleteValue(NodeId key, std::string_view name) override;
    void deleteKey(NodeId parent, std::string_view name) override;
    // Every changed layer is written beside its file before any is put in place.
    std::unique_ptr<PendingSave> prepareSave() override;
    void discardChanges() override;

private:
    // A key that one layer alone holds is that layer's key, its id marked with the layer: the
    // keys below it can only be that layer's too, so nothing under it needs merging. Other
    // keys are merged nodes, numbered from 0. The stores' own ids leave the top byte free: a
    // MemoryStore's are addresses, a HiveStore's offsets in its file.
    static constexpr NodeId kDirect = NodeId{1} << 63;
    static constexpr int kLayerShift = 56;
    static constexpr NodeId kPartMask = (NodeId{1} << kLayerShift) - 1;
    static bool isDirect(NodeId id) { return (id & kDirect) != 0 && id != kNoNode; }
    static std::size_t layerOf(NodeId id) { return (id & ~kDirect) >> kLayerShift; }
    static NodeId partOf(NodeId id) { return id & kPartMask; }
    RegistryStore& storeOf(NodeId id) { return *layers_[layerOf(id)].store; }
    // The id of the key `part` of `layer`, marked as direct where the part's id leaves room.
    NodeId direct(std::size_t layer, NodeId part) const;

    struct LayerValue {
        std::size_t layer;
        std::size_t index; // in that layer's key
    };
    // One key of the merged tree. Its id stays the same for as long as the store lives, so a
    // key met again after a change is the same node, refreshed.
    static constexpr int kNotAsked = -2;
    // A subkey as one layer lists it: the layer, and its position in that layer's key.
    struct ChildOrigin {
        std::size_t layer;
        std::size_t index;
    };
    struct Merged {
        Merged(NodeId parent, std::string name, std::size_t generation, std::vector<NodeId> parts)
            : parent(parent), name(std::move(name)), generation(generation),
              parts(std::move(parts)) {}

        NodeId parent = kNoNode;
        std::string name;
        std::size_t generation = 0; // the changes `parts` reflects
        std::vector<NodeId> parts;  // one per layer; kNoNode where that layer lacks the key
        bool childrenKnown = false;
        std::vector<std::string> childNames;   // built only where two or more layers meet
        std::vector<ChildOrigin> childOrigins; // where each of childNames was listed
        std::unordered_map<std::string, NodeId, NameHash, SameName> childIds; // name -> merged id
        bool valuesKnown = false;
        std::vector<LayerValue> values; // built only where two or more layers meet
        // soleContentLayer()'s answers for subkeys and for values, once asked
        int soleChildren = kNotAsked;
        int soleValues = kNotAsked;
    };

    // The key, with its parts brought up to date after a change.
    Merged& merged(NodeId key);
    // The one layer whose part of the key has subkeys (or values, with `values`), or that
    // holds the key when none has any; -1 when several have some and so must be merged.
    int soleContentLayer(const Merged& m, bool values) const;
    // The same, asked once for each state of the key.
    int soleLayer(Merged& m, bool values);
    void knowChildren(Merged& m);
    void knowValues(Merged& m);
    std::vector<NodeId> partsBelow(const std::vector<NodeId>& parentParts, std::string_view name);
    // A key's part in each layer, kNoNode where a layer lacks it; for direct and merged keys.
    std::vector<NodeId> partsOf(NodeId key);
    RegistryStore& writableStore(std::size_t layer);
    void changed();

    std::vector<ClassesLayer> layers_;
    std::vector<Merged> nodes_;
    std::size_t generation_ = 0;    // counts the changes made through this view
    std::set<std::size_t> changed_; // layers written since the last save
};

} // namespace moxalo::registry
