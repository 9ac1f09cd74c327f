#pragma once
// A registry tree held in memory. The text formats (.reg files, Wine's registry files) load
// into it, and tests build fixtures with it. Subkeys are enumerated in the order of their
// upper-case names, as a hive keeps them, whatever order they were added in.

#include "base/NameFold.h"
#include "registry/ChildIndex.h"
#include "registry/MemoryNode.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace moxalo::registry {

class MemoryStore : public RegistryStore {
public:
    using Node = MemoryNode;
    using Value = MemoryValue;

    explicit MemoryStore(std::string origin = "(memory)");

    std::string origin() const override { return origin_; }
    NodeId rootNode() override { return id(root_); }
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
    // Undoes the changes recorded since keepUndo(true) or the last forgetUndo().
    void discardChanges() override;

    // Sets a value whose bytes `decode` makes from `text` when it is first read, so that a
    // file's values cost only a copy of their text until then. `text` must decode.
    void setEncodedValue(NodeId key, std::string_view name, DWORD type, std::string_view text,
                         ValueDecoder decode);
    // The key's subkeys in their order.
    const ArenaList<Node*>& children(Node& key);

    // Creates every missing key along a path of names separated by "\". Keys it creates on the
    // way are not listed; the key at the end is.
    NodeId createPath(std::string_view path);
    // createPath() for names already split. `chain` holds the keys of the path opened before
    // (the caller keeps it from call to call): the names this path shares with that one are
    // not looked up again, so a file whose keys follow each other costs one lookup a new key.
    NodeId createPath(const std::vector<std::string_view>& names, std::vector<Node*>& chain);
    // The key at a "\"-separated path below `from`, or kNoNode.
    NodeId findPath(NodeId from, std::string_view path);
    // Makes whyReadOnly() report `reason` (a source the program keeps read-only, a read-only file).
    void setReadOnly(std::string reason) { readOnlyReason_ = std::move(reason); }

    static NodeId id(const Node* n) { return reinterpret_cast<NodeId>(n); }
    static Node* node(NodeId key) { return reinterpret_cast<Node*>(key); }

protected:
    // Stores of files turn this on once they are loaded, so that changes that could not be
    // saved can be taken back; loading itself records nothing.
    void keepUndo(bool on) { keepUndo_ = on; }
    // Records how to take back a change a subclass makes beside the tree.
    template <typename Undo> void recordUndo(Undo&& undo) {
        if (keepUndo_)
            undo_.emplace_back(std::forward<Undo>(undo));
    }
    // The changes are saved; nothing is left to take back.
    void forgetUndo() { undo_.clear(); }

    std::string origin_;

private:
    Node* newNode(std::string_view name);
    // findChild() by the keys' own names.
    NodeId childNamed(Node* parent, std::string_view name);
    // Lists `child`, whose own name no path gives, under its stand-in (see UnnameableKey.h).
    void listUnderStandIn(Node* parent, const Node* child);
    static bool follows(const Node& parent, std::string_view name);
    // `follows`: the name is known to come after the last subkey's, as follows() tells.
    Node* addChild(Node* parent, std::string_view name, bool follows = false);
    void attach(Node* parent, Node* child, bool follows = false);
    void detach(Node* child);
    void putValue(Node& key, const Value& value);
    // Marks a key of a path being created: the end of it is listed, a key made on the way not.
    void list(Node& key, bool listed);
    // The position of the value named `name` (without regard to case), or values.size().
    std::size_t valuePosition(Node& key, std::string_view name);

    // Deleted keys stay in the arena until the store goes, so a handle that still names one
    // of them never points at freed memory, and a delete can be taken back.
    Arena arena_; // keys and their lists
    // Names and data, apart from the keys, so that a key's list of values, filled as its file
    // section is read, grows in place.
    Arena texts_;
    std::uint32_t nodesMade_ = 0;
    Node* root_;
    ChildIndex index_;
    // Value name (the arena's, in any case) -> position, for keys with many values; built when
    // first needed and dropped when positions shift.
    using ValuePositions = std::unordered_map<std::string_view, std::size_t, NameHash, SameName>;
    std::unordered_map<const Node*, ValuePositions> valueIndex_;
    // The keys whose own names no path gives, which a Wine file can hold: the stand-in each
    // is listed under, and the stand-ins below each key, none of which leads to a key.
    std::unordered_map<const Node*, std::string> standIns_;
    std::unordered_map<const Node*, std::unordered_set<std::string, NameHash, SameName>>
        standInsBelow_;
    std::optional<std::string> readOnlyReason_;
    bool keepUndo_ = false;
    std::vector<std::function<void()>> undo_; // newest last
};

} // namespace moxalo::registry
