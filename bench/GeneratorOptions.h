#pragma once
// The command line of moxalo-bench-gen.

#include "bench/KeyOrder.h"
#include "bench/SyntheticClasses.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace moxalo::bench {

struct GeneratorOptions {
    ClassesShape shape;
    bool software = false; // classes under a root key "Classes", as in a SOFTWARE hive
    std::string hivePath;
    std::string regPath;
    std::string winePath;     // a prefix folder: system.reg with the classes, an empty user.reg
    std::string userHivePath; // an NTUSER.DAT with the user's FileExts
    std::size_t fileExts = 0; // extensions under its FileExts
    KeyOrder regOrder = KeyOrder::Sorted;
    bool help = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

extern const char* const kGeneratorUsage;

// Throws UsageError naming the option that is wrong.
GeneratorOptions parseGeneratorOptions(const std::vector<std::string>& args);

} // namespace moxalo::bench
