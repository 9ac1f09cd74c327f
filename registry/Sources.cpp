#include "registry/Sources.h"

#include "base/AtomicFile.h"
#include "base/ByteOrderMark.h"
#include "registry/Attempt.h"
#include "registry/WindowsPartition.h"
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
    UserRoots roots;
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

bool isPartitionFolder(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec) &&
           !std::filesystem::exists(std::filesystem::path(path) / "system.reg", ec) &&
           isWindowsPartition(path);
}

SourceKind detect(const std::string& path) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        throw StoreError(path + ": no such file or folder");
    if (std::filesystem::is_directory(status)) {
        if (isPartitionFolder(path))
            return SourceKind::WindowsPartition;
        auto system = std::filesystem::status(std::filesystem::path(path) / "system.reg", ec);
        if (!std::filesystem::exists(system))
            throw StoreError(path + ": a folder that is neither a Wine prefix (it holds no "
                                    "system.reg) nor a Windows partition (it holds neither "
                                    "Windows\\System32\\config nor Users)");
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

// The first source that holds a root gives it, as the first one's classes win; another one
// is told about, as it is not read.
void takeRoot(KeyRef& taken, KeyRef found, const std::string& name, OpenedSource& source) {
    if (!found)
        return;
    if (!taken)
        taken = found;
    else
        source.warnings.push_back(found.store->origin() + ": its " + name +
                                  " is not read: " + taken.store->origin() + "'s is");
}

void takeRoots(const UserRoots& found, OpenedSource& source, Opening& into) {
    takeRoot(into.roots.currentUser, found.currentUser, "HKEY_CURRENT_USER", source);
    takeRoot(into.roots.machineSoftware, found.machineSoftware, "HKEY_LOCAL_MACHINE\\Software",
             source);
    into.roots.wine = into.roots.wine || found.wine;
}

// `known` is the kind where the hive's place tells it (on a Windows partition); elsewhere its
// root does.
hive::HiveKind openHive(const std::string& path, std::optional<hive::HiveKind> known,
                        const SourceChoice& choice, OpenedSource& source, Opening& into) {
    hive::OpenedHive opened = hive::openHiveFile(path, choice.holderKeyPrefix);
    std::unique_ptr<hive::HiveStore> store = std::move(opened.store);
    source.warnings.insert(source.warnings.end(), opened.warnings.begin(), opened.warnings.end());
    if (!opened.state.empty() && known) {
        // A partition is read from several hives: each one's state names it.
        std::string named = std::filesystem::path(path).filename().string() + ": " + opened.state;
        source.state = source.state.empty() ? named : source.state + "; " + named;
    } else if (!opened.state.empty()) {
        source.state = std::move(opened.state);
    }
    hive::HiveKind kind = known ? *known : hive::hiveKind(*store);
    if (auto layer = hive::classesLayerOf(*store, kind))
        into.layers.push_back(*layer);
    UserRoots found;
    if (kind == hive::HiveKind::Software)
        found.machineSoftware = {store.get(), store->rootNode()};
    else if (kind == hive::HiveKind::NtUser)
        found.currentUser = {store.get(), store->rootNode()};
    takeRoots(found, source, into);
    into.stores.push_back(std::move(store));
    return kind;
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
    UserRoots found;
    if (NodeId user = store->currentUserKey(); user != kNoNode)
        found.currentUser = {store.get(), user};
    if (NodeId software = store->machineSoftwareKey(); software != kNoNode)
        found.machineSoftware = {store.get(), software};
    takeRoots(found, source, into);
    into.stores.push_back(std::move(store));
}

void openWineFile(const std::string& path, OpenedSource& source, Opening& into) {
    auto store = WineStore::open(path);
    store->appendWarnings(source.warnings);
    into.layers.push_back(
        ClassesLayer{store.get(), store->classesKey(), store->holdsCurrentUser()});
    UserRoots found;
    store->addRootsTo(found);
    takeRoots(found, source, into);
    into.stores.push_back(std::move(store));
}

void openWinePrefixFolder(const std::string& path, OpenedSource& source, Opening& into) {
    UserRoots found;
    for (const auto& layer : openWinePrefix(path, into.stores, found, source.warnings))
        into.layers.push_back(layer);
    takeRoots(found, source, into);
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The user whose hives are read: the one named, else the only one. Several and none named is
// a failure that lists them, as a reader cannot tell whose view is meant.
ProfileHives chooseProfile(const std::string& path, const PartitionHives& hives,
                           const std::string& user) {
    std::vector<std::string> users;
    for (const auto& profile : hives.users)
        users.push_back(profile.user);
    if (!user.empty()) {
        ProfileHives named = findProfileHives(path, user);
        if (named.ntUser.empty() && named.usrClass.empty())
            throw StoreError(path + ": no user \"" + user +
                             "\" with an NTUSER.DAT or a UsrClass.dat under Users" +
                             (users.empty() ? " (it holds no user's hives)"
                                            : " (its users: " + listed(users) + ")"));
        return named;
    }
    if (users.size() > 1)
        throw StoreError(path + ": holds the hives of several users: " + listed(users) +
                         "; choose one with --user NAME");
    return users.empty() ? ProfileHives{} : hives.users.front();
}

// Opens the partition's hive `file`, or tells `missing` when it is not there.
void openOrTell(const std::string& file, hive::HiveKind kind, const std::string& missing,
                const SourceChoice& choice, OpenedSource& source, Opening& into) {
    if (file.empty())
        source.warnings.push_back(missing);
    else
        openHive(file, kind, choice, source, into);
}

void openProfile(const std::string& path, const ProfileHives& profile, const SourceChoice& choice,
                 OpenedSource& source, Opening& into) {
    std::string folder = path + ": Users\\" + profile.user;
    openOrTell(profile.usrClass, hive::HiveKind::UserClasses,
               folder + " holds no AppData\\Local\\Microsoft\\Windows\\UsrClass.dat: the "
                        "user's classes are not read",
               choice, source, into);
    openOrTell(profile.ntUser, hive::HiveKind::NtUser,
               folder + " holds no NTUSER.DAT: the user's HKEY_CURRENT_USER is not read", choice,
               source, into);
}

// What is there is read, and what is missing told: a copy of a partition often lacks a piece.
void openPartition(const std::string& path, const SourceChoice& choice, OpenedSource& source,
                   Opening& into) {
    PartitionHives hives = findPartitionHives(path);
    for (const auto& profile : hives.users)
        source.users.push_back(profile.user);
    ProfileHives profile = chooseProfile(path, hives, choice.user);
    source.user = profile.user;
    if (hives.software.empty() && profile.user.empty())
        throw StoreError(path + ": a Windows partition without Windows\\System32\\config\\"
                                "SOFTWARE or any user's NTUSER.DAT or UsrClass.dat");
    openOrTell(hives.software, hive::HiveKind::Software,
               path + ": holds no Windows\\System32\\config\\SOFTWARE: the machine's classes "
                      "are not read",
               choice, source, into);
    if (profile.user.empty())
        source.warnings.push_back(path + ": no user under Users holds an NTUSER.DAT or a "
                                         "UsrClass.dat: only the machine's classes are read");
    else
        openProfile(path, profile, choice, source, into);
}

OpenedSource openOne(const std::string& path, const SourceChoice& choice,
                     const text::CodePage& codePage, Opening& into) {
    OpenedSource source{path, detect(path), {}};
    switch (source.kind) {
    case SourceKind::WinePrefix:
        openWinePrefixFolder(path, source, into);
        break;
    case SourceKind::WineRegistryFile:
        openWineFile(path, source, into);
        break;
    case SourceKind::RegFile:
        openRegFile(path, choice.readOnlyBecause, codePage, source, into);
        break;
    case SourceKind::WindowsPartition:
        openPartition(path, choice, source, into);
        break;
    default:
        source.kind = kindOfHive(openHive(path, std::nullopt, choice, source, into));
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

// Sources that hold no classes (an NTUSER.DAT, as they are on disk) still give the user's
// roots; HKEY_CLASSES_ROOT is then empty, and stays so, as nothing would keep what was put in.
void addEmptyClasses(Opening& opening, std::vector<OpenedSource>& sources) {
    auto empty = std::make_unique<MemoryStore>("(no classes)");
    empty->setReadOnly("no source holds classes: HKEY_CLASSES_ROOT is empty");
    opening.layers.push_back({empty.get(), empty->rootNode(), false});
    opening.stores.push_back(std::move(empty));
    sources.front().warnings.push_back(
        "no source holds classes, so HKEY_CLASSES_ROOT is empty (Windows keeps the user's "
        "classes in UsrClass.dat, in AppData\\Local\\Microsoft\\Windows of the profile, and "
        "the machine's in Windows\\System32\\config\\SOFTWARE)");
}

OpenedRegistry open(const SourceChoice& choice) {
    text::CodePage codePage = codePageOf(choice);
    // Taken before the files are read: a change made while they are read is seen as one.
    SourceStamps stamps(choice.paths);
    Opening opening;
    OpenedRegistry result;
    for (const auto& path : choice.paths)
        result.sources.push_back(openOne(path, choice, codePage, opening));
    if (opening.stores.empty())
        throw StoreError("no registry source was named");
    if (opening.layers.empty())
        addEmptyClasses(opening, result.sources);
    result.registry = std::make_shared<Registry>(std::move(opening.stores), opening.layers);
    result.registry->setRoots(opening.roots);
    result.registry->setSources(choice, std::move(stamps));
    return result;
}

} // namespace

Result<OpenedRegistry> openRegistry(const SourceChoice& choice) {
    return attempt([&] { return open(choice); });
}

std::optional<UserQuestion> userToChoose(const SourceChoice& choice) {
    if (!choice.user.empty())
        return std::nullopt;
    for (const auto& path : choice.paths) {
        if (!isPartitionFolder(path))
            continue;
        if (auto users = windowsPartitionUsers(path); users && users->size() > 1)
            return UserQuestion{path, *users};
    }
    return std::nullopt;
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
