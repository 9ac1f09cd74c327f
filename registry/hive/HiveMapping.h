#pragma once
// A hive's bytes, read-only: a file mapped once, or bytes in memory (a hive rebuilt from its
// transaction logs, say). Opening checks the base block and the cells once (see HiveCells) and
// looks over every key and value for damage (see HiveDamage.h); the reads below then take
// each cell's word from there. They fail as libhivex's reads of the same hive would, setting
// errno alike, so that a damaged hive gives the messages it gives when libhivex reads it
// after a change.

#include "base/MappedFile.h"
#include "registry/hive/HiveCells.h"
#include "registry/hive/HiveDamage.h"
#include "registry/hive/LargePageMemory.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace moxalo::hive {

class HiveMapping {
public:
    // Throws registry::StoreError "<path>: <what is wrong>".
    explicit HiveMapping(const std::string& path);
    // The hive in `bytes`, which are borrowed and must outlive it; `name` stands for the file
    // in messages.
    HiveMapping(std::span<const std::uint8_t> bytes, const std::string& name);
    // The same with bytes of its own.
    HiveMapping(std::vector<std::uint8_t> bytes, const std::string& name);
    ~HiveMapping();
    HiveMapping(const HiveMapping&) = delete;
    HiveMapping& operator=(const HiveMapping&) = delete;

    std::size_t root() const { return cells_->root(); }
    // Each read returns nothing (or false), with errno set, where libhivex's read of the same
    // cell fails; node and value handles are cell offsets, as libhivex's are.
    // A name is a view of the hive's bytes where they are its UTF-8 already (a one-byte name of
    // ASCII only, as most are), else of `decoded`, which it is decoded into: names are read by
    // the ten thousand, and most then need no copy.
    std::optional<std::string_view> keyName(std::size_t key, std::string& decoded) const;
    std::optional<std::string_view> valueName(std::size_t value, std::string& decoded) const;
    // The key's last write, a FILETIME, and the SID that owns it (see KeyOwner.h).
    std::optional<std::uint64_t> keyTime(std::size_t key) const;
    std::optional<std::string> keyOwner(std::size_t key) const;
    // The key cell that the key names as its parent.
    std::optional<std::size_t> keyParent(std::size_t key) const;
    bool subkeys(std::size_t key, std::vector<std::size_t>& found) const;
    bool values(std::size_t key, std::vector<std::size_t>& found) const;
    // The value's data as libhivex returns it, and its type, any 32-bit number.
    bool valueData(std::size_t value, std::uint32_t& type, std::vector<std::uint8_t>& data) const;

    // What findDamagedCells() found on opening.
    const std::vector<std::string>& damage() const { return damage_.messages; }
    bool keyListedTwice() const { return damage_.keyListedTwice; }
    bool unnameableKey() const { return damage_.unnameableKey; }
    bool subkeyListDamaged() const { return damage_.subkeyListDamaged; }
    // The keys whose subkey lists hold keys in "li" lists, an older form that Windows still
    // writes for some keys (directly, or below an "ri" index). libhivex can add a key to them
    // but cannot take one out.
    std::unordered_set<std::size_t> keysWithLiLists() const;
    // See findKeysUnsafeToChange().
    std::unordered_set<std::size_t> keysUnsafeToChange() const;
    // Throws registry::StoreError when another program changed the file since it was mapped
    // (see fs::MappedFile): what was read of it since may be anything. Bytes in memory stay.
    void checkUnchanged() const;

private:
    void check(std::span<const std::uint8_t> bytes);
    // Whether a key cell, whole, starts at `key`; sets errno as libhivex does when not. A cell
    // too small for a key's fields is none, where libhivex would read past it.
    bool isKey(std::size_t key) const;
    // Where a key ("nk") or value ("vk") cell keeps its name.
    struct NameFields {
        const char* id;
        std::size_t flags;
        std::size_t length;
        std::size_t name;
        std::uint16_t compressed;
    };
    std::optional<std::string_view> cellName(std::size_t offset, const NameFields& fields,
                                             std::string& decoded) const;
    bool listsInLi(std::size_t key) const;
    bool addSubkeys(std::size_t list, std::size_t limit, std::vector<std::size_t>& found) const;
    bool addListed(const std::uint8_t* entries, std::size_t count, std::size_t step,
                   std::size_t limit, std::vector<std::size_t>& found) const;
    bool bigData(std::size_t db, std::size_t length, std::vector<std::uint8_t>& data) const;
    const std::uint8_t* at(std::size_t offset) const { return cells_->bytes() + offset; }

    std::string path_;
    std::unique_ptr<fs::MappedFile> file_; // or:
    std::vector<std::uint8_t> owned_;
    LargePageMemory pages_; // for the notes on the cells, which are as many as the cells
    std::unique_ptr<HiveCells> cells_;
    FoundDamage damage_;
};

} // namespace moxalo::hive
