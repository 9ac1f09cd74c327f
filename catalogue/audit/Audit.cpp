#include "catalogue/audit/Audit.h"

#include "catalogue/audit/AuditWalk.h"
#include "registry/Attempt.h"

#include <algorithm>
#include <array>
#include <set>

namespace moxalo::catalogue::audit {

namespace {

constexpr std::array<std::string_view, 4> kSeverityWords{"info", "low", "medium", "high"};

// Keys written within this long of the one before are taken as written together (FILETIME units
// of 100 ns: five minutes).
constexpr std::uint64_t kClusterGap = 5ULL * 60 * 10'000'000;

// Findings whose keys were written in one sitting share a number. A cluster alone is no sign
// (an installer writes many keys at once), so it makes no finding of its own: it shows which
// findings came together, a timeline's groups.
void cluster(std::vector<Gathered>& gathered) {
    std::vector<Finding*> timed;
    for (auto& g : gathered)
        if (g.finding.lastWritten)
            timed.push_back(&g.finding);
    std::stable_sort(timed.begin(), timed.end(), [](const Finding* a, const Finding* b) {
        return *a->lastWritten < *b->lastWritten;
    });
    int next = 1;
    for (std::size_t start = 0; start < timed.size();) {
        std::size_t end = start + 1;
        std::set<std::string> keys{timed[start]->key};
        while (end < timed.size() &&
               *timed[end]->lastWritten - *timed[end - 1]->lastWritten <= kClusterGap)
            keys.insert(timed[end++]->key);
        if (keys.size() > 1) {
            for (std::size_t i = start; i < end; ++i)
                timed[i]->cluster = next;
            ++next;
        }
        start = end;
    }
}

bool moreSevereFirst(const Finding& a, const Finding& b) {
    if (a.severity != b.severity)
        return a.severity > b.severity;
    if (a.type != b.type)
        return a.type < b.type;
    if (a.key != b.key)
        return a.key < b.key;
    return a.rule < b.rule;
}

} // namespace

std::string_view severityText(Severity severity) {
    return kSeverityWords[static_cast<std::size_t>(severity)];
}

std::optional<Severity> severityFrom(std::string_view text) {
    for (std::size_t i = 0; i < kSeverityWords.size(); ++i)
        if (kSeverityWords[i] == text)
            return static_cast<Severity>(i);
    return std::nullopt;
}

Result<AuditReport> runAudit(effective::UserView& view, const AllowList& allow) {
    KeyFinder keys(view);
    Findings found;
    auto walked = registry::attempt([&] {
        checkClasses(keys, found);
        checkUrlChoices(view, keys, found);
    });
    if (!walked)
        return fail(walked.error());
    if (auto resolved = checkExtensions(view, keys, found); !resolved)
        return fail(resolved.error());
    std::vector<Gathered> gathered = found.take();
    auto timed = registry::attempt([&] {
        for (auto& g : gathered)
            if (effective::Place key = keys.find(g.finding.key).place)
                g.finding.lastWritten = key.store->lastWritten(key.key);
        return keys.keepsTimes();
    });
    if (!timed)
        return fail(timed.error());
    cluster(gathered);
    AuditReport report;
    report.keyTimes = *timed;
    for (auto& g : gathered) {
        if (const AllowRule* rule = allow.covering(g.finding, g.program))
            g.finding.allowedBy = rule->reason;
        report.findings.push_back(std::move(g.finding));
    }
    std::sort(report.findings.begin(), report.findings.end(), moreSevereFirst);
    return report;
}

} // namespace moxalo::catalogue::audit
