#include "tools/cli/UserViewOptions.h"

namespace moxalo::cli {

std::unique_ptr<catalogue::effective::UserView> OpenUserView(const Invocation& inv) {
    return std::make_unique<catalogue::effective::UserView>(*inv.chosen.registry,
                                                            inv.chosen.choice.sid);
}

std::string DottedExtension(std::string extension) {
    if (!extension.starts_with("."))
        extension.insert(0, ".");
    return extension;
}

Result<std::string> ChosenFormat(const ParsedOptions& options,
                                 std::initializer_list<const char*> accepted) {
    auto given = options.values.find("--format");
    std::string format = given == options.values.end() ? "text" : given->second;
    std::string list;
    std::size_t i = 0;
    for (const char* name : accepted) {
        if (format == name)
            return format;
        list += (i == 0 ? "" : i + 1 == accepted.size() ? " or " : ", ") + std::string(name);
        ++i;
    }
    return fail("--format takes " + list);
}

} // namespace moxalo::cli
