#include "catalogue/audit/AuditMarks.h"

#include "base/NameFold.h"

namespace moxalo::catalogue::audit {

namespace {

void add(RowMark& mark, const RowMark& other) {
    if (other.severity > mark.severity)
        mark.severity = other.severity;
    mark.why += (mark.why.empty() ? "" : "\n") + other.why;
}

} // namespace

AuditMarks::AuditMarks(const AuditReport& report) {
    for (const Finding& finding : report.findings) {
        if (!finding.allowedBy.empty() || finding.type.empty())
            continue;
        std::string line =
            std::string(severityText(finding.severity)) + " (" + finding.rule + "): " + finding.why;
        auto [it, added] =
            byType_.try_emplace(registry::foldName(finding.type), RowMark{finding.severity, line});
        if (!added)
            add(it->second, {finding.severity, line});
    }
}

std::optional<RowMark> AuditMarks::markOf(const std::string& extension,
                                          const std::string& progId) const {
    std::optional<RowMark> mark;
    for (const std::string& type : {"." + extension, progId}) {
        if (type.empty())
            continue;
        auto it = byType_.find(registry::foldName(type));
        if (it == byType_.end())
            continue;
        if (!mark)
            mark = it->second;
        else
            add(*mark, it->second);
    }
    return mark;
}

} // namespace moxalo::catalogue::audit
