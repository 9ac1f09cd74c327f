// The write path on any bytes: a hive or a Wine prefix's system.reg (the first byte chooses),
// opened, one key of HKEY_CLASSES_ROOT deleted as the program's hidden delete does, saved, and
// read back. The saved source must open again and lack just that key.

#include "fuzz/FuzzFiles.h"
#include "platform/advapi/RegistryApi.h"
#include "platform/advapi/RegistrySession.h"
#include "registry/Sources.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace moxalo::registry;

// Enough rows to find a key without subkeys in any small input.
constexpr DWORD kMaxRowsLooked = 64;

std::vector<std::string> rootNames() {
    std::vector<std::string> names;
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD size = MAX_PATH;
        if (RegEnumKeyExA(HKEY_CLASSES_ROOT, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return names;
        names.emplace_back(name, size);
    }
}

// The first root key RegDeleteKeyA takes, or "" when none of the first few is deleted.
std::string deleteOne(const std::vector<std::string>& names) {
    for (DWORD i = 0; i < names.size() && i < kMaxRowsLooked; ++i) {
        if (RegDeleteKeyA(HKEY_CLASSES_ROOT, names[i].c_str()) == ERROR_SUCCESS)
            return names[i];
    }
    return {};
}

SourceChoice sourceOf(std::string_view bytes) {
    using namespace moxalo::fuzz;
    clearScratch();
    bool prefix = !bytes.empty() && (bytes[0] & 1);
    if (!bytes.empty())
        bytes.remove_prefix(1);
    SourceChoice choice;
    if (prefix) {
        writeScratchFile("prefix/system.reg", bytes);
        choice.paths = {scratchFolder() + "/prefix"};
    } else {
        choice.paths = {writeScratchFile("SOFTWARE", bytes)};
    }
    return choice;
}

[[noreturn]] void fault(const std::string& what) {
    std::fprintf(stderr, "after a delete: %s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SourceChoice choice = sourceOf(moxalo::fuzz::bytesOf(data, size));
    RegistrySession session;
    MountedSession mounted(session);
    auto opened = openRegistry(choice);
    if (!opened)
        return 0;
    session.open(opened->registry);
    auto before = rootNames();
    std::string deleted = deleteOne(before);
    if (deleted.empty())
        return 0;
    auto saved = openRegistry(choice);
    if (!saved)
        fault("the saved source does not open: " + saved.error());
    session.open(saved->registry);
    auto after = rootNames();
    session.open(nullptr);
    if (after.size() + 1 != before.size())
        fault("HKEY_CLASSES_ROOT lost or kept other keys than " + deleted);
    return 0;
}
