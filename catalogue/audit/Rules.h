#pragma once
// The audit's rules by id, with the words a report (SARIF's rule table, --help) describes them by.

#include <string_view>
#include <vector>

namespace moxalo::catalogue::audit {

namespace rule {
inline constexpr std::string_view kSensitiveClass = "sensitive-class-override";
inline constexpr std::string_view kShadowsMachine = "user-shadows-machine";
inline constexpr std::string_view kDelegateExecute = "delegate-execute";
inline constexpr std::string_view kIsolatedCommand = "isolated-command";
inline constexpr std::string_view kWritableFolder = "writable-folder";
inline constexpr std::string_view kScriptHost = "script-host";
inline constexpr std::string_view kNoFileArgument = "no-file-argument";
inline constexpr std::string_view kUnquotedPath = "unquoted-path";
inline constexpr std::string_view kUrlArgument = "url-argument";
inline constexpr std::string_view kEncodedArgument = "encoded-argument";
inline constexpr std::string_view kDataRunsCode = "data-type-runs-code";
inline constexpr std::string_view kHashFails = "userchoice-hash-fails";
inline constexpr std::string_view kMissingProgId = "userchoice-missing-progid";
inline constexpr std::string_view kOddApplication = "userchoice-odd-application";
} // namespace rule

struct RuleText {
    std::string_view id;
    std::string_view summary; // one line
    std::string_view help;    // what to look at
};
const std::vector<RuleText>& auditRules();

} // namespace moxalo::catalogue::audit
