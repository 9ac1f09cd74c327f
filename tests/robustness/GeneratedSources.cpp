#include "tests/robustness/GeneratedSources.h"

#include "catalogue/CatalogueScan.h"
#include "platform/advapi/RegistryApi.h"
#include "registry/Sources.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <cstdio>
#include <filesystem>

namespace moxalo::testing {

namespace {

std::string regText(const std::vector<GeneratedKey>& keys) {
    std::string text = "Windows Registry Editor Version 5.00\n";
    for (const auto& key : keys) {
        text += "\n[HKEY_CLASSES_ROOT\\" + key.path + "]\n";
        for (const auto& value : key.regValues)
            text += value + "\n";
    }
    return unicodeRegFile(text);
}

std::string wineClasses(const std::vector<GeneratedKey>& keys) {
    std::string text;
    for (const auto& key : keys) {
        text += "[" + key.path + "]\n";
        for (const auto& value : key.wineValues)
            text += value + "\n";
    }
    return text;
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
        keys.push_back({name, {"@=\"t\""}, {"@=\"t\""}});
    }
    return keys;
}

std::string describe(GeneratedKind kind) {
    switch (kind) {
    case GeneratedKind::RegFile:
        return "a .reg file";
    case GeneratedKind::WinePrefix:
        return "a Wine prefix";
    case GeneratedKind::Hive:
        break;
    }
    return "a hive";
}

std::string writeSource(const TempDir& dir, GeneratedKind kind,
                        const std::vector<GeneratedKey>& keys) {
    switch (kind) {
    case GeneratedKind::RegFile:
        writeFile(dir.file("classes.reg"), regText(keys));
        return dir.file("classes.reg");
    case GeneratedKind::WinePrefix:
        writeWinePrefix(dir.file("prefix"), wineClasses(keys), "");
        return dir.file("prefix");
    case GeneratedKind::Hive:
        break;
    }
    writeHiveFrom(dir.file("UsrClass.dat"), regText(keys), false);
    return dir.file("UsrClass.dat");
}

void mountSource(const std::string& path) {
    moxalo::testing::mountRegistry(registry::openRegistry({{path}, "test", false}).registry);
}

std::vector<catalogue::CatalogueEntry> scanRows() {
    Rows listener;
    auto outcome = catalogue::LoadList("0", listener);
    if (outcome.error)
        return {{*outcome.error, "", "", ""}};
    return listener.rows;
}

} // namespace moxalo::testing
