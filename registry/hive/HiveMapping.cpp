#include "registry/hive/HiveMapping.h"

#include "base/Utf16.h"
#include "registry/RegistryStore.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/KeyOwner.h"

#include <algorithm>
#include <cerrno>
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

} // namespace

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
    auto size = static_cast<std::size_t>(st.st_size);
    // Every page is read by the check of the cells: mapped in one go, not fault by fault.
    file_ = std::make_unique<fs::MappedFile>(fd, size, MAP_PRIVATE | MAP_POPULATE);
    if (int err = file_->error())
        fail(path, std::string("cannot map: ") + std::strerror(err));
    try {
        check({file_->data(), size});
    } catch (const registry::StoreError&) {
        checkUnchanged(); // the damage found may be the change's
        throw;
    }
    checkUnchanged();
}

HiveMapping::HiveMapping(std::span<const std::uint8_t> bytes, const std::string& name)
    : path_(name) {
    check(bytes);
}

HiveMapping::HiveMapping(std::vector<std::uint8_t> bytes, const std::string& name)
    : path_(name), owned_(std::move(bytes)) {
    check(owned_);
}

HiveMapping::~HiveMapping() = default;

void HiveMapping::check(std::span<const std::uint8_t> bytes) {
    cells_ = std::make_unique<HiveCells>(bytes, path_, &pages_);
    damage_ = findDamagedCells(*cells_, path_);
}

void HiveMapping::checkUnchanged() const {
    if (file_ && file_->changed())
        fail(path_, "the file was changed by another program while it was read");
}

std::optional<std::string_view> HiveMapping::cellName(std::size_t offset, const NameFields& fields,
                                                      std::string& decoded) const {
    if (!cells_->is(offset, fields.id)) {
        errno = EINVAL;
        return std::nullopt;
    }
    const std::uint8_t* p = at(offset);
    std::size_t size = cells_->usedCell(offset);
    if (size < fields.name || fields.name + get16(p + fields.length) > size) {
        errno = EFAULT;
        return std::nullopt;
    }
    std::size_t length = get16(p + fields.length);
    const std::uint8_t* name = p + fields.name;
    if (get16(p + fields.flags) & fields.compressed) {
        if (std::all_of(name, name + length, [](std::uint8_t c) { return c < 0x80; }))
            return std::string_view(reinterpret_cast<const char*>(name), length);
        decoded = latin1ToUtf8(name, length);
    } else {
        // libhivex's conversion refuses a lone surrogate, which the program's text keeps.
        decoded = text::utf16leToUtf8(name, length);
    }
    return std::string_view(decoded);
}

std::optional<std::string_view> HiveMapping::keyName(std::size_t key, std::string& decoded) const {
    return cellName(key, {"nk", nk::kFlags, nk::kNameLength, nk::kName, nk::kCompressedName},
                    decoded);
}

std::optional<std::string_view> HiveMapping::valueName(std::size_t value,
                                                       std::string& decoded) const {
    return cellName(value, {"vk", vk::kFlags, vk::kNameLength, vk::kName, vk::kCompressedName},
                    decoded);
}

bool HiveMapping::isKey(std::size_t key) const {
    if (cells_->is(key, "nk") && cells_->usedCell(key) >= nk::kName)
        return true;
    errno = EINVAL;
    return false;
}

std::optional<std::uint64_t> HiveMapping::keyTime(std::size_t key) const {
    if (!isKey(key))
        return std::nullopt;
    return get64(at(key) + nk::kTimestamp);
}

std::optional<std::string> HiveMapping::keyOwner(std::size_t key) const {
    return hive::keyOwner(*cells_, key);
}

std::optional<std::size_t> HiveMapping::keyParent(std::size_t key) const {
    if (!isKey(key))
        return std::nullopt;
    return kBaseBlockSize + std::size_t{get32(at(key) + nk::kParent)};
}

bool HiveMapping::listsInLi(std::size_t key) const {
    if (!isKey(key) || get32(at(key) + nk::kSubkeyCount) == 0)
        return false;
    std::size_t list = kBaseBlockSize + std::size_t{get32(at(key) + nk::kSubkeyList)};
    if (cells_->is(list, "li"))
        return true;
    if (!cells_->is(list, "ri"))
        return false;
    std::size_t count =
        std::min<std::size_t>(get16(at(list) + list::kCount),
                              (cells_->usedCell(list) - list::kEntries) / list::kIndexEntrySize);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t leaf = get32(at(list) + list::kEntries + i * list::kIndexEntrySize);
        if (cells_->is(kBaseBlockSize + leaf, "li"))
            return true;
    }
    return false;
}

std::unordered_set<std::size_t> HiveMapping::keysWithLiLists() const {
    std::unordered_set<std::size_t> keys;
    const std::uint8_t* bytes = cells_->bytes();
    for (std::size_t bin = kBaseBlockSize; bin < cells_->binsEnd();) {
        std::size_t binEnd = bin + get32(bytes + bin + bin::kSize);
        for (std::size_t cell = bin + kBinHeaderSize; cell < binEnd;) {
            auto raw = static_cast<std::int32_t>(get32(bytes + cell));
            if (raw < 0 && listsInLi(cell))
                keys.insert(cell);
            cell += static_cast<std::size_t>(raw < 0 ? -static_cast<std::int64_t>(raw) : raw);
        }
        bin = binEnd;
    }
    return keys;
}

std::unordered_set<std::size_t> HiveMapping::keysUnsafeToChange() const {
    return findKeysUnsafeToChange(*cells_);
}

} // namespace moxalo::hive
