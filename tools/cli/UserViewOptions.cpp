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

Result<ViewArguments> ParseViewArguments(const std::vector<std::string>& args,
                                         const std::string& command, bool takesExtension,
                                         std::set<std::string> valued) {
    valued.insert("--format");
    auto options = ParseOptions(args, {}, valued);
    if (!options)
        return fail(options.error());
    Result<std::string> format = ChosenFormat(*options, {"text", "json"});
    if (!format)
        return fail(format.error());
    const auto& positional = options->positional;
    if (!takesExtension && !positional.empty())
        return fail(command + " takes no arguments");
    if (takesExtension && (positional.size() != 1 || positional[0].empty() || positional[0] == "."))
        return fail(command + " takes one extension (txt or .txt)");
    std::string extension = takesExtension ? DottedExtension(positional[0]) : "";
    return ViewArguments{std::move(*options), std::move(*format), std::move(extension)};
}

Result<ReportArguments> ParseReportArguments(const std::vector<std::string>& args,
                                             const std::string& command,
                                             std::initializer_list<const char*> formats,
                                             const std::set<std::string>& flags,
                                             std::set<std::string> valued) {
    valued.insert({"--format", "--label"});
    auto options = ParseOptions(args, flags, valued);
    if (!options)
        return fail(options.error());
    Result<std::string> format = ChosenFormat(*options, formats);
    if (!format)
        return fail(format.error());
    if (!options->positional.empty())
        return fail(command + " takes no arguments");
    return ReportArguments{std::move(*options), std::move(*format)};
}

} // namespace moxalo::cli
