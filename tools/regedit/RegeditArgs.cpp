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

// The words of a command line, as the two forms of it give them.
struct Words {
    std::string first;      // the switch, or the file to import without one
    std::string afterFirst; // what follows it, as one file name
    std::string whole;      // all of it, as one file name
    std::string exportFile; // the word after the switch
    std::string exportKey;  // what follows that word
};

// The grammar both forms share, once their words are known.
Result<ParsedArgs> parseWords(Request request, const Words& words) {
    if (words.first.empty())
        return fail("no file named");
    if (isSwitch(words.first, 'e')) {
        if (words.exportFile.empty())
            return fail("/e needs a file to write");
        request.action = Action::Export;
        request.file = words.exportFile;
        request.key = words.exportKey;
        return ParsedArgs{std::move(request)};
    }
    bool hasSwitch = isSwitch(words.first, 'i') || isSwitch(words.first, 's');
    request.silent = isSwitch(words.first, 's');
    if (!hasSwitch && words.first.size() == 2 && words.first[0] == '/')
        return fail("unknown switch " + words.first);
    request.file = hasSwitch ? words.afterFirst : words.whole;
    if (request.file.empty())
        return fail(words.first + " needs a .reg file to import");
    return ParsedArgs{std::move(request)};
}

} // namespace

Result<ParsedArgs> parseRegeditCommandLine(std::string_view tail) {
    tail = skipBlanks(tail);
    Words words;
    std::string_view rest = tail;
    words.first = process::firstArgument(tail, rest);
    if (words.first == "--help" || words.first == "-h" || words.first == "/?")
        return ParsedArgs{{}, true};
    words.afterFirst = process::trailingFileName(rest);
    words.whole = process::trailingFileName(tail);
    words.exportFile = process::firstArgument(rest, rest);
    words.exportKey = std::string(rest);
    return parseWords({}, words);
}

Result<ParsedArgs> parseRegeditArgs(const std::vector<std::string>& args) {
    Request request;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h" || args[i] == "/?")
            return ParsedArgs{{}, true};
        Result<bool> taken = runtime::takeSourceOption(args, i, request.sources);
        if (!taken)
            return fail(taken.error());
        if (!*taken)
            break;
    }
    Words words;
    if (i < args.size()) {
        words.first = args[i];
        words.afterFirst = joined(args, i + 1);
        words.whole = joined(args, i);
        words.exportFile = i + 1 < args.size() ? args[i + 1] : "";
        words.exportKey = joined(args, i + 2);
    }
    return parseWords(std::move(request), words);
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
           "page of 8-bit files: --code-page, else MOXALO_CODEPAGE, else 1252. The user of\n"
           "a Windows partition: --user NAME, else MOXALO_USER, else its only user.\n"
           "Exit status: 0 done, 1 failed (one line on stderr says why), 2 usage error.\n";
}

} // namespace moxalo::regedit
