// moxalo-bench-gen: writes a synthetic HKEY_CLASSES_ROOT of a real machine's size, as a hive
// as a regedit export and as a Wine prefix, for the benchmark (bench/run.sh).

#include "base/AtomicFile.h"
#include "bench/GeneratorOptions.h"
#include "bench/KeyOrder.h"
#include "bench/SyntheticClasses.h"
#include "bench/SyntheticUserHive.h"
#include "bench/WinePrefix.h"
#include "registry/hivewriter/HiveWriter.h"
#include "registry/regedit/RegFileExport.h"
#include "runtime/ChooseSources.h"

#include <iostream>

using namespace moxalo;

int main(int argc, char** argv) {
    bench::GeneratorOptions options;
    try {
        options = bench::parseGeneratorOptions({argv + 1, argv + argc});
    } catch (const bench::UsageError& e) {
        std::cerr << "moxalo-bench-gen: " << e.what() << "\n\n" << bench::kGeneratorUsage;
        return 2;
    }
    if (options.help) {
        std::cout << bench::kGeneratorUsage;
        return 0;
    }
    try {
        registry::MemoryStore store("(synthetic registry)");
        registry::NodeId classes =
            options.software ? store.createKey(store.rootNode(), "Classes") : store.rootNode();
        bench::buildClasses(store, classes, options.shape);
        if (!options.hivePath.empty())
            hive::writeHive(store, store.rootNode(), options.hivePath, runtime::kHolderKeyPrefix);
        if (!options.userHivePath.empty()) {
            registry::MemoryStore user("(synthetic NTUSER.DAT)");
            bench::buildUserHive(user, {options.fileExts, 0.5, options.shape.seed});
            hive::writeHive(user, user.rootNode(), options.userHivePath, runtime::kHolderKeyPrefix);
        }
        Result<> written;
        if (!options.regPath.empty())
            written = fs::writeFileAtomically(
                options.regPath,
                bench::reorderKeys(regfile::exportRegFile(store, classes, "HKEY_CLASSES_ROOT"),
                                   options.regOrder, options.shape.seed));
        if (written && !options.winePath.empty())
            written = bench::writeWinePrefix(options.winePath, options.shape);
        if (!written) {
            std::cerr << "moxalo-bench-gen: " << written.error() << "\n";
            return 1;
        }
    } catch (const std::runtime_error& e) {
        std::cerr << "moxalo-bench-gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
