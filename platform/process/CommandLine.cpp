#include "platform/process/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace moxalo::process {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name ends at the first blank, or is quoted whole; backslashes mean nothing
// in it.
std::size_t readProgramName(std::string_view line, std::string& name) {
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        std::size_t end = line.find('"', 1);
        name = line.substr(1, end == std::string_view::npos ? line.size() - 1 : end - 1);
        return end == std::string_view::npos ? line.size() : end + 1;
    }
    while (i < line.size() && !isBlank(line[i]))
        ++i;
    name = line.substr(0, i);
    return i;
}

// One argument from `i` on; 2n backslashes before a quote give n and the quote groups,
// 2n + 1 give n and a literal quote. "" inside quotes is a literal quote that also ends the
// quoting, as CommandLineToArgvW has it (the C runtime since 2008 stays quoted instead), so
// that "a""b c" is two arguments, a"b and c.
std::string readArgument(std::string_view line, std::size_t& i) {
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !isBlank(line[i]))) {
        std::size_t slashes = 0;
        while (i < line.size() && line[i] == '\\') {
            ++slashes;
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            arg.append(slashes / 2, '\\');
            if (slashes % 2 == 1) {
                arg += '"';
            } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                arg += '"';
                quoted = false;
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
        } else {
            arg.append(slashes, '\\');
            if (i < line.size() && (quoted || !isBlank(line[i])))
                arg += line[i++];
        }
    }
    return arg;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
    std::vector<std::string> args;
    std::string name;
    std::size_t i = readProgramName(commandLine, name);
    args.push_back(std::move(name));
    for (;;) {
        while (i < commandLine.size() && isBlank(commandLine[i]))
            ++i;
        if (i >= commandLine.size())
            break;
        args.push_back(readArgument(commandLine, i));
    }
    return args;
}

std::string escapeQuoted(std::string_view argument) {
    std::string text;
    std::size_t slashes = 0;
    for (char c : argument) {
        if (c == '"')
            text.append(slashes + 1, '\\');
        slashes = c == '\\' ? slashes + 1 : 0;
        text += c;
    }
    text.append(slashes, '\\');
    return text;
}

std::string firstArgument(std::string_view text, std::string_view& rest) {
    std::size_t i = 0;
    std::string arg = readArgument(text, i);
    while (i < text.size() && isBlank(text[i]))
        ++i;
    rest = text.substr(i);
    return arg;
}

std::string trailingFileName(std::string_view text) {
    if (!text.starts_with('"'))
        return std::string(text);
    std::size_t i = 0;
    return readArgument(text, i);
}

ProgramStart programStart(std::string_view commandLine, const StandIns& standIns) {
    std::string name;
    std::size_t i = readProgramName(commandLine, name);
    ProgramStart start{resolveProgram(name, standIns), {}};
    if (start.program == name) {
        auto args = splitCommandLine(commandLine);
        start.arguments.assign(args.begin() + 1, args.end());
        return start;
    }
    while (i < commandLine.size() && isBlank(commandLine[i]))
        ++i;
    start.arguments = {std::string(kCommandLineOption), std::string(commandLine.substr(i))};
    return start;
}

std::string resolveProgram(const std::string& name, const StandIns& standIns) {
    std::string bare = lower(name);
    if (bare.ends_with(".exe"))
        bare.resize(bare.size() - 4);
    for (const auto& standIn : standIns)
        if (bare == standIn.name)
            return standIn.file;
    return name;
}

} // namespace moxalo::process
