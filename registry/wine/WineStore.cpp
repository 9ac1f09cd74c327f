#include "registry/wine/WineStore.h"

#include "base/AtomicFile.h"
#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/PendingFileSave.h"
#include "registry/SourceFile.h"
#include "registry/wine/WineServerLock.h"

#include <chrono>
#include <filesystem>
#include <sys/stat.h>

namespace moxalo::registry {

namespace {

// A fresh prefix's system.reg is under 2 MB; a file this large is not a registry we can hold.
constexpr off_t kMaxFileSize = off_t{1} << 30;
// FILETIME ticks in a microsecond.
constexpr std::uint64_t kTicksPerMicrosecond = 10;

std::uint64_t fileTimeNow() {
    auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(since1970).count();
    return kUnixEpochFileTime + static_cast<std::uint64_t>(micros) * kTicksPerMicrosecond;
}

[[noreturn]] void failFile(const std::string& path, const std::string& what) {
    throw StoreError(path + ": " + what);
}

// Why a file of this kind cannot be read as a registry file, or "".
std::string whyNotARegistryFile(const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return "is a folder, not a file";
    if (!S_ISREG(st.st_mode))
        return "is not a regular file";
    if (st.st_size > kMaxFileSize)
        return "is too large (over 1 GiB) for a registry file";
    return {};
}

} // namespace

WineStore::WineStore(const std::string& path) : MemoryStore(path), clock_(fileTimeNow) {}

std::unique_ptr<WineStore> WineStore::open(const std::string& path) {
    SourceFile file(path, whyNotARegistryFile);
    std::unique_ptr<WineStore> store(new WineStore(path));
    store->recording_ = false;
    store->diagnostics_ = file.read([&](std::string_view bytes) {
        return readWineRegistry(bytes, path, *store, store->layout_,
                                [&file](std::size_t offset) { file.release(offset); });
    });
    store->recording_ = true;
    store->keepUndo(true);
    return store;
}

NodeId WineStore::classesKey() {
    static constexpr std::string_view path = "Software\\Classes";
    if (NodeId key = findPath(rootNode(), path); key != kNoNode)
        return key;
    // Only a place to look into, not a change: nothing to record or to take back.
    recording_ = false;
    keepUndo(false);
    NodeId key = createPath(path);
    keepUndo(true);
    recording_ = true;
    node(key)->listed = false;
    layout_.keys[node(key)].placeholder = true;
    return key;
}

void WineStore::appendWarnings(std::vector<std::string>& warnings) const {
    for (const auto& d : diagnostics_)
        warnings.push_back(origin_ + ": line " + std::to_string(d.line) + ": " + d.message);
}

std::optional<NodeId> WineStore::linkTarget(NodeId key) {
    const WineKeyInfo* info = layout_.keys.find(node(key));
    if (info == nullptr || !info->isLink)
        return std::nullopt;
    std::optional<RegValue> value = findValue(key, "SymbolicLinkValue");
    if (!value)
        return kNoNode;
    const std::string target = text::utf16leToUtf8(value->data);
    std::string_view rest = target;
    auto take = [&rest](std::string_view start) {
        if (rest.size() < start.size() || !sameName(rest.substr(0, start.size()), start))
            return false;
        rest.remove_prefix(start.size());
        return true;
    };
    if (holdsCurrentUser()) {
        if (!take("\\Registry\\User\\"))
            return kNoNode;
        std::size_t user = rest.find('\\');
        rest.remove_prefix(user == std::string_view::npos ? rest.size() : user + 1);
    } else if (!take("\\Registry\\Machine\\")) {
        return kNoNode;
    }
    return findPath(rootNode(), rest);
}

std::optional<std::uint64_t> WineStore::lastWritten(NodeId key) {
    const WineKeyInfo* info = layout_.keys.find(node(key));
    if (info == nullptr || info->placeholder)
        return std::nullopt;
    return wineKeyTime(info->lines);
}

bool WineStore::holdsCurrentUser() const {
    return std::filesystem::path(origin_).filename() == "user.reg";
}

void WineStore::addRootsTo(UserRoots& roots) {
    roots.wine = true;
    if (holdsCurrentUser())
        roots.currentUser = {this, rootNode()};
    else if (NodeId software = findChild(rootNode(), "Software"); software != kNoNode)
        roots.machineSoftware = {this, software};
}

std::string WineStore::prefixFolder() const {
    auto folder = std::filesystem::path(origin_).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::optional<std::string> WineStore::whyReadOnly() {
    if (auto reason = MemoryStore::whyReadOnly())
        return reason;
    return whyWineFileReadOnly(origin_);
}

std::optional<std::string> whyWineFileReadOnly(const std::string& file) {
    if (std::string reason = fs::whyNotWritable(file); !reason.empty())
        return reason;
    auto folder = std::filesystem::path(file).parent_path();
    if (wineserverRunning(folder.empty() ? std::string(".") : folder.string()))
        return file + ": the wineserver of this prefix is running and would overwrite any "
                      "change (quit the prefix's programs or run \"wineserver -k\")";
    return std::nullopt;
}

void WineStore::touch(NodeId key) {
    if (!recording_)
        return;
    Node* n = node(key);
    if (const WineKeyInfo* info = layout_.keys.find(n); info == nullptr)
        recordUndo([this, n] { layout_.keys.erase(n); });
    else
        recordUndo([this, n, old = *info] { layout_.keys[n] = old; });
    WineKeyInfo& info = layout_.keys[n];
    info.placeholder = false;
    stampWineKey(layout_, info, clock_());
}

NodeId WineStore::createKey(NodeId parent, std::string_view name) {
    if (NodeId existing = findChild(parent, name); existing != kNoNode)
        return existing;
    NodeId key = MemoryStore::createKey(parent, name);
    touch(parent);
    touch(key);
    return key;
}

void WineStore::setValue(NodeId key, std::string_view name, const RegValue& value) {
    auto old = findValue(key, name);
    if (old && *old == value)
        return; // wineserver leaves the key's time alone when nothing changes
    MemoryStore::setValue(key, name, value);
    touch(key);
}

void WineStore::deleteValue(NodeId key, std::string_view name) {
    if (!findValue(key, name))
        return;
    MemoryStore::deleteValue(key, name);
    touch(key);
}

void WineStore::deleteKey(NodeId parent, std::string_view name) {
    if (findChild(parent, name) == kNoNode)
        return;
    MemoryStore::deleteKey(parent, name);
    touch(parent);
}

std::unique_ptr<PendingSave> WineStore::prepareSave() {
    if (wineserverRunning(prefixFolder()))
        failFile(origin_, "not written: the wineserver of this prefix is running and would "
                          "overwrite it");
    return pendingFileSave(
        fs::PendingFile::write(origin_, writeWineRegistry(*this, layout_, clock_())),
        [this] { forgetUndo(); });
}

std::vector<ClassesLayer> openWinePrefix(const std::string& folder,
                                         std::vector<std::unique_ptr<RegistryStore>>& owned,
                                         UserRoots& roots, std::vector<std::string>& warnings) {
    auto machine = WineStore::open(folder + "/system.reg");
    std::unique_ptr<WineStore> user;
    std::error_code error;
    std::string userPath = folder + "/user.reg";
    if (std::filesystem::exists(userPath, error) || error)
        user = WineStore::open(userPath);
    std::vector<ClassesLayer> layers;
    for (WineStore* store : {machine.get(), user.get()}) {
        if (store != nullptr) {
            store->appendWarnings(warnings);
            store->addRootsTo(roots);
        }
    }
    if (user) {
        layers.push_back({user.get(), user->classesKey(), true});
        owned.push_back(std::move(user));
    }
    layers.push_back({machine.get(), machine->classesKey(), false});
    owned.push_back(std::move(machine));
    return layers;
}

} // namespace moxalo::registry
