// regedit /I and /s: a .reg file merged into the registry, every changed file saved at once.

#include "platform/fs/AtomicFile.h"
#include "platform/regfile/RegFileImport.h"
#include "platform/regfile/RegFileSize.h"
#include "platform/registry/ClassesImport.h"
#include "platform/registry/Utf16.h"
#include "tools/regedit/Actions.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sys/stat.h>

namespace moxalo::regedit {

namespace {

std::string readRegFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        throw Failure(path + ": cannot be read: " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        throw Failure(path + ": is a folder, not a .reg file");
    if (!S_ISREG(st.st_mode)) // a named pipe would keep the import waiting for a writer
        throw Failure(path + ": is not a regular file");
    auto size = static_cast<std::size_t>(st.st_size);
    if (size > regfile::kMaxRegFileBytes)
        throw Failure(path + ": " + regfile::whyTooLarge(regfile::kUtf16Mark, size));
    std::ifstream in(path, std::ios::binary);
    std::string bytes(size, '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw Failure(path + ": cannot be read: " + std::strerror(errno));
    if (std::string why = regfile::whyTooLarge(bytes, size); !why.empty())
        throw Failure(path + ": " + why);
    return bytes;
}

} // namespace

void importFile(const Request& request, const registry::ChosenRegistry& chosen,
                registry::Registry& registry, std::ostream& warnings) {
    const std::string& file = request.file;
    if (chosen.choice.bundledSample)
        throw Failure(file + ": not imported: the bundled sample registry (" +
                      chosen.choice.paths.front() +
                      ") is only read; name a registry in MOXALO_REGISTRY or --registry");
    std::string bytes = readRegFile(file);
    registry::ClassesImport target(registry);
    regfile::ImportResult result;
    try {
        result = regfile::importRegFile(bytes, target, regfile::CodePage(chosen.choice.codePage));
    } catch (const registry::AccessDenied& e) {
        throw Failure(file + ": not imported: " + e.what());
    } catch (const registry::StoreError& e) {
        throw Failure(file + ": " + e.what());
    }
    for (const auto& d : result.diagnostics)
        warnings << "moxalo-regedit: " << file << ": line " << d.line << ": "
                 << registry::displayText(d.message) << "\n";
    try {
        target.save();
    } catch (const registry::StoreError& e) {
        throw Failure(file + ": not imported: " + e.what());
    } catch (const fs::FileError& e) {
        throw Failure(file + ": not imported: " + e.what());
    }
}

} // namespace moxalo::regedit
