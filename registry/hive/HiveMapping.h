#pragma once
// A hive file mapped read-only. Opening it checks the base block, so that the common kinds of
// damage get a message of their own before libhivex sees the file; reading names straight
// from the key and value cells saves libhivex's character conversion and allocation per name.

#include "base/MappedFile.h"
#include "registry/hive/HiveDamage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace moxalo::hive {

class HiveMapping {
public:
    // Throws registry::StoreError "<path>: <what is wrong>".
    explicit HiveMapping(const std::string& path);
    ~HiveMapping();
    HiveMapping(const HiveMapping&) = delete;
    HiveMapping& operator=(const HiveMapping&) = delete;

    // The name of the key or value whose cell starts at `offset` (a libhivex handle); nothing
    // when the cell does not hold up.
    std::optional<std::string> keyName(std::size_t offset) const;
    std::optional<std::string> valueName(std::size_t offset) const;
    // The key cell that the key at `offset` names as its parent, as a node handle.
    std::optional<std::size_t> keyParent(std::size_t offset) const;
    // What findDamagedCells() found on opening.
    const std::vector<std::string>& damage() const { return damage_.messages; }
    bool keyListedTwice() const { return damage_.keyListedTwice; }
    bool unnameableKey() const { return damage_.unnameableKey; }
    // The keys whose subkey lists hold keys in "li" lists, an older form that Windows still
    // writes for some keys (directly, or below an "ri" index). libhivex can add a key to them
    // but cannot take one out.
    std::unordered_set<std::size_t> keysWithLiLists() const;
    // See findKeysUnsafeToChange().
    std::unordered_set<std::size_t> keysUnsafeToChange() const;
    // Throws registry::StoreError when another program changed the file since it was mapped
    // (see fs::MappedFile): what was read of it since may be anything.
    void checkUnchanged() const;

private:
    // libhivex holds the whole file in memory already; pages of this second view are let go
    // every so often, so that reading names does not count the file twice.
    void notePagesRead(std::size_t reads) const;

    // Where a key ("nk") or value ("vk") cell keeps its name.
    struct NameFields {
        const char* id;
        std::size_t flags;
        std::size_t length;
        std::size_t name;
        std::uint16_t compressed;
    };
    std::optional<std::string> cellName(std::size_t offset, const NameFields& fields) const;
    bool listsInLi(std::size_t key) const;

    const std::uint8_t* cell(std::size_t offset, const char* id, std::size_t fixedPart,
                             std::size_t& cellSize) const;
    void checkBaseBlock(const std::string& path) const;
    void checkBins(const std::string& path) const;
    std::size_t checkBin(const std::string& path, std::size_t at, std::size_t end) const;

    std::string path_;
    std::unique_ptr<fs::MappedFile> file_;
    const std::uint8_t* bytes_ = nullptr;
    std::size_t size_ = 0;
    mutable std::size_t readsSinceRelease_ = 0;
    FoundDamage damage_;
};

} // namespace moxalo::hive
