#pragma once
// A registry hive file ("regf": NTUSER.DAT, UsrClass.dat, SOFTWARE) as a store. It is read
// through one read-only mapping of the file (see HiveMapping) until the first change, which
// opens libhivex on the file to write it; from then on libhivex reads it too. Node ids are
// the file offsets of the key cells, as libhivex's node handles are; they stay the same across
// the mapping, the write handle and the reopened file. Once subkeys are added or deleted, they
// are listed out of order until the save sorts them again.

#include "base/NameFold.h"
#include "registry/RegistryStore.h"
#include "registry/hive/ChangedValues.h"
#include "registry/hive/FoldedIndex.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveMapping.h"
#include "registry/hive/HolderKeys.h"
#include "registry/hive/LargePageMemory.h"

#include <forward_list>
#include <memory>
#include <memory_resource>
#include <span>
#include <unordered_map>
#include <unordered_set>

namespace moxalo::hive {

class HiveStore : public registry::RegistryStore {
public:
    // Throws registry::StoreError "<path>: <what is wrong>". The holder keys that changes to a
    // key with many subkeys make while the hive is written (see HolderKeys.h) are named by
    // `holderKeyPrefix` and a number.
    static std::unique_ptr<HiveStore> open(const std::string& path,
                                           const std::string& holderKeyPrefix = "holder ");
    // A hive in memory, read-only, with `name` standing for its file in messages: the bytes
    // borrowed (they must outlive the store), or its own.
    static std::unique_ptr<HiveStore> fromBytes(std::span<const std::uint8_t> bytes,
                                                const std::string& name);
    static std::unique_ptr<HiveStore> fromBytes(std::vector<std::uint8_t> bytes,
                                                const std::string& name);
    // Why a hive from memory is not written: by default, that it has no file. The reason is
    // given when a change is refused (registry::AccessDenied), after the path unless it names
    // it.
    void keepReadOnly(std::string why) {
        readOnlyBecause_ = std::move(why);
        keptReadOnly_ = true;
    }
    // Damage found on opening, each "<path>: <where>: <what>"; the hive is read all the same.
    const std::vector<std::string>& damage() const { return damage_; }

    std::string origin() const override { return path_; }
    registry::NodeId rootNode() override;
    registry::NodeId findChild(registry::NodeId parent, std::string_view name) override;
    std::size_t childCount(registry::NodeId key) override { return children(key).nodes.size(); }
    std::string_view childName(registry::NodeId key, std::size_t index) override;
    registry::NodeId childAt(registry::NodeId key, std::size_t index) override;
    std::optional<registry::RegValue> findValue(registry::NodeId key,
                                                std::string_view name) override;
    std::size_t valueCount(registry::NodeId key) override;
    std::string_view valueName(registry::NodeId key, std::size_t index) override;
    registry::RegValue valueAt(registry::NodeId key, std::size_t index) override;
    std::optional<std::uint64_t> lastWritten(registry::NodeId key) override;
    // Known while the hive is read as its file has it: libhivex, which reads it once it is
    // changed, does not give security cells.
    std::optional<std::string> ownerSid(registry::NodeId key) override;
    std::optional<std::string> rootName() override;
    void forget(registry::NodeId key) override;

    std::optional<std::string> whyReadOnly() override;
    registry::NodeId createKey(registry::NodeId parent, std::string_view name) override;
    void setValue(registry::NodeId key, std::string_view name,
                  const registry::RegValue& value) override;
    void deleteValue(registry::NodeId key, std::string_view name) override;
    void deleteKey(registry::NodeId parent, std::string_view name) override;
    std::unique_ptr<registry::PendingSave> prepareSave() override;
    void discardChanges() override;

private:
    // A name that cannot be read stays empty, and asking for it gives the reason, so that the
    // names before it can still be listed, as Windows lists them up to a damaged key.
    // Names are views of the mapped hive where it holds them as they read (see
    // HiveMapping::keyName), else of `kept`, whose strings stay where they are as it grows.
    // What is known of the keys is in `memory_` (see LargePageMemory.h).
    struct Children {
        explicit Children(std::pmr::memory_resource* memory)
            : nodes(memory), names(memory), byName(memory) {}
        std::pmr::vector<hive_node_h> nodes;
        std::pmr::vector<std::string_view> names;
        std::forward_list<std::string> kept;
        std::unordered_map<std::size_t, std::string> damaged; // position -> what is wrong
        FoldedIndex byName;                                   // built on the first lookup
        // The stand-ins that keys whose own names no path gives are listed under (see
        // UnnameableKey.h); each leads to no key. Made only for a key that has some, as there
        // is one Children for every key listed.
        using StandIns = std::unordered_set<std::string, registry::NameHash, registry::SameName>;
        std::unique_ptr<StandIns> unnamed;
    };
    struct Value {
        std::string_view name; // as Children's names
        hive_value_h handle;
        std::string damage; // why the name cannot be read, or empty
    };
    struct Values {
        explicit Values(std::pmr::memory_resource* memory) : list(memory) {}
        std::pmr::vector<Value> list;
        std::forward_list<std::string> kept;
    };
    // Most keys have a handful of subkeys: looking through their names costs less than building
    // an index of them, which a walk down many keys would otherwise do for every key it passes.
    static constexpr std::size_t kScannedChildren = 16;
    HiveStore(std::string path, std::string holderKeyPrefix);
    void load();
    void loaded(std::unique_ptr<HiveMapping> mapping);
    void reload();
    // libhivex's handle: the writer once a change is made; before, one opened to read for the
    // checks of a delete, which must see the hive as libhivex will.
    hive_h* hive();
    bool libhivexList(std::size_t* (*read)(hive_h*, hive_node_h), hive_node_h key,
                      std::vector<std::size_t>& list);
    hive_h* writer();
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] void refuseKeptReadOnly() const;
    std::string keyName(hive_node_h node);
    std::string keyLabel(hive_node_h node);
    bool belongsUnder(hive_node_h parent, hive_node_h child);
    // The name of `child`, a view that lives as long as `into`.
    std::string_view listedName(hive_node_h parent, hive_node_h child, Children& into);
    static std::string_view keep(std::forward_list<std::string>& kept, std::string text);
    // Lists the last of `c.names` under its stand-in when no path gives it.
    static void standInIfUnnameable(Children& c);
    std::optional<registry::NodeId> scanChild(registry::NodeId parent, std::string_view name);
    std::optional<std::optional<registry::RegValue>> scanValue(registry::NodeId key,
                                                               std::string_view name);
    Children& children(registry::NodeId key);
    const std::pmr::vector<Value>& values(registry::NodeId key);
    registry::RegValue valueData(hive_value_h value);
    hive_node_h addChild(hive_node_h parent, const std::string& name);
    // Every key of the subtree, the key included, once libhivex is known to delete it whole
    // (see HiveStoreDeletion.cpp); throws registry::StoreError naming the key otherwise.
    std::vector<hive_node_h> deletableSubtree(hive_node_h key, std::string_view name);
    using CellsMet = std::unordered_set<std::size_t>;
    void checkDeletableKey(hive_node_h key, CellsMet& cells, std::string_view name);
    void meetOnce(std::size_t cell, CellsMet& cells, std::string_view name) const;
    [[noreturn]] void refuseDelete(std::string_view name, const std::string& why) const;
    const std::unordered_set<hive_node_h>& liListers();
    // The keys libhivex cannot change safely (see findKeysUnsafeToChange), known before the
    // mapping goes; a change to one of them is refused with `what` and the reason.
    const std::unordered_set<hive_node_h>& unsafeKeys();
    void refuseIfUnsafe(hive_node_h key, const std::string& what);
    // The key's values as changed so far, or nullptr when they are as the hive has them.
    ChangedValues* changedValuesOf(registry::NodeId key);
    ChangedValues& valuesToChange(registry::NodeId key);
    void writeChangedValues();
    void writeValues(registry::NodeId key, ChangedValues& changed);
    void writeIfFew(registry::NodeId key, ChangedValues& changed);

    std::string path_;
    bool inMemory_ = false;
    std::string readOnlyBecause_ = "a hive read from memory is not written to any file";
    bool keptReadOnly_ = false;
    HiveHandle reader_;
    HiveHandle writer_;
    // Reads the file while it is unchanged; gone once a change is made.
    std::unique_ptr<HiveMapping> mapping_;
    LargePageMemory pages_;
    std::pmr::unsynchronized_pool_resource memory_{&pages_};
    std::pmr::unordered_map<hive_node_h, Children> children_{&memory_};
    std::pmr::unordered_map<hive_node_h, Values> values_{&memory_};
    std::vector<std::size_t> scanned_; // the subkeys or values scanChild/scanValue look through
    // Written to the hive when the save is prepared; until then the reads show them.
    std::unordered_map<hive_node_h, ChangedValues> changedValues_;
    // The keys given subkeys while they have many; their subkeys are known from here, as
    // libhivex lists the holders instead.
    HolderKeys holders_;
    // The keys with "li" subkey lists in the file, known before the mapping goes.
    std::optional<std::unordered_set<hive_node_h>> liListers_;
    std::optional<std::unordered_set<hive_node_h>> unsafeKeys_;
    std::vector<std::string> damage_;
    bool keyListedTwice_ = false; // see FoundDamage
    bool unnameableKey_ = false;
    bool strayListings_ = false; // see FoundDamage::subkeyListDamaged
};

} // namespace moxalo::hive
