// A hive from any bytes, opened through the store and walked whole: every name, every value.

#include "fuzz/FuzzFiles.h"
#include "fuzz/StoreWalk.h"
#include "registry/hive/HiveStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace moxalo;
    std::string path = fuzz::writeScratchFile("UsrClass.dat", fuzz::bytesOf(data, size));
    try {
        auto store = hive::HiveStore::open(path);
        fuzz::walkStore(*store);
    } catch (const registry::StoreError&) {
        // Refused whole: not a hive, or damaged where nothing can be read.
    }
    return 0;
}
