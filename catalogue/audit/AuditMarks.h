#pragma once
// Which rows of the file list an audit's findings concern: a finding on ".txt" marks the .txt
// row, one on a class ("exefile") every row whose type that class opens. Allowed findings mark
// nothing; a row with several is marked by the most severe, and its text tells them all.

#include "catalogue/audit/Audit.h"

#include <map>
#include <optional>
#include <string>

namespace moxalo::catalogue::audit {

struct RowMark {
    Severity severity = Severity::Info;
    std::string why; // each finding's rule and reason, one per line
};

class AuditMarks {
public:
    AuditMarks() = default;
    explicit AuditMarks(const AuditReport& report);

    // The mark of the row of `extension` (without its dot), whose type `progId` opens ("" when
    // none does); nullopt when no finding concerns it.
    std::optional<RowMark> markOf(const std::string& extension, const std::string& progId) const;
    bool empty() const { return byType_.empty(); }

private:
    std::map<std::string, RowMark> byType_; // by the type's name folded as the registry folds it
};

} // namespace moxalo::catalogue::audit
