#include "registry/Sources.h"

#include "base/AtomicFile.h"
#include "base/ByteOrderMark.h"
#include "registry/Attempt.h"
#include "registry/hive/HiveKind.h"
#include "registry/hive/HiveOpening.h"
#include "registry/hive/HiveStore.h"
#include "registry/regedit/RegFileStore.h"
#include "registry/wine/WineStore.h"

#include <filesystem>
#include <fstream>

namespace moxalo::registry {

namespace {

using Stores = std::vector<std::unique_ptr<RegistryStore>>;

struct Opening {
    Stores stores;
    std::vector<ClassesLayer> layers;
};

std::string firstBytes(const std::string& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw StoreError(path + ": cannot be read");
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool looksLikeRegFile(const std::string& start) {
    if (text::byteOrderMarkOf(start) == text::ByteOrderMark::Utf16le)
        return true;
    auto text = start.substr(std::min(start.find_first_not_of(" \t"), start.size()));
    return text.starts_with("Windows Registry Editor") || text.starts_with("REGEDIT");
}

SourceKind detect(const std::string& path) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        throw StoreError(path + ": no such file or folder");
    if (std::filesystem::is_directory(status)) {
        auto system = std::filesystem::status(std::filesystem::path(path) / "system.reg", ec);
        if (!std::filesystem::exists(system))
            throw StoreError(path + ": a folder without system.reg, so not a Wine prefix");
        if (std::filesystem::is_directory(system))
            throw StoreError(path + ": not a Wine prefix: its system.reg is a folder, not a file");
        if (!std::filesystem::is_regular_file(system))
            throw StoreError(path + ": not a Wine prefix: its system.reg is not a regular file");
        return SourceKind::WinePrefix;
    }
    // Reading a named pipe or a device would wait, or never end.
    if (!std::filesystem::is_regular_file(status))
        throw StoreError(path + ": not a registry source: not a regular file");
    std::string start = firstBytes(path, 64);
    if (start.starts_with("regf"))
        return SourceKind::UserClassesHive; // which hive it is, its root tells once it is open
    if (start.starts_with("WINE REGISTRY"))
        return SourceKind::WineRegistryFile;
    if (looksLikeRegFile(start))
        return SourceKind::RegFile;
    throw StoreError(path + ": not a registry source (a Wine prefix folder, a hive file or a "
                            "regedit .reg export)");
}

SourceKind kindOfHive(hive::HiveKind kind) {
    switch (kind) {
    case hive::HiveKind::Software:
        return SourceKind::SoftwareHive;
    case hive::HiveKind::NtUser:
        return SourceKind::NtUserHive;
    case hive::HiveKind::UserClasses:
        break;
    }
    return SourceKind::UserClassesHive;
}

void openHive(const std::string& path, const std::string& holderKeyPrefix, OpenedSource& source,
              Opening& into) {
    hive::OpenedHive opened = hive::openHiveFile(path, holderKeyPrefix);
    std::unique_ptr<hive::HiveStore> store = std::move(opened.store);
    source.warnings = std::move(opened.warnings);
    source.state = std::move(opened.state);
    hive::HiveKind kind = hive::hiveKind(*store);
    source.kind = kindOfHive(kind);
    into.layers.push_back(hive::classesLayerOf(*store, kind));
    into.stores.push_back(std::move(store));
}

void openRegFile(const std::string& path, const std::string& readOnlyBecause,
                 const text::CodePage& codePage, OpenedSource& source, Opening& into) {
    auto store = RegFileStore::open(path, codePage);
    if (!readOnlyBecause.empty())
        store->setReadOnly(readOnlyBecause);
    for (const auto& d : store->diagnostics())
        source.warnings.push_back(path + ": line " + std::to_string(d.line) + ": " + d.message);
    for (const auto& layer : store->classesLayers())
        into.layers.push_back(layer);
    into.stores.push_back(std::move(store));
}

void openWineFile(const std::string& path, OpenedSource& source, Opening& into) {
    auto store = WineStore::open(path);
    store->appendWarnings(source.warnings);
    bool user = std::filesystem::path(path).filename() == "user.reg";
    into.layers.push_back(ClassesLayer{store.get(), store->classesKey(), user});
    into.stores.push_back(std::move(store));
}

OpenedSource openOne(const std::string& path, const SourceChoice& choice,
                     const text::CodePage& codePage, Opening& into) {
    OpenedSource source{path, detect(path), {}};
    switch (source.kind) {
    case SourceKind::WinePrefix:
        for (const auto& layer : openWinePrefix(path, into.stores, source.warnings))
            into.layers.push_back(layer);
        break;
    case SourceKind::WineRegistryFile:
        openWineFile(path, source, into);
        break;
    case SourceKind::RegFile:
        openRegFile(path, choice.readOnlyBecause, codePage, source, into);
        break;
    default:
        openHive(path, choice.holderKeyPrefix, source, into);
        break;
    }
    return source;
}

// Checked before any source is opened, so that a mistyped name is reported even when no 8-bit
// .reg file is read.
text::CodePage codePageOf(const SourceChoice& choice) {
    Result<text::CodePage> page = text::CodePage::named(choice.codePage);
    if (!page)
        throw StoreError(choice.codePageChosenBy.empty()
                             ? page.error()
                             : choice.codePageChosenBy + ": " + page.error());
    return *page;
}

} // namespace

std::string describeKind(SourceKind kind) {
    switch (kind) {
    case SourceKind::WinePrefix:
        return "Wine prefix";
    case SourceKind::WineRegistryFile:
        return "Wine registry file";
    case SourceKind::SoftwareHive:
        return "SOFTWARE hive";
    case SourceKind::UserClassesHive:
        return "UsrClass.dat hive";
    case SourceKind::NtUserHive:
        return "NTUSER.DAT hive";
    case SourceKind::WindowsPartition:
        return "Windows partition";
    case SourceKind::RegFile:
        break;
    }
    return "regedit export";
}

namespace {

OpenedRegistry open(const SourceChoice& choice) {
    text::CodePage codePage = codePageOf(choice);
    // Taken before the files are read: a change made while they are read is seen as one.
    SourceStamps stamps(choice.paths);
    Opening opening;
    OpenedRegistry result;
    for (const auto& path : choice.paths)
        result.sources.push_back(openOne(path, choice, codePage, opening));
    if (opening.layers.empty())
        throw StoreError("no registry source was named");
    result.registry = std::make_shared<Registry>(std::move(opening.stores), opening.layers);
    result.registry->setSources(choice, std::move(stamps));
    return result;
}

} // namespace

Result<OpenedRegistry> openRegistry(const SourceChoice& choice) {
    return attempt([&] { return open(choice); });
}

std::optional<std::string> whySourcesReadOnly(const SourceChoice& choice) {
    for (const auto& path : choice.paths) {
        for (const auto& file : filesOfSource(path)) {
            std::error_code error;
            if (!std::filesystem::exists(file, error))
                continue;
            std::string name = std::filesystem::path(file).filename().string();
            std::optional<std::string> why;
            if (name == "system.reg" || name == "user.reg")
                why = whyWineFileReadOnly(file);
            else if (std::string reason = fs::whyNotWritable(file); !reason.empty())
                why = reason;
            else
                why = hive::whyHiveFileReadOnly(file);
            if (why)
                return why;
        }
    }
    return std::nullopt;
}

} // namespace moxalo::registry
