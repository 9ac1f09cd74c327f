// A dirty hive with its two transaction logs, from any bytes (cut at kSeparator: the hive, then
// .LOG1, then .LOG2), replayed and walked whole.

#include "fuzz/FuzzFiles.h"
#include "fuzz/SourceBytes.h"
#include "fuzz/StoreWalk.h"
#include "registry/hive/HiveOpening.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace moxalo;
    std::string_view bytes = fuzz::bytesOf(data, size);
    fuzz::clearScratch();
    std::string hive;
    for (const char* name : {"UsrClass.dat", "UsrClass.dat.LOG1", "UsrClass.dat.LOG2"}) {
        std::size_t cut = bytes.find(fuzz::kSeparator);
        std::string path = fuzz::writeScratchFile(name, bytes.substr(0, cut));
        if (hive.empty())
            hive = path;
        bytes.remove_prefix(cut == std::string_view::npos ? bytes.size()
                                                          : cut + fuzz::kSeparator.size());
    }
    try {
        hive::OpenedHive opened = hive::openHiveFile(hive, "holder ");
        fuzz::walkStore(*opened.store);
        hive::whyHiveFileReadOnly(hive);
    } catch (const registry::StoreError&) {
        // Refused whole: not a hive, or damaged where nothing can be read.
    }
    return 0;
}
