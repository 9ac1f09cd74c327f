// A source cut short by another program while it is read (`cp` over a file truncates it in
// place): the pages past its new end are gone from the program's mappings. Reading them is
// reported as the file's change, by name; it never ends the program.

#include "registry/SourceFile.h"
#include "registry/hive/HiveStore.h"
#include "tests/robustness/GeneratedSources.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

// Keys enough that the file spans many pages.
constexpr std::size_t kKeys = 3000;
// What is left of the file: its first page.
constexpr off_t kLeft = 4096;

void readAll(registry::RegistryStore& store, registry::NodeId key) {
    for (std::size_t i = 0; i < store.valueCount(key); ++i)
        store.valueAt(key, i);
    for (std::size_t i = 0; i < store.childCount(key); ++i) {
        store.childName(key, i);
        readAll(store, store.childAt(key, i));
    }
}

// What reading every key and value of the hive says, once it is cut short.
std::string walkCutHive(const std::string& path) {
    auto store = hive::HiveStore::open(path);
    if (truncate(path.c_str(), kLeft) != 0)
        return "cannot truncate";
    try {
        readAll(*store, store->rootNode());
    } catch (const registry::StoreError& e) {
        return e.what();
    }
    return "read to the end";
}

// What reading the whole of a text source says, once it is cut short.
std::string readCutText(const std::string& path) {
    registry::SourceFile file(path, [](const struct stat&) { return std::string(); });
    if (truncate(path.c_str(), kLeft) != 0)
        return "cannot truncate";
    try {
        file.read([](std::string_view bytes) { return std::string(bytes); });
        return "read to the end";
    } catch (const registry::StoreError& e) {
        return e.what();
    }
}

} // namespace

TEST(ChangedWhileRead, ASourceCutShortIsReportedByName) {
    for (GeneratedKind kind : kAllKinds) {
        SCOPED_TRACE(describe(kind));
        TempDir dir;
        std::string source = writeSource(dir, kind, numberedExtensions(kKeys));
        std::string file = kind == GeneratedKind::WinePrefix ? source + "/system.reg" : source;
        std::string said = kind == GeneratedKind::Hive ? walkCutHive(file) : readCutText(file);
        EXPECT_EQ(said, file + ": the file was changed by another program while it was read");
    }
}

// Once no source is being read, such a fault ends the program as it would have.
TEST(ChangedWhileReadDeathTest, AFaultWhileNoSourceIsReadEndsTheProgram) {
    TempDir dir;
    std::string path = dir.file("other");
    writeFile(path, std::string(2 * kLeft, 'x'));
    registry::SourceFile(path, [](const struct stat&) { return std::string(); });
    EXPECT_EXIT(
        {
            FILE* f = std::fopen(path.c_str(), "r");
            auto* p = static_cast<volatile char*>(
                mmap(nullptr, 2 * kLeft, PROT_READ, MAP_SHARED, fileno(f), 0));
            if (truncate(path.c_str(), 0) == 0)
                std::_Exit(p[kLeft]);
        },
        // By SIGBUS, or by the abort of the sanitizers' own handler of it.
        [](int status) { return WIFSIGNALED(status); }, "");
}
