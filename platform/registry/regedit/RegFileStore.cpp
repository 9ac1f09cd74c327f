#include "platform/registry/regedit/RegFileStore.h"

#include "platform/fs/AtomicFile.h"
#include "platform/regfile/RegFileRoots.h"
#include "platform/registry/PendingFileSave.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace moxalo::registry {

namespace {

// Real exports of a whole HKEY_CLASSES_ROOT are tens of megabytes; this leaves ample room.
constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

using regfile::kMachineClasses;
using regfile::kUserClasses;

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw StoreError(path + ": " + what);
}

std::string tooLarge() {
    return "is larger than " + std::to_string(kMaxFileBytes >> 20) +
           " MiB, too large for a .reg file";
}

std::string readWholeFile(const std::string& path) {
    // Not blocking, so that a named pipe is refused below instead of waiting for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        fail(path, std::string("cannot open: ") + std::strerror(errno));
    std::string bytes;
    struct stat st {};
    std::string problem;
    if (fstat(fd, &st) != 0)
        problem = std::string("cannot read: ") + std::strerror(errno);
    else if (S_ISDIR(st.st_mode))
        problem = "is a folder, not a .reg file";
    else if (!S_ISREG(st.st_mode))
        problem = "is not a regular file";
    else if (static_cast<std::size_t>(st.st_size) > kMaxFileBytes)
        problem = tooLarge();
    for (char buffer[1 << 16]; problem.empty();) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            problem = std::string("cannot read: ") + std::strerror(errno);
        else if (n == 0)
            break;
        else if (bytes.append(buffer, static_cast<std::size_t>(n)).size() > kMaxFileBytes)
            problem = tooLarge();
    }
    ::close(fd);
    if (!problem.empty())
        fail(path, problem);
    return bytes;
}

} // namespace

std::unique_ptr<RegFileStore> RegFileStore::open(const std::string& path,
                                                 const regfile::CodePage& codePage) {
    std::string bytes = readWholeFile(path);
    std::unique_ptr<RegFileStore> store(new RegFileStore(path));
    regfile::ImportResult result;
    try {
        result = regfile::importRegFile(bytes, *store, codePage);
    } catch (const StoreError& e) {
        fail(path, e.what());
    }
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
    auto file = fs::PendingFile::write(origin_, regfile::exportRegFileTree(*this, format_));
    return std::make_unique<PendingFileSave>(std::move(file), [this] { forgetUndo(); });
}

} // namespace moxalo::registry
