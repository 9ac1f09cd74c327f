#include "registry/hive/LargeKeyLists.h"

#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/RegistryStore.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace moxalo::hive {

namespace {

using namespace layout;
using Bytes = std::vector<std::uint8_t>;

// Windows splits long subkey lists the same way, into leaves below an index list.
constexpr std::size_t kLeafCapacity = 1024;

class HiveImage {
public:
    explicit HiveImage(std::string path) : path_(std::move(path)) {
        int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0)
            failWithErrno(path_, "cannot read the hive just written");
        bytes_.resize(static_cast<std::size_t>(st.st_size));
        for (std::size_t done = 0; done < bytes_.size();) {
            ssize_t n = ::read(fd, bytes_.data() + done, bytes_.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ::close(fd);
                failWithErrno(path_, "cannot read the hive just written");
            }
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        if (bytes_.size() < kBaseBlockSize + kBinAlignment)
            fail("the hive just written is too short");
        bytes_.resize(kBaseBlockSize + get32(bytes_.data() + base::kBinsSize));
    }

    // The cell at a node handle (an absolute offset), checked to lie within the bins.
    std::uint8_t* cell(std::size_t offset, const char* id) {
        if (offset < kBaseBlockSize || offset + nk::kName > bytes_.size() ||
            std::memcmp(bytes_.data() + offset + 4, id, 2) != 0)
            fail("no " + std::string(id) + " cell at offset " + std::to_string(offset));
        return bytes_.data() + offset;
    }
    static std::size_t absolute(std::uint32_t relative) { return kBaseBlockSize + relative; }
    static std::uint32_t relative(std::size_t absolute) {
        return static_cast<std::uint32_t>(absolute - kBaseBlockSize);
    }

    // A used cell has a negative size; making it positive frees it.
    void freeCell(std::size_t offset) {
        std::uint8_t* p = bytes_.data() + offset;
        auto size = static_cast<std::int32_t>(get32(p));
        if (size < 0)
            put32(p, static_cast<std::uint32_t>(-size));
    }

    // Frees the subkey list of a key (a leaf list, or an index list with its leaves).
    void freeSubkeyLists(std::size_t node) {
        std::uint32_t list = get32(cell(node, "nk") + nk::kSubkeyList);
        if (list == kNoCell)
            return;
        std::size_t at = absolute(list);
        if (bytes_.at(at + 4) == 'r' && bytes_.at(at + 5) == 'i') {
            std::uint16_t count = get16(cell(at, "ri") + list::kCount);
            for (std::size_t i = 0; i < count; ++i)
                freeCell(absolute(get32(cell(at, "ri") + list::kEntries + 4 * i)));
        }
        freeCell(at);
    }

    void dropHolder(std::size_t holder) {
        freeSubkeyLists(holder);
        std::size_t security = absolute(get32(cell(holder, "nk") + nk::kSecurity));
        std::uint8_t* sk = cell(security, "sk");
        put32(sk + sk::kReferences, get32(sk + sk::kReferences) - 1);
        freeCell(holder);
    }

    // Appends a hive bin able to hold `cellBytes` of cells; returns where its cells start.
    std::size_t appendBin(std::size_t cellBytes) {
        std::size_t size =
            (kBinHeaderSize + cellBytes + kBinAlignment - 1) / kBinAlignment * kBinAlignment;
        std::size_t at = bytes_.size();
        bytes_.resize(at + size);
        std::uint8_t* bin = bytes_.data() + at;
        std::memcpy(bin, "hbin", 4);
        put32(bin + bin::kOffset, relative(at));
        put32(bin + bin::kSize, static_cast<std::uint32_t>(size));
        std::size_t spare = size - kBinHeaderSize - cellBytes;
        if (spare > 0)
            put32(bin + kBinHeaderSize + cellBytes, static_cast<std::uint32_t>(spare));
        return at + kBinHeaderSize;
    }

    std::uint8_t* at(std::size_t offset) { return bytes_.data() + offset; }

    // Over the file itself: it is the writer's temporary file, which nothing reads yet.
    void save() {
        put32(bytes_.data() + base::kBinsSize,
              static_cast<std::uint32_t>(bytes_.size() - kBaseBlockSize));
        put32(bytes_.data() + base::kChecksum, baseBlockChecksum(bytes_.data()));
        int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0)
            failWithErrno(path_, "cannot write the hive");
        for (std::size_t done = 0; done < bytes_.size();) {
            ssize_t n = ::write(fd, bytes_.data() + done, bytes_.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ::close(fd);
                failWithErrno(path_, "cannot write the hive");
            }
            done += static_cast<std::size_t>(n);
        }
        bool flushed = fsync(fd) == 0;
        if (::close(fd) != 0 || !flushed)
            failWithErrno(path_, "cannot write the hive");
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw registry::StoreError(path_ + ": " + what);
    }

private:
    std::string path_;
    Bytes bytes_;
};

// The hash a leaf list keeps beside each subkey: its upper-cased UTF-16 name, base 37.
std::uint32_t nameHash(const std::string& name) {
    auto units = text::utf8ToUtf16le(registry::foldName(name));
    std::uint32_t hash = 0;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2)
        hash = hash * 37 + get16(units.data() + i);
    return hash;
}

std::size_t cellSize(std::size_t bytes) {
    return (bytes + kCellAlignment - 1) / kCellAlignment * kCellAlignment;
}

// Writes the sorted subkeys as leaf lists (and an index list over them when there are
// several); returns the cell the key should point at.
std::size_t writeLists(HiveImage& hive, const LargeKey& key,
                       const std::vector<std::size_t>& order) {
    std::size_t leaves = (order.size() + kLeafCapacity - 1) / kLeafCapacity;
    std::size_t indexBytes = leaves > 1 ? cellSize(list::kEntries + 4 * leaves) : 0;
    std::size_t at =
        hive.appendBin(indexBytes + order.size() * list::kLeafEntrySize + leaves * list::kEntries);
    std::size_t index = at;
    std::size_t next = at + indexBytes;
    if (indexBytes > 0) {
        put32(hive.at(index), static_cast<std::uint32_t>(-static_cast<std::int32_t>(indexBytes)));
        std::memcpy(hive.at(index) + 4, "ri", 2);
        put16(hive.at(index) + list::kCount, static_cast<std::uint16_t>(leaves));
    }
    for (std::size_t leaf = 0; leaf < leaves; ++leaf) {
        std::size_t first = leaf * kLeafCapacity;
        std::size_t count = std::min(kLeafCapacity, order.size() - first);
        std::size_t bytes = list::kEntries + count * list::kLeafEntrySize;
        std::uint8_t* p = hive.at(next);
        put32(p, static_cast<std::uint32_t>(-static_cast<std::int32_t>(bytes)));
        std::memcpy(p + 4, "lh", 2);
        put16(p + list::kCount, static_cast<std::uint16_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t child = order[first + i];
            put32(p + list::kEntries + 8 * i, HiveImage::relative(key.children[child]));
            put32(p + list::kEntries + 8 * i + 4, nameHash(key.names[child]));
        }
        if (indexBytes > 0)
            put32(hive.at(index) + list::kEntries + 4 * leaf, HiveImage::relative(next));
        next += bytes;
    }
    return indexBytes > 0 ? index : at;
}

void relink(HiveImage& hive, const LargeKey& key) {
    hive.freeSubkeyLists(key.node);
    for (std::size_t holder : key.holders)
        hive.dropHolder(holder);
    std::vector<std::size_t> order(key.children.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return registry::compareNames(key.names[a], key.names[b]) < 0;
    });
    std::size_t lists = writeLists(hive, key, order);
    std::size_t longest = 0;
    for (std::size_t i = 0; i < key.children.size(); ++i) {
        put32(hive.cell(key.children[i], "nk") + nk::kParent, HiveImage::relative(key.node));
        longest = std::max(longest, text::utf8ToUtf16le(key.names[i]).size());
    }
    std::uint8_t* p = hive.cell(key.node, "nk");
    put32(p + nk::kSubkeyCount, static_cast<std::uint32_t>(key.children.size()));
    put32(p + nk::kSubkeyList, HiveImage::relative(lists));
    put16(p + nk::kMaxSubkeyNameBytes, static_cast<std::uint16_t>(longest));
}

} // namespace

void relinkLargeKeys(const std::string& path, const std::vector<LargeKey>& keys) {
    if (keys.empty())
        return;
    HiveImage hive(path);
    for (const LargeKey& key : keys)
        relink(hive, key);
    hive.save();
}

} // namespace moxalo::hive
