// HiveMapping's reads of subkey lists, value lists and value data. Each takes a hive just as
// libhivex reads it, failing where libhivex fails with the errno it sets, so that a damaged
// hive is read alike before and after a change opens libhivex on it.

#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveMapping.h"

#include <cerrno>

namespace moxalo::hive {

namespace {

using namespace layout;

// The most subkeys, values and bytes of data libhivex reads of one key or value
// (HIVEX_MAX_SUBKEYS, HIVEX_MAX_VALUES, HIVEX_MAX_VALUE_LEN).
constexpr std::size_t kMaxSubkeys = kMaxReadableSubkeys;
constexpr std::size_t kMaxValues = kMaxReadableValues;
constexpr std::size_t kMaxDataLength = 8000000;
// A key's subkey lists are a tree of "ri" indexes over leaf lists; libhivex reads no more
// lists than this for one key, which also ends an index that leads back to itself.
constexpr std::size_t kMaxLists = kMaxReadableSubkeys;

// A big-data cell ("db"): its segment count and the list of its segments.
constexpr std::size_t kDbSegmentCount = 6;
constexpr std::size_t kDbSegmentList = 8;

bool failWith(int err) {
    errno = err;
    return false;
}

} // namespace

bool HiveMapping::subkeys(std::size_t key, std::vector<std::size_t>& found) const {
    found.clear();
    if (!isKey(key))
        return false;
    std::size_t count = get32(at(key) + nk::kSubkeyCount);
    if (count == 0)
        return true;
    if (count > kMaxSubkeys)
        return failWith(ERANGE);
    found.reserve(count);
    std::size_t list = kBaseBlockSize + std::size_t{get32(at(key) + nk::kSubkeyList)};
    if (cells_->usedCell(list) == 0)
        return failWith(EFAULT);
    if (!addSubkeys(list, count, found))
        return false;
    return found.size() == count || failWith(ENOTSUP);
}

// Walks the tree of lists below `list` depth first, in order, without recursion: a damaged
// index may nest lists without end.
bool HiveMapping::addSubkeys(std::size_t list, std::size_t limit,
                             std::vector<std::size_t>& found) const {
    struct Index {
        std::size_t list, next, count;
    };
    std::vector<Index> indexes;
    std::size_t lists = 0;
    for (;;) {
        if (++lists > kMaxLists)
            return failWith(ERANGE);
        const std::uint8_t* p = at(list);
        std::size_t size = cells_->usedCell(list);
        std::size_t count = get16(p + list::kCount);
        bool leaf = cells_->is(list, "lf") || cells_->is(list, "lh");
        std::size_t step = leaf ? list::kLeafEntrySize : list::kIndexEntrySize;
        if (!leaf && !cells_->is(list, "li") && !cells_->is(list, "ri"))
            return failWith(ENOTSUP);
        if (list::kEntries + count * step > size)
            return failWith(EFAULT);
        if (!cells_->is(list, "ri")) {
            if (!addListed(p + list::kEntries, count, step, limit, found))
                return false;
        } else {
            indexes.push_back({list, 0, count});
        }
        for (;;) {
            if (indexes.empty())
                return true;
            Index& index = indexes.back();
            if (index.next < index.count)
                break;
            indexes.pop_back();
        }
        Index& index = indexes.back();
        std::size_t entry = index.list + list::kEntries + index.next++ * list::kIndexEntrySize;
        list = kBaseBlockSize + std::size_t{get32(at(entry))};
        if (cells_->usedCell(list) == 0)
            return failWith(EFAULT);
    }
}

bool HiveMapping::addListed(const std::uint8_t* entries, std::size_t count, std::size_t step,
                            std::size_t limit, std::vector<std::size_t>& found) const {
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t child = kBaseBlockSize + std::size_t{get32(entries + i * step)};
        if (!cells_->is(child, "nk"))
            return failWith(EFAULT);
        if (found.size() >= limit)
            return failWith(ERANGE);
        found.push_back(child);
    }
    return true;
}

bool HiveMapping::values(std::size_t key, std::vector<std::size_t>& found) const {
    found.clear();
    if (!isKey(key))
        return false;
    std::size_t count = get32(at(key) + nk::kValueCount);
    if (count == 0)
        return true;
    if (count > kMaxValues)
        return failWith(ERANGE);
    std::size_t list = kBaseBlockSize + std::size_t{get32(at(key) + nk::kValueList)};
    std::size_t size = cells_->usedCell(list);
    if (size == 0 || 4 + count * 4 > size)
        return failWith(EFAULT);
    found.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t value = kBaseBlockSize + std::size_t{get32(at(list) + 4 + 4 * i)};
        if (cells_->usedCell(value) == 0)
            return failWith(EFAULT);
        found.push_back(value);
    }
    return true;
}

bool HiveMapping::valueData(std::size_t value, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) const {
    data.clear();
    // A cell too small for a value's fields is none, where libhivex would read past it.
    if (!cells_->is(value, "vk") || cells_->usedCell(value) < vk::kName)
        return failWith(EINVAL);
    const std::uint8_t* p = at(value);
    type = get32(p + vk::kType);
    std::uint32_t field = get32(p + vk::kDataLength);
    std::size_t length = field & ~vk::kInlineData;
    bool inlined = (field & vk::kInlineData) != 0;
    if (inlined && length > 4)
        return failWith(ENOTSUP);
    if (length > kMaxDataLength)
        return failWith(ERANGE);
    if (inlined) {
        data.assign(p + vk::kData, p + vk::kData + length);
        return true;
    }
    std::size_t cell = kBaseBlockSize + std::size_t{get32(p + vk::kData)};
    std::size_t size = cells_->usedCell(cell);
    if (size == 0)
        return failWith(EFAULT);
    if (length <= size - 4) {
        data.assign(at(cell) + 4, at(cell) + 4 + length);
        return true;
    }
    return bigData(cell, length, data);
}

// Data in segments of a "db" cell: each segment gives its cell's bytes but for the size field
// and the last four, as libhivex reads them, up to the data's length.
bool HiveMapping::bigData(std::size_t db, std::size_t length,
                          std::vector<std::uint8_t>& data) const {
    if (!cells_->is(db, "db") || cells_->usedCell(db) < kDbSegmentList + 4)
        return failWith(EINVAL);
    std::size_t segments = get16(at(db) + kDbSegmentCount);
    std::size_t list = kBaseBlockSize + std::size_t{get32(at(db) + kDbSegmentList)};
    std::size_t listSize = cells_->usedCell(list);
    if (listSize == 0 || 4 + segments * 4 > listSize)
        return failWith(EINVAL);
    data.reserve(length);
    for (std::size_t i = 0; i < segments; ++i) {
        std::size_t segment = kBaseBlockSize + std::size_t{get32(at(list) + 4 + 4 * i)};
        std::size_t size = cells_->usedCell(segment);
        if (size == 0)
            return failWith(EINVAL);
        std::size_t take = std::min(size - 8, length - data.size());
        data.insert(data.end(), at(segment) + 4, at(segment) + 4 + take);
    }
    return true;
}

} // namespace moxalo::hive
