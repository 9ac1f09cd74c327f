#include "fuzz/SourceBytes.h"

#include "fuzz/FuzzFiles.h"

#include <vector>

namespace moxalo::fuzz {

namespace {

std::vector<std::string_view> pieces(std::string_view bytes) {
    std::vector<std::string_view> parts;
    for (std::size_t cut; (cut = bytes.find(kSeparator)) != std::string_view::npos;) {
        parts.push_back(bytes.substr(0, cut));
        bytes.remove_prefix(cut + kSeparator.size());
    }
    parts.push_back(bytes);
    return parts;
}

} // namespace

registry::SourceChoice sourcesOf(std::string_view bytes) {
    clearScratch();
    registry::SourceChoice choice;
    if (bytes.empty())
        return choice;
    char mode = static_cast<char>(bytes[0] % 3);
    auto parts = pieces(bytes.substr(1));
    if (mode == 1) {
        writeScratchFile("prefix/system.reg", parts[0]);
        if (parts.size() > 1)
            writeScratchFile("prefix/user.reg", parts[1]);
        choice.paths = {scratchFolder() + "/prefix"};
        return choice;
    }
    for (std::size_t i = 0; i < parts.size() && i < (mode == 2 ? 2u : 1u); ++i)
        choice.paths.push_back(writeScratchFile("source" + std::to_string(i), parts[i]));
    return choice;
}

} // namespace moxalo::fuzz
