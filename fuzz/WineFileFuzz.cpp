// Wine's registry file reader: any text read as wineserver would, written back, and read again.
// What was written must read with no complaint that the text read first did not have (lines
// kept as they were may keep theirs), and write back the very same bytes, or a save would
// change the registry behind the user's back.

#include "fuzz/FuzzFiles.h"
#include "registry/wine/WineRegistryFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

using namespace moxalo::registry;

constexpr std::uint64_t kSaveTime = kUnixEpochFileTime;

std::string roundTrip(std::string_view text, std::vector<WineDiagnostic>& diagnostics) {
    MemoryStore store;
    WineFileLayout layout;
    diagnostics = readWineRegistry(text, "system.reg", store, layout);
    return writeWineRegistry(store, layout, kSaveTime);
}

// The messages without their line numbers, which writing the file may shift.
std::multiset<std::string> complaints(const std::vector<WineDiagnostic>& diagnostics) {
    std::multiset<std::string> messages;
    for (const auto& d : diagnostics)
        messages.insert(d.message);
    return messages;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<WineDiagnostic> first, second;
    std::string written;
    try {
        written = roundTrip(moxalo::fuzz::bytesOf(data, size), first);
    } catch (const StoreError&) {
        return 0; // a file wineserver refuses whole
    }
    std::string again = roundTrip(written, second);
    auto before = complaints(first), after = complaints(second);
    if (!std::includes(before.begin(), before.end(), after.begin(), after.end()) ||
        again != written) {
        std::fprintf(stderr, "written file does not read back the same\n");
        std::abort();
    }
    return 0;
}
