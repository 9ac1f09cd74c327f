// The .reg reader: any bytes imported as `regedit /s` would, then the tree written as the .reg
// store saves itself and read again. A save that reads back as another tree would change the
// user's registry behind their back.

#include "fuzz/FuzzFiles.h"
#include "registry/regedit/RegFileExport.h"
#include "registry/regedit/RegFileImport.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace moxalo;

regfile::ExportFormat formatOf(const regfile::ImportResult& read) {
    // The .reg store saves a Windows 3.1 file as a version 5 one.
    return {read.version == 4 ? 4 : 5, read.unicode, {}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    registry::MemoryStore store;
    regfile::ImportResult read;
    try {
        read = regfile::importRegFile(fuzz::bytesOf(data, size), store);
    } catch (const registry::StoreError&) {
        return 0; // no .reg header: refused whole
    }
    auto format = formatOf(read);
    std::string written = regfile::exportRegFileTree(store, format);
    registry::MemoryStore again;
    regfile::importRegFile(written, again);
    if (regfile::exportRegFileTree(again, format) != written) {
        std::fprintf(stderr, "a saved .reg file reads back as another tree\n");
        std::abort();
    }
    return 0;
}
