#pragma once
// The audit of a user's file associations for signs of tampering (MITRE ATT&CK T1546.001): each
// indicator evaluated on the effective view, each finding with its severity, the key and value
// it rests on, the rule that found it and why it matters. Findings a known program explains are
// kept, marked allowed with the reason, so that a report shows what was excused and why.

#include "base/Result.h"
#include "catalogue/effective/Effective.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::catalogue::audit {

enum class Severity { Info, Low, Medium, High };
// "info", "low", "medium", "high".
std::string_view severityText(Severity severity);
// From those words; nullopt for any other.
std::optional<Severity> severityFrom(std::string_view text);

struct Finding {
    Severity severity = Severity::Info;
    std::string rule;      // a stable id, as the report and the allow-list name it
    std::string type;      // what it concerns: ".txt", "exefile", "ms-settings"; "" for none
    std::string key;       // the key, from its root: "HKCU\Software\Classes\exefile\shell\..."
    std::string valueName; // "" for the default value
    std::string value;     // the data it rests on
    std::string why;       // one sentence
    // The key's last write (a FILETIME); nullopt where the source keeps no key times (.reg).
    std::optional<std::uint64_t> lastWritten;
    // Findings whose keys were written within the same few minutes share a number above 0.
    int cluster = 0;
    std::string allowedBy; // the reason of the allow rule that covers it, "" when none does
};

// A finding a known, benign program explains.
struct AllowRule {
    enum class Kind { Program, ProgId, Key };
    Kind kind = Kind::Program;
    std::string pattern; // a wildcard pattern (* and ?), matched without regard to case
    std::string reason;
};

class AllowList {
public:
    // The rules every audit starts with: OneDrive, Spotify and the like, each with its reason.
    static AllowList defaults();
    // Adds the rules of a user's file; fails naming the file and line of a malformed rule.
    Result<void> addFile(const std::string& path);
    // The rule that covers `finding`, whose command runs `program`; nullptr when none does.
    const AllowRule* covering(const Finding& finding, std::string_view program) const;
    const std::vector<AllowRule>& rules() const { return rules_; }

private:
    std::vector<AllowRule> rules_;
};

struct AuditReport {
    std::vector<Finding> findings; // the most severe first, then by type and key
    bool keyTimes = false;         // whether the source keeps key times (for the time rules)
};

// Fails only when the registry cannot be read.
Result<AuditReport> runAudit(effective::UserView& view, const AllowList& allow);

} // namespace moxalo::catalogue::audit
