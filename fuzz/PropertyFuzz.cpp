// What a hostile registry must never do, checked on any bytes, sources chosen as fuzz_catalogue
// chooses them. A broken property aborts, so that libFuzzer keeps the input as a finding:
//   - a walk of any store meets no more keys than its files have bytes, and work and output
//     stay within a bound per input byte;
//   - every row's backup file lies inside the Backups folder, and two rows never share one;
//   - an export, imported into an empty store and exported again, gives the same text;
//   - deleting one key leaves every other key of its level where it was.

#include "base/Utf16.h"
#include "catalogue/BackupName.h"
#include "catalogue/Backups.h"
#include "catalogue/CatalogueScan.h"
#include "fuzz/FuzzFiles.h"
#include "fuzz/SourceBytes.h"
#include "platform/advapi/RegistrySession.h"
#include "registry/MemoryStore.h"
#include "registry/Registry.h"
#include "registry/Sources.h"
#include "registry/regedit/RegFileExport.h"
#include "registry/regedit/RegFileImport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace {

using namespace moxalo;
using registry::NodeId;
using registry::RegistryStore;

// Each key of a file takes at least one byte of it (a name character), so a walk that meets
// more keys than the files have bytes has met some twice.
constexpr std::size_t kKeysPerByte = 1;
// An export writes each key's whole path: at most 512 levels of names, so its text can be
// some hundred times its source, never more.
constexpr std::size_t kExportBytesPerByte = 1024;
constexpr std::size_t kExportBytesFree = std::size_t{1} << 20;
// Enough root keys to delete one of each kind that a small input holds.
constexpr std::size_t kDeletesTried = 8;

[[noreturn]] void broken(const std::string& what) {
    std::fprintf(stderr, "property broken: %s\n", what.c_str());
    std::abort();
}

class Rows : public catalogue::ScanListener {
public:
    void RowFound(const catalogue::CatalogueEntry& row) override { rows.push_back(row); }
    std::vector<catalogue::CatalogueEntry> rows;
};

// Every key below `top`, each counted; ends the run once there are more than `most`.
std::size_t countKeys(RegistryStore& store, NodeId top, std::size_t most) {
    std::vector<NodeId> pending{top};
    std::size_t met = 0;
    while (!pending.empty()) {
        NodeId key = pending.back();
        pending.pop_back();
        if (++met > most)
            broken("a walk of " + store.origin() + " met more than " + std::to_string(most) +
                   " keys");
        try {
            for (std::size_t i = 0, n = store.childCount(key); i < n; ++i)
                pending.push_back(store.childAt(key, i));
        } catch (const registry::StoreError&) {
        }
    }
    return met;
}

std::vector<std::string> childNames(RegistryStore& store, NodeId key) {
    std::vector<std::string> names;
    try {
        for (std::size_t i = 0, n = store.childCount(key); i < n; ++i)
            names.emplace_back(store.childName(key, i));
    } catch (const registry::StoreError&) {
    }
    return names;
}

void checkBackupFiles(const std::vector<catalogue::CatalogueEntry>& rows) {
    const std::string folder = "/nonexistent/program";
    const std::string backups = catalogue::BackupsFolder(folder) + "/";
    std::map<std::string, std::string> files; // file name -> the extension backed up there
    for (const auto& row : rows) {
        catalogue::RowBackup backup = catalogue::RowBackupFor(folder, row.Extension);
        const std::string& path = backup.path;
        std::string name = path.substr(std::min(path.size(), backups.size()));
        // A refused row (a key no .reg file can name) writes nothing, but its path is made all
        // the same and must hold too.
        if (!path.starts_with(backups) || name.find('/') != std::string::npos || name == "." ||
            name == ".." || name.size() > catalogue::kMaxBackupName)
            broken("the row \"" + row.Extension + "\" is backed up to " + path);
        if (auto [at, added] = files.emplace(name, row.Extension);
            !added && at->second != row.Extension)
            broken("\"" + at->second + "\" and \"" + row.Extension + "\" are backed up to " + path);
    }
}

// The line of the first export where the second one first differs, as text.
std::string firstDifference(const std::string& first, const std::string& second) {
    std::size_t at = std::mismatch(first.begin(), first.end(), second.begin(), second.end()).first -
                     first.begin();
    at -= at % 2;
    std::size_t line = first.rfind("\n\0", at);
    line = line == std::string::npos ? 0 : line + 2;
    std::size_t end = std::min(first.find("\r\0", at), first.size());
    auto bytes = reinterpret_cast<const std::uint8_t*>(first.data());
    return text::utf16leToUtf8(bytes + line, end - line);
}

// The classes exported, read back into an empty store and exported again. An export refused
// whole (a name the format cannot carry, a tree too deep) has nothing to compare.
void checkExportRoundTrip(registry::Registry& registry, std::size_t inputBytes) {
    std::string first;
    try {
        first = regfile::exportRegFile(registry.view(), registry.rootKey(), "HKEY_CLASSES_ROOT");
    } catch (const registry::StoreError&) {
        return;
    }
    if (first.size() > kExportBytesPerByte * inputBytes + kExportBytesFree)
        broken("an export of " + std::to_string(first.size()) + " bytes from " +
               std::to_string(inputBytes));
    registry::MemoryStore read;
    regfile::importRegFile(first, read);
    NodeId classes = read.findPath(read.rootNode(), "HKEY_CLASSES_ROOT");
    std::string second = regfile::exportRegFile(read, classes, "HKEY_CLASSES_ROOT");
    if (second != first)
        broken("an export read back and exported again differs from itself at \"" +
               firstDifference(first, second) + "\"");
}

// Each of the first root keys of each layer deleted in turn, then taken back: the other root
// keys stay, and the walk stays bounded.
void checkDeletes(registry::Registry& registry, std::size_t mostKeys) {
    for (const registry::ClassesLayer& layer : registry.layers()) {
        RegistryStore& store = *layer.store;
        std::vector<std::string> before = childNames(store, layer.key);
        for (std::size_t i = 0; i < before.size() && i < kDeletesTried; ++i) {
            try {
                store.deleteKey(layer.key, before[i]);
            } catch (const registry::StoreError&) {
                store.discardChanges();
                continue;
            }
            std::multiset<std::string> left(before.begin(), before.end());
            left.erase(left.find(before[i]));
            for (const std::string& name : childNames(store, layer.key)) {
                if (auto it = left.find(name); it != left.end())
                    left.erase(it);
            }
            if (!left.empty())
                broken("deleting " + before[i] + " in " + store.origin() + " took " +
                       *left.begin() + " too");
            countKeys(store, layer.key, mostKeys);
            store.discardChanges();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto opened = registry::openRegistry(fuzz::sourcesOf(fuzz::bytesOf(data, size)));
    if (!opened)
        return 0; // not a source, or one refused whole
    registry::Registry& registry = *opened->registry;
    const std::size_t mostKeys = kKeysPerByte * size + 16;
    for (const registry::ClassesLayer& layer : registry.layers())
        countKeys(*layer.store, layer.store->rootNode(), mostKeys);
    countKeys(registry.view(), registry.rootKey(), 2 * mostKeys);

    Rows listener;
    {
        registry::RegistrySession session(opened->registry);
        registry::MountedSession mounted(session);
        if (!catalogue::LoadList("0", listener))
            return 0;
    }
    checkBackupFiles(listener.rows);

    checkExportRoundTrip(registry, size);
    checkDeletes(registry, mostKeys);
    return 0;
}
