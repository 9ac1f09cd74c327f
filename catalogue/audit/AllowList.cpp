// The allow-list: the programs, classes and keys whose findings a known, benign program explains.
// A user's file holds one rule a line: its kind (program, progid or key), a TAB, a wildcard
// pattern (* and ?, without regard to case), a TAB, the reason shown beside what it allows;
// blank lines and lines starting with # are skipped.

#include "catalogue/audit/Audit.h"

#include <cctype>
#include <fstream>

namespace moxalo::catalogue::audit {

namespace {

bool sameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

// `*` matches any run of characters, backslashes included; `?` one character.
bool matches(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || sameLetter(pattern[p], text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::optional<AllowRule::Kind> kindFrom(std::string_view word) {
    if (word == "program")
        return AllowRule::Kind::Program;
    if (word == "progid")
        return AllowRule::Kind::ProgId;
    if (word == "key")
        return AllowRule::Kind::Key;
    return std::nullopt;
}

Result<AllowRule> parseRule(const std::string& line) {
    std::size_t first = line.find('\t');
    std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    if (second == std::string::npos)
        return fail("expected KIND, TAB, PATTERN, TAB, REASON");
    auto kind = kindFrom(line.substr(0, first));
    if (!kind)
        return fail("\"" + line.substr(0, first) + "\" is no kind: program, progid or key");
    AllowRule rule{*kind, line.substr(first + 1, second - first - 1), line.substr(second + 1)};
    if (rule.pattern.empty())
        return fail("the pattern is empty");
    if (rule.reason.empty())
        return fail("the reason is empty: say why it is allowed");
    return rule;
}

} // namespace

AllowList AllowList::defaults() {
    using Kind = AllowRule::Kind;
    constexpr std::string_view kOneDrive =
        "OneDrive, which installs for each user under %LOCALAPPDATA%\\Microsoft\\OneDrive";
    constexpr std::string_view kSpotify = "Spotify, which installs for each user under %APPDATA%";
    constexpr std::string_view kCode =
        "Visual Studio Code, whose user installer puts it under %LOCALAPPDATA%\\Programs";
    AllowList list;
    list.rules_ = {
        {Kind::Program, "?:\\Users\\*\\AppData\\Local\\Microsoft\\OneDrive\\*",
         std::string(kOneDrive)},
        {Kind::Program, "%LOCALAPPDATA%\\Microsoft\\OneDrive\\*", std::string(kOneDrive)},
        {Kind::Program, "%USERPROFILE%\\AppData\\Local\\Microsoft\\OneDrive\\*",
         std::string(kOneDrive)},
        {Kind::Program, "?:\\Users\\*\\AppData\\Roaming\\Spotify\\Spotify.exe",
         std::string(kSpotify)},
        {Kind::Program, "%APPDATA%\\Spotify\\Spotify.exe", std::string(kSpotify)},
        {Kind::Program, "?:\\Users\\*\\AppData\\Local\\Programs\\Microsoft VS Code\\Code.exe",
         std::string(kCode)},
        {Kind::Program, "%LOCALAPPDATA%\\Programs\\Microsoft VS Code\\Code.exe",
         std::string(kCode)},
    };
    return list;
}

Result<void> AllowList::addFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(path + ": cannot be read");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.starts_with('#'))
            continue;
        Result<AllowRule> rule = parseRule(line);
        if (!rule)
            return fail(path + ":" + std::to_string(number) + ": " + rule.error());
        rules_.push_back(std::move(*rule));
    }
    if (in.bad())
        return fail(path + ": cannot be read");
    return {};
}

// A high finding is never allowed away: no known program does what one tells.
const AllowRule* AllowList::covering(const Finding& finding, std::string_view program) const {
    if (finding.severity == Severity::High)
        return nullptr;
    for (const AllowRule& rule : rules_) {
        std::string_view subject = rule.kind == AllowRule::Kind::Program ? program
                                   : rule.kind == AllowRule::Kind::ProgId
                                       ? std::string_view(finding.type)
                                       : std::string_view(finding.key);
        if (!subject.empty() && matches(rule.pattern, subject))
            return &rule;
    }
    return nullptr;
}

} // namespace moxalo::catalogue::audit
