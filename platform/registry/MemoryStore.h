#pragma once
// A registry tree held in memory. The text formats (.reg files, Wine's registry files) load
// into it, and tests build fixtures with it. Subkeys are kept in the order of their upper-case
// names, as a hive keeps them, whatever order they were added in.

#include "platform/registry/RegistryStore.h"

#include <functional>
#include <memory>
#include <unordered_map>

namespace moxalo::registry {

class MemoryStore : public RegistryStore {
public:
    struct Node {
        std::string name;
        std::string folded; // the name as compared, kept to sort siblings without refolding
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        std::unordered_map<std::string, Node*> byFoldedName;
        std::vector<std::pair<std::string, RegValue>> values; // in the order they were set
        // Folded value name -> position, for keys with many values; built when first needed
        // and dropped when positions shift.
        std::unordered_map<std::string, std::size_t> valuePositions;
        // The key has a section of its own in the file it came from (or was created since);
        // file formats leave out keys that exist only as the ancestors of others.
        bool listed = false;
    };

    explicit MemoryStore(std::string origin = "(memory)");

    std::string origin() const override { return origin_; }
    NodeId rootNode() override { return id(&root_); }
    NodeId findChild(NodeId parent, std::string_view name) override;
    std::size_t childCount(NodeId key) override { return node(key)->children.size(); }
    std::string_view childName(NodeId key, std::size_t index) override;
    NodeId childAt(NodeId key, std::size_t index) override;
    std::optional<RegValue> findValue(NodeId key, std::string_view name) override;
    std::size_t valueCount(NodeId key) override { return node(key)->values.size(); }
    std::string_view valueName(NodeId key, std::size_t index) override;
    RegValue valueAt(NodeId key, std::size_t index) override;

    std::optional<std::string> whyReadOnly() override;
    NodeId createKey(NodeId parent, std::string_view name) override;
    void setValue(NodeId key, std::string_view name, const RegValue& value) override;
    void deleteValue(NodeId key, std::string_view name) override;
    void deleteKey(NodeId parent, std::string_view name) override;
    // A plain memory store has nowhere to go; stores of files override this.
    std::unique_ptr<PendingSave> prepareSave() override { return nullptr; }
    // Undoes the changes recorded since keepingUndo(true) or the last forgetUndo().
    void discardChanges() override;

    // Creates every missing key along a path of names separated by "\". Keys it creates on the
    // way are not listed; the key at the end is.
    NodeId createPath(std::string_view path);
    // The key at a "\"-separated path below `from`, or kNoNode.
    NodeId findPath(NodeId from, std::string_view path);
    // Makes whyReadOnly() report `reason` (the installed sample, a read-only file).
    void setReadOnly(std::string reason) { readOnlyReason_ = std::move(reason); }

    static NodeId id(const Node* n) { return reinterpret_cast<NodeId>(n); }
    static Node* node(NodeId key) { return reinterpret_cast<Node*>(key); }

protected:
    // Stores of files turn this on once they are loaded, so that changes that could not be
    // saved can be taken back; loading itself records nothing.
    void keepUndo(bool on) { keepUndo_ = on; }
    bool keepingUndo() const { return keepUndo_; }
    // Records how to take back a change a subclass makes beside the tree.
    void recordUndo(std::function<void()> undo);
    // The changes are saved; nothing is left to take back.
    void forgetUndo() { undo_.clear(); }

    std::string origin_;

private:
    void attach(Node* parent, std::unique_ptr<Node> child);
    std::unique_ptr<Node> detach(Node* child);
    void retire(std::unique_ptr<Node> node);
    std::unique_ptr<Node> unretire(Node* node);
    // The position of the value named `name` (without regard to case), or values.size().
    static std::size_t valuePosition(Node& key, std::string_view name);

    Node root_;
    // Deleted subtrees are kept until the store goes, so a handle that still names one of
    // their keys never points at freed memory, and a delete can be taken back.
    std::vector<std::unique_ptr<Node>> deleted_;
    std::optional<std::string> readOnlyReason_;
    bool keepUndo_ = false;
    std::vector<std::function<void()>> undo_; // newest last
};

} // namespace moxalo::registry
