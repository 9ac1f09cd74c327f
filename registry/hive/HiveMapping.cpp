#include "registry/hive/HiveMapping.h"

#include "base/Utf16.h"
#include "registry/RegistryStore.h"
#include "registry/hive/HiveDamage.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace moxalo::hive {

namespace {

using namespace layout;

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw registry::StoreError(path + ": " + what);
}

// One-byte names are Latin-1; each byte above 0x7F becomes two bytes of UTF-8.
std::string latin1ToUtf8(const std::uint8_t* p, std::size_t n) {
    // Names are read by the ten thousand; writing into a sized string beats push_back.
    std::size_t wide = 0;
    for (std::size_t i = 0; i < n; ++i)
        wide += p[i] >> 7;
    std::string out(n + wide, '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80) {
            *o++ = static_cast<char>(p[i]);
        } else {
            *o++ = static_cast<char>(0xC0 | p[i] >> 6);
            *o++ = static_cast<char>(0x80 | (p[i] & 0x3F));
        }
    }
    return out;
}

// How much of the second view may stay resident: names read, or bytes of bins walked.
constexpr std::size_t kReadsPerRelease = 4096;
constexpr std::size_t kBytesPerRelease = 8u << 20;

} // namespace

void HiveMapping::notePagesRead(std::size_t reads) const {
    readsSinceRelease_ += reads;
    if (readsSinceRelease_ < kReadsPerRelease)
        return;
    madvise(const_cast<std::uint8_t*>(bytes_), size_, MADV_DONTNEED);
    readsSinceRelease_ = 0;
}

HiveMapping::HiveMapping(const std::string& path) : path_(path) {
    // Not blocking, so that a named pipe is refused below instead of waiting for a writer.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        fail(path, std::string("cannot open: ") + std::strerror(errno));
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        fail(path, "not a regular file");
    }
    size_ = static_cast<std::size_t>(st.st_size);
    file_ = std::make_unique<fs::MappedFile>(fd, size_, MAP_SHARED);
    if (int err = file_->error())
        fail(path, std::string("cannot map: ") + std::strerror(err));
    bytes_ = file_->data();
    try {
        checkBaseBlock(path);
        checkBins(path);
        damage_ = findDamagedCells(bytes_, path);
        notePagesRead(kReadsPerRelease);
    } catch (const registry::StoreError&) {
        checkUnchanged(); // the damage found may be the change's
        throw;
    }
    checkUnchanged();
}

HiveMapping::~HiveMapping() = default;

void HiveMapping::checkUnchanged() const {
    if (file_->changed())
        fail(path_, "the file was changed by another program while it was read");
}

void HiveMapping::checkBaseBlock(const std::string& path) const {
    if (size_ < 4 || std::memcmp(bytes_, "regf", 4) != 0)
        fail(path, "not a registry hive (it does not start with \"regf\")");
    if (size_ < kBaseBlockSize + kBinAlignment)
        fail(path, "truncated hive: " + std::to_string(size_) + " bytes, less than one hive bin");
    std::uint32_t major = get32(bytes_ + base::kMajorVersion);
    if (major != 1)
        fail(path, "unsupported hive format version " + std::to_string(major) + "." +
                       std::to_string(get32(bytes_ + base::kMinorVersion)));
    std::uint32_t stored = get32(bytes_ + base::kChecksum);
    if (std::uint32_t sum = baseBlockChecksum(bytes_); sum != stored)
        fail(path,
             "broken hive header: checksum " + hexOffset(stored) + ", computed " + hexOffset(sum));
    std::size_t bins = get32(bytes_ + base::kBinsSize);
    if (bins == 0 || bins % kBinAlignment != 0)
        fail(path, "broken hive header: hive bins size " + hexOffset(bins));
    if (kBaseBlockSize + bins > size_)
        fail(path, "truncated hive: the header gives " + std::to_string(bins) +
                       " bytes of hive bins, the file holds " +
                       std::to_string(size_ - kBaseBlockSize));
    std::size_t root = get32(bytes_ + base::kRootCell);
    if (root >= bins)
        fail(path,
             "broken hive header: root key offset " + hexOffset(root) + " beyond the hive bins");
}

// The same walk over bins and cell sizes that libhivex makes on opening, for a message that
// says where the damage is.
void HiveMapping::checkBins(const std::string& path) const {
    std::size_t end = kBaseBlockSize + get32(bytes_ + base::kBinsSize);
    std::size_t walked = 0;
    for (std::size_t at = kBaseBlockSize; at < end;) {
        std::size_t size = checkBin(path, at, end);
        at += size;
        walked += size;
        if (walked >= kBytesPerRelease) {
            notePagesRead(kReadsPerRelease);
            walked = 0;
        }
    }
    notePagesRead(kReadsPerRelease);
}

std::size_t HiveMapping::checkBin(const std::string& path, std::size_t at, std::size_t end) const {
    if (std::memcmp(bytes_ + at, "hbin", 4) != 0)
        fail(path, "damaged hive: no hive bin at offset " + hexOffset(at));
    std::size_t size = get32(bytes_ + at + bin::kSize);
    if (size <= kBinHeaderSize || size % kBinAlignment != 0 || size > end - at)
        fail(path, "damaged hive: the hive bin at offset " + hexOffset(at) + " has size " +
                       hexOffset(size));
    if (get32(bytes_ + at + bin::kOffset) != at - kBaseBlockSize)
        fail(path,
             "damaged hive: the hive bin at offset " + hexOffset(at) + " names another offset");
    for (std::size_t cell = at + kBinHeaderSize; cell < at + size;) {
        auto raw = static_cast<std::int32_t>(get32(bytes_ + cell));
        std::int64_t length = raw < 0 ? -static_cast<std::int64_t>(raw) : raw;
        if (length <= 4 || length % 4 != 0 || static_cast<std::size_t>(length) > at + size - cell)
            fail(path, "damaged hive: the cell at offset " + hexOffset(cell) + " has size " +
                           std::to_string(length));
        cell += static_cast<std::size_t>(length);
    }
    return size;
}

const std::uint8_t* HiveMapping::cell(std::size_t offset, const char* id, std::size_t fixedPart,
                                      std::size_t& cellSize) const {
    if (offset < kBaseBlockSize || offset > size_ - 4)
        return nullptr;
    auto size = static_cast<std::int32_t>(get32(bytes_ + offset));
    cellSize = size < 0 ? static_cast<std::size_t>(-static_cast<std::int64_t>(size)) : 0;
    if (cellSize < fixedPart || cellSize > size_ - offset ||
        std::memcmp(bytes_ + offset + 4, id, 2) != 0)
        return nullptr;
    return bytes_ + offset;
}

std::optional<std::string> HiveMapping::cellName(std::size_t offset,
                                                 const NameFields& fields) const {
    std::size_t size = 0;
    notePagesRead(1);
    const std::uint8_t* p = cell(offset, fields.id, fields.name, size);
    if (p == nullptr)
        return std::nullopt;
    std::size_t length = get16(p + fields.length);
    if (length > size - fields.name)
        return std::nullopt;
    if (get16(p + fields.flags) & fields.compressed)
        return latin1ToUtf8(p + fields.name, length);
    // libhivex's conversion refuses a lone surrogate, which the program's text keeps.
    return text::utf16leToUtf8(p + fields.name, length);
}

std::optional<std::string> HiveMapping::keyName(std::size_t offset) const {
    return cellName(offset, {"nk", nk::kFlags, nk::kNameLength, nk::kName, nk::kCompressedName});
}

std::optional<std::size_t> HiveMapping::keyParent(std::size_t offset) const {
    std::size_t size = 0;
    const std::uint8_t* p = cell(offset, "nk", nk::kName, size);
    if (p == nullptr)
        return std::nullopt;
    return kBaseBlockSize + std::size_t{get32(p + nk::kParent)};
}

bool HiveMapping::listsInLi(std::size_t key) const {
    std::size_t size = 0;
    const std::uint8_t* nk = cell(key, "nk", nk::kName, size);
    if (nk == nullptr || get32(nk + nk::kSubkeyCount) == 0)
        return false;
    std::size_t list = kBaseBlockSize + std::size_t{get32(nk + nk::kSubkeyList)};
    if (cell(list, "li", list::kEntries, size) != nullptr)
        return true;
    const std::uint8_t* index = cell(list, "ri", list::kEntries, size);
    if (index == nullptr)
        return false;
    std::size_t count = std::min<std::size_t>(get16(index + list::kCount),
                                              (size - list::kEntries) / list::kIndexEntrySize);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t leaf = get32(index + list::kEntries + i * list::kIndexEntrySize);
        if (cell(kBaseBlockSize + leaf, "li", list::kEntries, size) != nullptr)
            return true;
    }
    return false;
}

std::unordered_set<std::size_t> HiveMapping::keysWithLiLists() const {
    std::unordered_set<std::size_t> keys;
    std::size_t end = kBaseBlockSize + get32(bytes_ + base::kBinsSize);
    for (std::size_t bin = kBaseBlockSize; bin < end; bin += get32(bytes_ + bin + bin::kSize)) {
        std::size_t binEnd = bin + get32(bytes_ + bin + bin::kSize);
        for (std::size_t at = bin + kBinHeaderSize; at < binEnd;) {
            auto raw = static_cast<std::int32_t>(get32(bytes_ + at));
            if (raw < 0 && listsInLi(at))
                keys.insert(at);
            at += static_cast<std::size_t>(raw < 0 ? -static_cast<std::int64_t>(raw) : raw);
        }
    }
    notePagesRead(kReadsPerRelease);
    return keys;
}

std::unordered_set<std::size_t> HiveMapping::keysUnsafeToChange() const {
    auto keys = findKeysUnsafeToChange(bytes_);
    notePagesRead(kReadsPerRelease);
    return keys;
}

std::optional<std::string> HiveMapping::valueName(std::size_t offset) const {
    return cellName(offset, {"vk", vk::kFlags, vk::kNameLength, vk::kName, vk::kCompressedName});
}

} // namespace moxalo::hive
