#include "bench/WinePrefix.h"

#include "base/AtomicFile.h"
#include "registry/wine/WineRegistryFile.h"

#include <filesystem>

namespace moxalo::bench {

namespace {

using registry::MemoryStore;

// 2024-01-01 00:00 UTC as a FILETIME: a fixed time, so that the files do not change.
constexpr std::uint64_t kKeyTime = 133485408000000000ull;

constexpr std::string_view kSystemHeader = "WINE REGISTRY Version 2\n"
                                           ";; All keys relative to REGISTRY\\\\Machine\n"
                                           "\n"
                                           "#arch=win64\n";
constexpr std::string_view kUserHeader =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n";

// wineserver writes a key without values only when it has no subkeys either.
void unlistHolders(MemoryStore& store) {
    std::vector<MemoryStore::Node*> pending{MemoryStore::node(store.rootNode())};
    while (!pending.empty()) {
        MemoryStore::Node* key = pending.back();
        pending.pop_back();
        key->listed = key->values.empty() && key->children.empty();
        pending.insert(pending.end(), key->children.begin(), key->children.end());
    }
}

} // namespace

Result<> writeWinePrefix(const std::string& folder, const ClassesShape& shape) {
    MemoryStore store("(synthetic registry)");
    buildClasses(store, store.createPath("Software\\Classes"), shape);
    unlistHolders(store);
    std::filesystem::create_directories(folder);
    registry::WineFileLayout layout;
    layout.header = kSystemHeader;
    if (Result<> system = fs::writeFileAtomically(
            folder + "/system.reg", registry::writeWineRegistry(store, layout, kKeyTime));
        !system)
        return system;
    return fs::writeFileAtomically(folder + "/user.reg", kUserHeader);
}

} // namespace moxalo::bench
