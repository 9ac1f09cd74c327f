#include "registry/hivewriter/HiveWriter.h"

#include "base/AtomicFile.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/LargeKeyLists.h"
#include "registry/hivewriter/EmptyHive.h"

#include <cerrno>
#include <unistd.h>

namespace moxalo::hive {

namespace {

// Subkeys per holder key, and holders per holder above them.
constexpr std::size_t kHolderFanOut = 32;
constexpr std::size_t kMaxSubkeys = layout::kMaxReadableSubkeys;
// Windows itself nests keys at most this deep.
constexpr std::size_t kMaxDepth = 512;

struct Holder {
    std::size_t node;
    std::size_t room;
};

class Writer {
public:
    Writer(registry::RegistryStore& from, std::string path, hive_h* h)
        : from_(from), path_(std::move(path)), h_(h) {}

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
                copyKey(from_.childAt(source, i), addChild(target, from_.childName(source, i)),
                        depth + 1);
    }

    const std::vector<LargeKey>& largeKeys() const { return largeKeys_; }

private:
    [[noreturn]] void fail(const std::string& what) { failWithErrno(path_, what); }

    hive_node_h addChild(hive_node_h parent, std::string_view name) {
        std::string text(name);
        errno = 0;
        hive_node_h child = hivex_node_add_child(h_, parent, text.c_str());
        if (child == 0)
            fail("cannot add the key \"" + text + "\"");
        return child;
    }

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

    // Creates holders under `parent` with room for `count` keys, at most kHolderFanOut below
    // each, and lists the lowest ones in `rooms`.
    void makeHolders(hive_node_h parent, std::size_t count, LargeKey& key,
                     std::vector<Holder>& rooms) {
        std::size_t perHolder = kHolderFanOut;
        while (perHolder * kHolderFanOut < count)
            perHolder *= kHolderFanOut;
        for (std::size_t i = 0; count > 0; ++i) {
            std::size_t share = std::min(perHolder, count);
            hive_node_h holder = addChild(parent, std::to_string(i));
            key.holders.push_back(holder);
            if (share <= kHolderFanOut)
                rooms.push_back({holder, share});
            else
                makeHolders(holder, share, key, rooms);
            count -= share;
        }
    }

    void copyManySubkeys(registry::NodeId source, hive_node_h target, std::size_t count,
                         std::size_t depth) {
        LargeKey key;
        key.node = target;
        std::vector<Holder> rooms;
        makeHolders(target, count, key, rooms);
        std::size_t room = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (rooms[room].room == 0)
                ++room;
            --rooms[room].room;
            std::string name(from_.childName(source, i));
            hive_node_h child = addChild(rooms[room].node, name);
            key.children.push_back(child);
            key.names.push_back(std::move(name));
            copyKey(from_.childAt(source, i), child, depth + 1);
        }
        largeKeys_.push_back(std::move(key));
    }

    registry::RegistryStore& from_;
    std::string path_;
    hive_h* h_;
    std::vector<LargeKey> largeKeys_;
};

void writeInto(registry::RegistryStore& from, registry::NodeId key, const std::string& file) {
    writeEmptyHive(file);
    HiveHandle h = openHive(file, HIVEX_OPEN_WRITE);
    Writer writer(from, file, h.get());
    writer.copyKey(key, hivex_root(h.get()), 0);
    errno = 0;
    if (hivex_commit(h.get(), file.c_str(), 0) != 0)
        failWithErrno(file, "cannot write the hive");
    h.reset();
    relinkLargeKeys(file, writer.largeKeys());
}

} // namespace

void writeHive(registry::RegistryStore& from, registry::NodeId key, const std::string& path) {
    auto file = fs::PendingFile::reserve(path);
    writeInto(from, key, file.temporaryPath());
    file.commit();
}

} // namespace moxalo::hive
