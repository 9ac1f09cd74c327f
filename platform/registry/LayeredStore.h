#pragma once
// HKEY_CLASSES_ROOT as Windows builds it: several classes trees laid over each other, the
// user's over the machine's. A key exists if any layer has it; a value of a higher layer wins;
// enumeration gives each name once, in the order of the names' upper-case forms.

#include "platform/registry/ClassesLayer.h"

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
    std::vector<std::string> valueNames(NodeId key) override;

    std::optional<std::string> whyReadOnly() override;
    NodeId createKey(NodeId parent, std::string_view name) override;
    void setValue(NodeId key, std::string_view name, const RegValue& value) override;
    void deleteValue(NodeId key, std::string_view name) override;
    void deleteKey(NodeId parent, std::string_view name) override;
    void save() override;

private:
    struct Merged {
        std::vector<NodeId> parts; // one per layer; kNoNode where that layer lacks the key
        bool childrenKnown = false;
        std::vector<std::string> childNames; // built only where two or more layers meet
        std::unordered_map<std::string, NodeId> childIds; // folded name -> merged id
    };

    Merged& merged(NodeId key) { return nodes_.at(key); }
    // The one layer holding the key, or -1 when several (or none) do.
    int soleLayer(const Merged& m) const;
    void knowChildren(Merged& m);
    NodeId adopt(std::vector<NodeId> parts);
    RegistryStore& writableStore(std::size_t layer);
    void forgetChildren();

    std::vector<ClassesLayer> layers_;
    std::vector<Merged> nodes_;
    std::set<std::size_t> changed_; // layers written since the last save
};

} // namespace moxalo::registry
