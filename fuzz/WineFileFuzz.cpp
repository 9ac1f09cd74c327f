// Wine's registry file reader: any text read as wineserver would, written back, and read again.
// What was written must read without a complaint and write back the very same bytes, or a save
// would change the registry behind the user's back.

#include "fuzz/FuzzFiles.h"
#include "platform/registry/wine/WineRegistryFile.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace moxalo::registry;

constexpr std::uint64_t kSaveTime = kUnixEpochFileTime;

std::string roundTrip(std::string_view text, std::vector<WineDiagnostic>& diagnostics) {
    MemoryStore store;
    WineFileLayout layout;
    diagnostics = readWineRegistry(text, "system.reg", store, layout);
    return writeWineRegistry(store, layout, kSaveTime);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<WineDiagnostic> diagnostics;
    std::string written;
    try {
        written = roundTrip(moxalo::fuzz::bytesOf(data, size), diagnostics);
    } catch (const StoreError&) {
        return 0; // a file wineserver refuses whole
    }
    std::string again = roundTrip(written, diagnostics);
    if (!diagnostics.empty() || again != written) {
        std::fprintf(stderr, "written file does not read back: %s\n",
                     diagnostics.empty() ? "other bytes" : diagnostics[0].message.c_str());
        std::abort();
    }
    return 0;
}
