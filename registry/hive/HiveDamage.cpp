#include "registry/hive/HiveDamage.h"

#include "base/Utf16.h"
#include "registry/ShownName.h"
#include "registry/UnnameableKey.h"
#include "registry/hive/HiveCells.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace moxalo::hive {

namespace {

using namespace layout;

// The user reads the first few; a hive damaged throughout must not print thousands.
constexpr std::size_t kMaxReports = 20;
// Data longer than this sits in "db" big-data cells in newer hives.
constexpr std::uint32_t kMaxPlainData = 16344;

class DamageFinder {
public:
    DamageFinder(const HiveCells& cells, const std::string& path)
        : cells_(cells), bytes_(cells.bytes()), binsEnd_(cells.binsEnd()), path_(path),
          root_(cells.root()), listed_((binsEnd_ - kBaseBlockSize) / kCellAlignment,
                                       std::pmr::polymorphic_allocator<bool>(cells.memory())) {}

    FoundDamage run() {
        forEachCell([this](std::size_t at, std::int32_t size) {
            if (size < 0)
                checkCell(at, static_cast<std::size_t>(-static_cast<std::int64_t>(size)));
        });
        if (leftOut_ > 0)
            reports_.push_back(path_ + ": " + std::to_string(leftOut_) + " more damaged cells");
        return {std::move(reports_), keyListedTwice_, unnameableKey_, subkeyListDamaged_};
    }

    std::unordered_set<std::size_t> keysUnsafeToChange() {
        std::vector<std::uint8_t> owners(listed_.size()); // of each cell, up to 2
        std::unordered_map<std::uint32_t, std::uint32_t> skUsers;
        std::unordered_set<std::size_t> unsafe;
        forEachKey([&](std::size_t key) {
            if (!ownedCells(key, [&](std::uint32_t cell) {
                    std::uint8_t& n = owners[cell / kCellAlignment];
                    n = static_cast<std::uint8_t>(std::min(n + 1, 2));
                }))
                unsafe.insert(key);
            if (std::uint32_t sk = get32(bytes_ + key + nk::kSecurity); sk != kNoCell)
                ++skUsers[sk];
        });
        forEachKey([&](std::size_t key) {
            bool shared = false;
            ownedCells(key, [&](std::uint32_t cell) {
                shared = shared || owners[cell / kCellAlignment] > 1;
            });
            std::uint32_t sk = get32(bytes_ + key + nk::kSecurity);
            if (shared || (sk != kNoCell && !securityHoldsUp(sk, skUsers[sk])))
                unsafe.insert(key);
        });
        return unsafe;
    }

private:
    template <typename Visit> void forEachKey(Visit visit) {
        forEachCell([&](std::size_t at, std::int32_t size) {
            if (size < 0 &&
                static_cast<std::size_t>(-static_cast<std::int64_t>(size)) >= nk::kName &&
                std::memcmp(bytes_ + at + 4, "nk", 2) == 0)
                visit(at);
        });
    }

    // Each cell that libhivex frees with the key at `key` (as a relative offset), the key's own
    // included; false when one of them is no used cell, and then not all may have been told.
    template <typename Tell> bool ownedCells(std::size_t key, Tell tell) {
        const std::uint8_t* p = bytes_ + key;
        auto own = [&](std::uint32_t cell) {
            if (usedCell(cell) == 0)
                return false;
            tell(cell);
            return true;
        };
        own(static_cast<std::uint32_t>(key - kBaseBlockSize));
        if (get32(p + nk::kSubkeyCount) > 0 && !ownedLists(get32(p + nk::kSubkeyList), own))
            return false;
        if (get32(p + nk::kValueCount) > 0 &&
            !ownedValues(get32(p + nk::kValueList), get32(p + nk::kValueCount), own))
            return false;
        std::uint32_t cls = get32(p + nk::kClassName);
        return cls == kNoCell || own(cls);
    }

    template <typename Own> bool ownedLists(std::uint32_t list, Own own) {
        if (!own(list))
            return false;
        if (!is(list, "ri"))
            return true;
        const std::uint8_t* p = bytes_ + kBaseBlockSize + list;
        std::size_t count = std::min<std::size_t>(
            get16(p + list::kCount), (usedCell(list) - list::kEntries) / list::kIndexEntrySize);
        for (std::size_t i = 0; i < count; ++i) {
            if (!own(get32(p + list::kEntries + i * list::kIndexEntrySize)))
                return false;
        }
        return true;
    }

    template <typename Own> bool ownedValues(std::uint32_t list, std::uint32_t count, Own own) {
        if (usedCell(list) < 4 + std::size_t{count} * 4 || !own(list))
            return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t value = get32(bytes_ + kBaseBlockSize + list + 4 + 4 * i);
            if (!is(value, "vk") || !own(value))
                return false;
            const std::uint8_t* v = bytes_ + kBaseBlockSize + value;
            if ((get32(v + vk::kDataLength) & vk::kInlineData) == 0 && !own(get32(v + vk::kData)))
                return false;
        }
        return true;
    }

    // libhivex takes a user off the count at each delete, and at none left unlinks the cell from
    // its neighbours in the ring, writing into them.
    bool securityHoldsUp(std::uint32_t sk, std::uint32_t users) const {
        if (!is(sk, "sk"))
            return false;
        const std::uint8_t* p = bytes_ + kBaseBlockSize + sk;
        return get32(p + sk::kReferences) >= users && is(get32(p + sk::kNext), "sk") &&
               is(get32(p + sk::kPrevious), "sk");
    }

    // The bins and cell sizes hold up: HiveCells checked them before.
    template <typename Visit> void forEachCell(Visit visit) {
        for (std::size_t bin = kBaseBlockSize; bin < binsEnd_;) {
            std::size_t binSize = get32(bytes_ + bin + bin::kSize);
            for (std::size_t cell = bin + kBinHeaderSize; cell < bin + binSize;) {
                auto size = static_cast<std::int32_t>(get32(bytes_ + cell));
                visit(cell, size);
                cell +=
                    static_cast<std::size_t>(size < 0 ? -static_cast<std::int64_t>(size) : size);
            }
            bin += binSize;
        }
    }

    // The size of the used cell at relative offset `offset`, or 0 when no used cell starts there.
    std::size_t usedCell(std::uint32_t offset) const {
        std::size_t at = kBaseBlockSize + std::size_t{offset};
        if (offset % kCellAlignment != 0 || at + 8 > binsEnd_)
            return 0;
        return cells_.usedCell(at);
    }

    bool is(std::uint32_t offset, std::string_view id) const {
        return usedCell(offset) >= 8 &&
               std::memcmp(bytes_ + kBaseBlockSize + offset + 4, id.data(), 2) == 0;
    }

    void report(std::size_t cell, const std::string& what) {
        if (reports_.size() < kMaxReports)
            reports_.push_back(path_ + ": damaged " + describe(cell) + ": " + what);
        else
            ++leftOut_;
    }

    // "key \"name\" (cell 0x...)", the name only when it can be read.
    std::string describe(std::size_t cell) const {
        bool key = std::memcmp(bytes_ + cell + 4, "nk", 2) == 0;
        std::size_t lengthField = key ? nk::kNameLength : vk::kNameLength;
        std::size_t nameAt = key ? nk::kName : vk::kName;
        std::size_t size = usedCell(static_cast<std::uint32_t>(cell - kBaseBlockSize));
        std::size_t length = get16(bytes_ + cell + lengthField);
        bool oneByte = get16(bytes_ + cell + (key ? nk::kFlags : vk::kFlags)) &
                       (key ? nk::kCompressedName : vk::kCompressedName);
        std::string text = key ? "key" : "value";
        if (oneByte && nameAt + length <= size && length > 0) {
            std::string name(reinterpret_cast<const char*>(bytes_ + cell + nameAt), length);
            for (char& c : name)
                c = (static_cast<unsigned char>(c) < 0x20 || c == '"') ? '?' : c;
            text += " \"" + name + "\"";
        }
        return text + " (cell " + hexOffset(cell - kBaseBlockSize) + ")";
    }

    void checkCell(std::size_t at, std::size_t size) {
        if (std::memcmp(bytes_ + at + 4, "nk", 2) == 0 && size >= nk::kName) {
            checkKey(at, size);
            checkKeyName(at, size);
        } else if (std::memcmp(bytes_ + at + 4, "vk", 2) == 0 && size >= vk::kName)
            checkValue(at, size);
    }

    void checkKey(std::size_t at, std::size_t size) {
        const std::uint8_t* p = bytes_ + at;
        std::size_t nameLength = get16(p + nk::kNameLength);
        if (nameLength == 0 || nk::kName + nameLength > size)
            report(at, "its name length " + std::to_string(nameLength) + " does not fit its cell");
        if (get32(p + nk::kSubkeyCount) > 0)
            checkSubkeyList(at, get32(p + nk::kSubkeyList));
        if (std::uint32_t count = get32(p + nk::kValueCount); count > 0)
            checkValueList(at, get32(p + nk::kValueList), count);
        // Real hives keep a class name length beside a class name offset of "none".
        std::uint32_t cls = get32(p + nk::kClassName);
        if (std::size_t length = get16(p + nk::kClassNameLength); length > 0 && cls != kNoCell) {
            if (usedCell(cls) < 4 + length)
                report(at, "its class name at " + hexOffset(cls) + " (" + std::to_string(length) +
                               " bytes) is not a cell of the hive that holds it");
        }
    }

    // A list of keys ("lf", "lh", "li"), or of such lists ("ri") when `index` is set. Every
    // key in it must name `key` as its parent, or the list leads somewhere else in the tree;
    // none may be the root or be listed twice, or a walk of the tree would meet it again.
    void checkSubkeyList(std::size_t key, std::uint32_t list, bool index = true) {
        bool isIndex = is(list, "ri");
        if (!is(list, "lf") && !is(list, "lh") && !is(list, "li") && !(index && isIndex)) {
            reportList(key, list, " is not a subkey list");
            return;
        }
        const std::uint8_t* p = bytes_ + kBaseBlockSize + list;
        std::size_t count = get16(p + list::kCount);
        bool wide = is(list, "lf") || is(list, "lh");
        std::size_t step = wide ? list::kLeafEntrySize : list::kIndexEntrySize;
        if (list::kEntries + count * step > usedCell(list)) {
            reportList(key, list, " is longer than its cell");
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t entry = get32(p + list::kEntries + i * step);
            if (isIndex) {
                checkSubkeyList(key, entry, false);
            } else if (!checkListedKey(key, list, entry)) {
                return;
            }
        }
    }

    bool checkListedKey(std::size_t key, std::uint32_t list, std::uint32_t entry) {
        std::size_t at = kBaseBlockSize + std::size_t{entry};
        if (!is(entry, "nk") || kBaseBlockSize + get32(bytes_ + at + nk::kParent) != key)
            return wrongEntry(key, list, entry, ", which is not one of its keys");
        if (at == root_)
            return wrongEntry(key, list, entry, ", the root key");
        if (listed_[entry / kCellAlignment]) {
            keyListedTwice_ = true;
            return wrongEntry(key, list, entry, " more than once");
        }
        listed_[entry / kCellAlignment] = true;
        return true;
    }

    // The message is made only here: every subkey of the hive passes through checkListedKey.
    bool wrongEntry(std::size_t key, std::uint32_t list, std::uint32_t entry, const char* what) {
        reportList(key, list, " leads to " + hexOffset(entry) + what);
        return false;
    }

    void reportList(std::size_t key, std::uint32_t list, const std::string& what) {
        subkeyListDamaged_ = true;
        report(key, "its subkey list at " + hexOffset(list) + what);
    }

    void checkValueList(std::size_t key, std::uint32_t list, std::uint32_t count) {
        if (usedCell(list) < 4 + std::size_t{count} * 4) {
            report(key, "its value list at " + hexOffset(list) + " is not a cell of the hive");
            return;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t value = get32(bytes_ + kBaseBlockSize + list + 4 + 4 * i);
            if (!is(value, "vk")) {
                report(key, "its value list at " + hexOffset(list) + " leads to " +
                                hexOffset(value) + ", which is not a value");
                return;
            }
        }
    }

    void checkValue(std::size_t at, std::size_t size) {
        const std::uint8_t* p = bytes_ + at;
        std::size_t nameLength = get16(p + vk::kNameLength);
        if (vk::kName + nameLength > size)
            report(at, "its name length " + std::to_string(nameLength) + " does not fit its cell");
        std::uint32_t length = get32(p + vk::kDataLength);
        if ((length & vk::kInlineData) != 0 || length == 0)
            return;
        std::uint32_t data = get32(p + vk::kData);
        bool fits = length > kMaxPlainData ? is(data, "db") || usedCell(data) >= 4 + length
                                           : usedCell(data) >= 4 + std::size_t{length};
        if (!fits)
            report(at, "its data at " + hexOffset(data) + " (" + std::to_string(length) +
                           " bytes) is not a cell of the hive that holds them");
    }

    // Every key cell passes here, so the usual name is only searched, one byte or unit at a time.
    static bool holdsSeparatorOrNul(const std::uint8_t* name, std::size_t length, bool oneByte) {
        if (oneByte)
            return std::memchr(name, '\\', length) != nullptr ||
                   std::memchr(name, 0, length) != nullptr;
        for (std::size_t i = 0; i + 2 <= length; i += 2) {
            if (name[i + 1] == 0 && (name[i] == '\\' || name[i] == 0))
                return true;
        }
        return false;
    }

    // A name that no path gives (see UnnameableKey.h) is looked for in the cell's bytes; only
    // such a name is decoded, for the message.
    void checkKeyName(std::size_t at, std::size_t size) {
        const std::uint8_t* p = bytes_ + at;
        std::size_t length = get16(p + nk::kNameLength);
        if (nk::kName + length > size)
            return; // checkKey() tells
        bool oneByte = get16(p + nk::kFlags) & nk::kCompressedName;
        std::size_t step = oneByte ? 1 : 2;
        auto unitAt = [&](std::size_t i) -> std::uint16_t {
            return oneByte ? p[nk::kName + i] : get16(p + nk::kName + i);
        };
        if (!holdsSeparatorOrNul(p + nk::kName, length, oneByte))
            return;
        unnameableKey_ = true;
        std::vector<std::uint8_t> units;
        for (std::size_t i = 0; i + step <= length; i += step) {
            units.push_back(static_cast<std::uint8_t>(unitAt(i)));
            units.push_back(static_cast<std::uint8_t>(unitAt(i) >> 8));
        }
        std::string name = text::utf16leToUtf8(units);
        if (reports_.size() < kMaxReports)
            reports_.push_back(path_ + ": damaged key \"" + registry::shownName(name) +
                               "\" (cell " + hexOffset(at - kBaseBlockSize) +
                               "): " + registry::unnameableReport(name));
        else
            ++leftOut_;
    }

    const HiveCells& cells_;
    const std::uint8_t* bytes_;
    std::size_t binsEnd_;
    const std::string& path_;
    std::size_t root_;
    std::pmr::vector<bool> listed_; // one flag per 8 bytes of bins: a key cell met in a subkey list
    std::vector<std::string> reports_;
    std::size_t leftOut_ = 0;
    bool keyListedTwice_ = false;
    bool unnameableKey_ = false;
    bool subkeyListDamaged_ = false;
};

} // namespace

FoundDamage findDamagedCells(const HiveCells& cells, const std::string& path) {
    return DamageFinder(cells, path).run();
}

std::unordered_set<std::size_t> findKeysUnsafeToChange(const HiveCells& cells) {
    const std::string none;
    return DamageFinder(cells, none).keysUnsafeToChange();
}

} // namespace moxalo::hive
