#include "tests/robustness/GeneratedSources.h"

#include "catalogue/CatalogueScan.h"
#include "platform/advapi/RegistryApi.h"
#include "registry/Sources.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <cstdio>
#include <filesystem>

namespace moxalo::testing {

namespace {

// The keys as lines of a file, each key's path between `open` and `close`.
std::string keyLines(const std::vector<GeneratedKey>& keys, const char* open, const char* close) {
    std::string text;
    for (const auto& key : keys) {
        text += open + key.path + close;
        for (const auto& value : key.values)
            text += value + "\n";
    }
    return text;
}

std::string regText(const std::vector<GeneratedKey>& keys) {
    return unicodeRegFile("Windows Registry Editor Version 5.00\n" +
                          keyLines(keys, "\n[HKEY_CLASSES_ROOT\\", "]\n"));
}

struct Rows : catalogue::ScanListener {
    std::vector<catalogue::CatalogueEntry> rows;
    void RowFound(const catalogue::CatalogueEntry& row) override { rows.push_back(row); }
};

} // namespace

std::vector<GeneratedKey> numberedExtensions(std::size_t count) {
    std::vector<GeneratedKey> keys;
    keys.reserve(count);
    char name[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, ".e%06zu", i);
        keys.push_back({name, {"@=\"t\""}});
    }
    return keys;
}

std::string describe(GeneratedKind kind) {
    const char* names[] = {"a .reg file", "a Wine prefix", "a hive"};
    return names[static_cast<int>(kind)];
}

std::string writeSource(const TempDir& dir, GeneratedKind kind,
                        const std::vector<GeneratedKey>& keys) {
    switch (kind) {
    case GeneratedKind::RegFile:
        writeFile(dir.file("classes.reg"), regText(keys));
        return dir.file("classes.reg");
    case GeneratedKind::WinePrefix:
        writeWinePrefix(dir.file("prefix"), keyLines(keys, "[", "]\n"), "");
        return dir.file("prefix");
    case GeneratedKind::Hive:
        break;
    }
    writeHiveFrom(dir.file("UsrClass.dat"), regText(keys), false);
    return dir.file("UsrClass.dat");
}

Result<> mountSource(const std::string& path) {
    auto opened = registry::openRegistry({{path}, "test", false});
    if (!opened)
        return fail(opened.error());
    moxalo::testing::mountRegistry(opened->registry);
    return {};
}

std::vector<catalogue::CatalogueEntry> scanRows() {
    Rows listener;
    auto outcome = catalogue::LoadList("0", listener);
    if (!outcome)
        return {{outcome.error(), "", "", ""}};
    return listener.rows;
}

} // namespace moxalo::testing
