#include "catalogue/effective/CommandLine.h"

#include "base/NameFold.h"

namespace moxalo::catalogue::effective {

namespace {

constexpr std::string_view kBlanks = " \t";

bool endsWord(std::string_view text, std::size_t at) {
    return at == text.size() || kBlanks.find(text[at]) != std::string_view::npos;
}

} // namespace

std::string programOfCommand(std::string_view command) {
    std::size_t start = command.find_first_not_of(kBlanks);
    if (start == std::string_view::npos)
        return {};
    command.remove_prefix(start);
    if (command.front() == '"') {
        std::size_t close = command.find('"', 1);
        return std::string(command.substr(1, close == std::string_view::npos ? close : close - 1));
    }
    constexpr std::string_view kExe = ".exe";
    for (std::size_t at = 0; at + kExe.size() <= command.size(); ++at)
        if (registry::sameName(command.substr(at, kExe.size()), kExe) &&
            endsWord(command, at + kExe.size()))
            return std::string(command.substr(0, at + kExe.size()));
    return std::string(command.substr(0, command.find_first_of(kBlanks)));
}

std::string fileNameOf(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace moxalo::catalogue::effective
