#include "bench/GeneratorOptions.h"

#include <charconv>
#include <cstdlib>

namespace moxalo::bench {

namespace {

// libhivex refuses to read a key with more than 70 000 subkeys.
constexpr std::size_t kMaxRootKeys = 60000;
// More than any real machine registers, and the names ".ext0001"... keep four digits.
constexpr std::size_t kMaxExtensions = 8000;
// More verbs than any real type has.
constexpr std::size_t kMaxVerbs = 32;

std::size_t count(const std::string& option, const std::string& text, std::size_t most) {
    std::size_t n = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc{} || end != text.data() + text.size() || n > most)
        throw UsageError(option + " takes a whole number from 0 to " + std::to_string(most) +
                         ", not \"" + text + "\"");
    return n;
}

double share(const std::string& option, const std::string& text) {
    char* end = nullptr;
    double p = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(p >= 0 && p <= 1))
        throw UsageError(option + " takes a share from 0 to 1, not \"" + text + "\"");
    return p;
}

KeyOrder keyOrder(const std::string& text) {
    if (text == "sorted")
        return KeyOrder::Sorted;
    if (text == "reverse")
        return KeyOrder::Reverse;
    if (text == "shuffled")
        return KeyOrder::Shuffled;
    throw UsageError("--order takes sorted, reverse or shuffled, not \"" + text + "\"");
}

void apply(GeneratorOptions& options, const std::string& option, const std::string& value) {
    ClassesShape& shape = options.shape;
    if (option == "--root-keys")
        shape.rootKeys = count(option, value, kMaxRootKeys);
    else if (option == "--extensions")
        shape.extensions = count(option, value, kMaxExtensions);
    else if (option == "--verbs")
        shape.verbs = count(option, value, kMaxVerbs);
    else if (option == "--open-with")
        shape.openWithShare = share(option, value);
    else if (option == "--seed")
        shape.seed = count(option, value, SIZE_MAX);
    else if (option == "--hive")
        options.hivePath = value;
    else if (option == "--reg")
        options.regPath = value;
    else if (option == "--wine")
        options.winePath = value;
    else if (option == "--ntuser")
        options.userHivePath = value;
    else if (option == "--file-exts")
        options.fileExts = count(option, value, kMaxExtensions);
    else if (option == "--order")
        options.regOrder = keyOrder(value);
    else
        throw UsageError("unknown option \"" + option + "\"");
}

} // namespace

const char* const kGeneratorUsage =
    "Usage: moxalo-bench-gen [OPTIONS] (--hive FILE | --reg FILE | --wine FOLDER |\n"
    "                                   --ntuser FILE)...\n"
    "Writes a synthetic HKEY_CLASSES_ROOT as a registry hive, a regedit export and/or a Wine\n"
    "prefix.\n"
    "\n"
    "  --root-keys N    subkeys of HKEY_CLASSES_ROOT, all kinds (default 1000, at most 60000)\n"
    "  --extensions N   extension keys .ext0001... among them (default 100, at most 8000)\n"
    "  --verbs N        shell verbs of each file type (default 3)\n"
    "  --open-with P    share of extensions with an OpenWithList (default 0.25)\n"
    "  --seed N         the same seed gives the same registry (default 1)\n"
    "  --software       put the classes under a root key Classes, as a SOFTWARE hive has them\n"
    "                   (default: at the root, as UsrClass.dat has them)\n"
    "  --hive FILE      write a hive\n"
    "  --reg FILE       write a regedit 5 export (UTF-16LE) of HKEY_CLASSES_ROOT\n"
    "  --order ORDER    the keys of the export: sorted (default, as regedit writes them),\n"
    "                   reverse or shuffled\n"
    "  --wine FOLDER    write a Wine prefix: the classes in system.reg, an empty user.reg\n"
    "  --ntuser FILE    write an NTUSER.DAT hive whose FileExts name the extensions\n"
    "  --file-exts N    extensions under its FileExts, half with a UserChoice (default 0)\n";

GeneratorOptions parseGeneratorOptions(const std::vector<std::string>& args) {
    GeneratorOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            options.help = true;
            return options;
        }
        if (args[i] == "--software") {
            options.software = true;
            continue;
        }
        if (i + 1 >= args.size())
            throw UsageError(args[i] + " needs a value");
        apply(options, args[i], args[i + 1]);
        ++i;
    }
    if (options.hivePath.empty() && options.regPath.empty() && options.winePath.empty() &&
        options.userHivePath.empty())
        throw UsageError(
            "nothing to write: give --hive FILE, --reg FILE, --wine FOLDER or --ntuser FILE");
    return options;
}

} // namespace moxalo::bench
