// Writes the hive seeds of the fuzz corpora: each .reg file named on the command line, read as
// regedit would, becomes a hive holding its HKEY_CLASSES_ROOT keys, written by the same writer
// the tests make their hives with. Usage: fuzz_seed_hives OUTPUT_FOLDER FILE.reg...

#include "registry/RegistryStore.h"
#include "registry/hivewriter/HiveWriter.h"
#include "registry/regedit/RegFileImport.h"
#include "runtime/ChooseSources.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using namespace moxalo;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A UsrClass.dat-like hive: the extension and type keys at its root.
void writeSeed(const std::string& regFile, const std::string& hivePath) {
    registry::MemoryStore read;
    regfile::importRegFile(readAll(regFile), read);
    registry::NodeId from = read.findPath(read.rootNode(), "HKEY_CLASSES_ROOT");
    if (from == registry::kNoNode)
        throw registry::StoreError(regFile + ": holds no HKEY_CLASSES_ROOT keys");
    hive::writeHive(read, from, hivePath, runtime::kHolderKeyPrefix);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: fuzz_seed_hives OUTPUT_FOLDER FILE.reg...\n";
        return 2;
    }
    try {
        for (int i = 2; i < argc; ++i) {
            std::filesystem::path name = std::filesystem::path(argv[i]).stem();
            writeSeed(argv[i], (std::filesystem::path(argv[1]) / name).string() + ".hive");
        }
    } catch (const std::exception& e) {
        std::cerr << "fuzz_seed_hives: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
