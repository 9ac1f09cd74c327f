#include "tools/regedit/EditorTexts.h"

#include "base/Utf16.h"

namespace moxalo::regedit {

namespace {

constexpr std::size_t kSkippedShown = 100;

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string importQuestion(const std::string& file, const registry::SourceChoice& choice) {
    std::string sources;
    for (const auto& path : choice.paths)
        sources += "\n    " + path;
    return "Import the keys and values of " + file +
           " into the registry?\n\nThe registry:" + sources +
           "\n\nValues of the same names are replaced, and what the file deletes is deleted.";
}

std::string importReport(const std::string& file, const registry::ImportCounts& counts,
                         const std::vector<regfile::Diagnostic>& skipped) {
    std::string text =
        file + " was imported into the registry.\n\nKeys: " + std::to_string(counts.keysAdded) +
        " added, " + std::to_string(counts.keysDeleted) + " deleted (with their subkeys).\n" +
        "Values: " + std::to_string(counts.valuesAdded) + " added, " +
        std::to_string(counts.valuesChanged) + " changed, " + std::to_string(counts.valuesDeleted) +
        " deleted.";
    if (skipped.empty())
        return text;
    text += "\n\n" + counted(skipped.size(), "line was", "lines were") + " skipped:";
    for (std::size_t i = 0; i < skipped.size() && i < kSkippedShown; ++i)
        text += "\nline " + std::to_string(skipped[i].line) + ": " +
                text::displayText(skipped[i].message);
    if (skipped.size() > kSkippedShown)
        text += "\n... and " + std::to_string(skipped.size() - kSkippedShown) + " more";
    return text;
}

std::string sampleRefusal(const std::string& file, const std::string& samplePath) {
    return file + ": not imported: the bundled sample registry (" + samplePath +
           ") is only read. To import, open a registry that can be written: a Wine prefix "
           "(WINEPREFIX, or ~/.wine), or a copy of the sample named with --registry (or in "
           "MOXALO_REGISTRY).";
}

} // namespace moxalo::regedit
