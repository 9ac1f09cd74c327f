#include "tools/regedit/RegeditArgs.h"

#include "platform/process/CommandLine.h"

#include <ostream>

namespace moxalo::regedit {

namespace {

// regedit takes its switches with "/" or "-", in either case.
bool isSwitch(const std::string& arg, char letter) {
    return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-') &&
           (arg[1] == letter || arg[1] == letter - 'a' + 'A');
}

std::string joined(const std::vector<std::string>& args, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < args.size(); ++i)
        text += (i > from ? " " : "") + args[i];
    return text;
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

} // namespace

ParsedArgs parseRegeditCommandLine(std::string_view tail) {
    tail = skipBlanks(tail);
    std::string_view rest = tail;
    std::string first = process::firstArgument(tail, rest);
    if (first == "--help" || first == "-h" || first == "/?")
        return {{}, {}, true};
    if (first.empty())
        return {{}, "no file named", false};
    Request request;
    if (isSwitch(first, 'e')) {
        request.action = Action::Export;
        request.file = process::firstArgument(rest, rest);
        if (request.file.empty())
            return {{}, "/e needs a file to write", false};
        request.key = std::string(rest);
        return {std::move(request), {}, false};
    }
    bool hasSwitch = isSwitch(first, 'i') || isSwitch(first, 's');
    request.silent = isSwitch(first, 's');
    if (!hasSwitch && first.size() == 2 && first[0] == '/')
        return {{}, "unknown switch " + first, false};
    request.file = process::trailingFileName(hasSwitch ? rest : tail);
    if (request.file.empty())
        return {{}, first + " needs a .reg file to import", false};
    return {std::move(request), {}, false};
}

ParsedArgs parseRegeditArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    Request request;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h" || args[i] == "/?") {
            parsed.help = true;
            return parsed;
        }
        if (!registry::takeSourceOption(args, i, request.sources, parsed.error))
            break;
        if (parsed.error)
            return parsed;
    }
    if (i == args.size()) {
        parsed.error = "no file named";
        return parsed;
    }
    const std::string& first = args[i];
    if (isSwitch(first, 'e')) {
        request.action = Action::Export;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            parsed.error = "/e needs a file to write";
            return parsed;
        }
        request.file = args[i + 1];
        request.key = joined(args, i + 2);
    } else {
        bool hasSwitch = isSwitch(first, 'i') || isSwitch(first, 's');
        request.silent = isSwitch(first, 's');
        if (!hasSwitch && first.size() == 2 && first[0] == '/') {
            parsed.error = "unknown switch " + first;
            return parsed;
        }
        request.file = joined(args, hasSwitch ? i + 1 : i);
        if (request.file.empty()) {
            parsed.error = first + " needs a .reg file to import";
            return parsed;
        }
    }
    parsed.request = std::move(request);
    return parsed;
}

void printUsage(std::ostream& out) {
    out << "Usage: moxalo-regedit [--registry SOURCE]... [--code-page CP] /e FILE [KEY]\n"
           "       moxalo-regedit [--registry SOURCE]... [--code-page CP] /I FILE\n"
           "       moxalo-regedit [--registry SOURCE]... [--code-page CP] /s FILE\n"
           "\n"
           "  /e FILE KEY  writes KEY with all its subkeys and values to FILE in regedit's\n"
           "               format (UTF-16, version 5), replacing FILE whole. KEY is\n"
           "               HKEY_CLASSES_ROOT\\..., HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\... or\n"
           "               HKEY_CURRENT_USER\\Software\\Classes\\...; without KEY, all classes.\n"
           "  /I FILE      merges the .reg FILE (version 5 or REGEDIT4) into the registry.\n"
           "  /s FILE      the same; no question is asked either way.\n"
           "\n"
           "Arguments after the switch (after FILE for /e) are joined with single blanks.\n"
           "The registry: --registry, else MOXALO_REGISTRY (sources separated by ':'), else\n"
           "$WINEPREFIX, else ~/.wine, else the bundled sample, which is only read. The code\n"
           "page of 8-bit files: --code-page, else MOXALO_CODEPAGE, else 1252.\n"
           "Exit status: 0 done, 1 failed (one line on stderr says why), 2 usage error.\n";
}

} // namespace moxalo::regedit
