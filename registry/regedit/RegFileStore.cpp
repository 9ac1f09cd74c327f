#include "registry/regedit/RegFileStore.h"

#include "base/AtomicFile.h"
#include "registry/Attempt.h"
#include "registry/PendingFileSave.h"
#include "registry/SourceFile.h"
#include "registry/regedit/RegFileRoots.h"
#include "registry/regedit/RegFileSize.h"

#include <sys/stat.h>

namespace moxalo::registry {

namespace {

using regfile::kMachineClasses;
using regfile::kUserClasses;

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw StoreError(path + ": " + what);
}

// Whether the file is within the limit is known once its first bytes say its encoding; what
// is beyond it in either encoding is refused before it is read.
std::string whyNotARegFile(const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return "is a folder, not a .reg file";
    if (auto size = static_cast<std::size_t>(st.st_size); size > regfile::kMaxRegFileBytes)
        return regfile::whyTooLarge(regfile::kUtf16Mark, size);
    return {};
}

} // namespace

std::unique_ptr<RegFileStore> RegFileStore::open(const std::string& path,
                                                 const text::CodePage& codePage) {
    SourceFile file(path, whyNotARegFile);
    std::unique_ptr<RegFileStore> store(new RegFileStore(path));
    regfile::ImportResult result = file.read([&](std::string_view bytes) {
        if (std::string why = regfile::whyTooLarge(bytes, bytes.size()); !why.empty())
            fail(path, why);
        try {
            return regfile::importRegFile(bytes, *store, codePage);
        } catch (const StoreError& e) {
            fail(path, e.what());
        }
    });
    store->format_ = {result.version == 4 ? 4 : 5, result.unicode, codePage};
    store->diagnostics_ = std::move(result.diagnostics);
    if (result.version == 3)
        store->setReadOnly(path + " is a Windows 3.1 registration file, which is only read");
    if (store->classesLayers().empty())
        fail(path, "holds no keys under HKEY_CLASSES_ROOT, " + std::string(kMachineClasses) +
                       " or " + std::string(kUserClasses));
    store->keepUndo(true);
    return store;
}

std::vector<ClassesLayer> RegFileStore::classesLayers() {
    std::vector<ClassesLayer> layers;
    auto add = [&](std::string_view path, bool user) {
        if (NodeId key = findPath(rootNode(), path); key != kNoNode)
            layers.push_back({this, key, user});
    };
    add(regfile::kClassesRoot, false);
    add(kMachineClasses, false);
    add(kUserClasses, true);
    return layers;
}

NodeId RegFileStore::currentUserKey() {
    return findChild(rootNode(), regfile::kCurrentUser);
}

NodeId RegFileStore::machineSoftwareKey() {
    return findPath(rootNode(), regfile::kMachineSoftware);
}

std::optional<std::string> RegFileStore::whyReadOnly() {
    if (auto reason = MemoryStore::whyReadOnly())
        return reason;
    if (std::string reason = fs::whyNotWritable(origin_); !reason.empty())
        return reason;
    return std::nullopt;
}

std::unique_ptr<PendingSave> RegFileStore::prepareSave() {
    if (auto reason = MemoryStore::whyReadOnly())
        throw AccessDenied("cannot save " + origin_ + ": " + *reason);
    std::string text = regfile::exportRegFileTree(*this, format_);
    if (std::string why = regfile::whyTooLarge(text, text.size()); !why.empty())
        throw StoreError(origin_ + ": not saved: the file " + why);
    return pendingFileSave(fs::PendingFile::write(origin_, text), [this] { forgetUndo(); });
}

Result<bool> regFileHoldsKey(const std::string& path, std::string_view keyPath) {
    return attempt([&] {
        auto file = RegFileStore::open(path);
        return file->findPath(file->rootNode(), keyPath) != kNoNode;
    });
}

} // namespace moxalo::registry
