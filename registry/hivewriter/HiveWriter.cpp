#include "registry/hivewriter/HiveWriter.h"

#include "base/AtomicFile.h"
#include "registry/Attempt.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HolderKeys.h"
#include "registry/hivewriter/EmptyHive.h"

#include <cerrno>
#include <unistd.h>

namespace moxalo::hive {

namespace {

constexpr std::size_t kMaxSubkeys = layout::kMaxReadableSubkeys;
// Windows itself nests keys at most this deep.
constexpr std::size_t kMaxDepth = 512;

class Writer {
public:
    Writer(registry::RegistryStore& from, std::string path, hive_h* h,
           const std::string& holderKeyPrefix)
        : from_(from), path_(std::move(path)), h_(h), holders_(holderKeyPrefix, path_) {}

    void copyKey(registry::NodeId source, hive_node_h target, std::size_t depth) {
        if (depth > kMaxDepth)
            fail("keys nested deeper than " + std::to_string(kMaxDepth) + " levels");
        copyValues(source, target);
        std::size_t count = from_.childCount(source);
        if (count > kMaxSubkeys)
            fail("a key has " + std::to_string(count) + " subkeys, more than " +
                 std::to_string(kMaxSubkeys));
        if (count > kDirectSubkeys)
            copyManySubkeys(source, target, count, depth);
        else
            for (std::size_t i = 0; i < count; ++i)
                copyKey(from_.childAt(source, i),
                        addKey(h_, target, std::string(from_.childName(source, i)), path_),
                        depth + 1);
    }

    std::vector<LargeKey> largeKeys() const { return holders_.largeKeys(); }

private:
    [[noreturn]] void fail(const std::string& what) { failWithErrno(path_, what); }

    void copyValues(registry::NodeId source, hive_node_h target) {
        std::size_t count = from_.valueCount(source);
        if (count == 0)
            return;
        std::vector<std::string> names;
        std::vector<registry::RegValue> values;
        names.reserve(count);
        values.reserve(count);
        std::vector<hive_set_value> set(count);
        for (std::size_t i = 0; i < count; ++i) {
            names.emplace_back(from_.valueName(source, i));
            values.push_back(from_.valueAt(source, i));
            set[i].key = names.back().data();
            setHiveType(set[i], values.back().type);
            set[i].len = values.back().data.size();
            set[i].value = reinterpret_cast<char*>(values.back().data.data());
        }
        errno = 0;
        if (hivex_node_set_values(h_, target, set.size(), set.data(), 0) != 0)
            fail("cannot set the values of a key");
    }

    void copyManySubkeys(registry::NodeId source, hive_node_h target, std::size_t count,
                         std::size_t depth) {
        holders_.start(target, {}, {});
        for (std::size_t i = 0; i < count; ++i) {
            hive_node_h child = holders_.add(h_, target, std::string(from_.childName(source, i)));
            copyKey(from_.childAt(source, i), child, depth + 1);
        }
    }

    registry::RegistryStore& from_;
    std::string path_;
    hive_h* h_;
    HolderKeys holders_;
};

void writeInto(registry::RegistryStore& from, registry::NodeId key, const std::string& file,
               const std::string& holderKeyPrefix) {
    writeEmptyHive(file);
    HiveHandle h = openHive(file, HIVEX_OPEN_WRITE);
    Writer writer(from, file, h.get(), holderKeyPrefix);
    writer.copyKey(key, hivex_root(h.get()), 0);
    errno = 0;
    if (hivex_commit(h.get(), file.c_str(), 0) != 0)
        failWithErrno(file, "cannot write the hive");
    h.reset();
    relinkLargeKeys(file, writer.largeKeys());
}

} // namespace

void writeHive(registry::RegistryStore& from, registry::NodeId key, const std::string& path,
               const std::string& holderKeyPrefix) {
    fs::PendingFile file = registry::orStoreError(fs::PendingFile::reserve(path));
    writeInto(from, key, file.temporaryPath(), holderKeyPrefix);
    registry::orStoreError(file.commit());
}

} // namespace moxalo::hive
