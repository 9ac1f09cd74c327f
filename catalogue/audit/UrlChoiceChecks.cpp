// The user's choices of program for URL schemes (http, mailto), guarded by the same hash as the
// extensions' with the scheme in place of the extension.

#include "catalogue/audit/AuditWalk.h"
#include "catalogue/audit/Rules.h"

namespace moxalo::catalogue::audit {

using effective::Place;

namespace {

constexpr std::string_view kUrlAssociations =
    "HKCU\\Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations";

// Why the hash fails; nothing when it holds or cannot be checked (no key time, no SID). A
// choice without a hash is not told: Wine writes its own so (a fresh prefix's http, https and
// ftp), and Windows ignores one.
std::optional<std::string> hashFault(const Place& choice, const std::string& scheme,
                                     const std::string& progId, const std::string& sid) {
    auto hash = choice.text("Hash");
    if (!hash)
        return std::nullopt;
    auto written = choice.store->lastWritten(choice.key);
    if (!written || sid.empty() ||
        effective::userChoiceHash(scheme, sid, progId, *written) == *hash)
        return std::nullopt;
    return "it is not the hash Windows writes for this ProgId, the SID " + sid +
           " and the key's time";
}

} // namespace

void checkUrlChoices(const effective::UserView& view, const KeyFinder& keys, Findings& out) {
    Place schemes = keys.find(kUrlAssociations).place;
    for (const std::string& scheme : schemes.subkeyNames()) {
        Place choice = schemes.below(effective::joinPath(scheme, "UserChoice"));
        std::string progId = choice.text("ProgId").value_or("");
        if (progId.empty())
            continue;
        if (auto fault = hashFault(choice, scheme, progId, view.sid()))
            out.add(findingAt(Severity::High, rule::kHashFails, scheme, choice, "Hash",
                              choice.text("Hash").value_or(""),
                              "The choice of " + progId + " for " + scheme + " links fails: " +
                                  *fault + "; it was written by hand or by a tool."));
        if (!keys.machineClasses().empty() && !keys.anyClass(progId))
            out.add(findingAt(Severity::Low, rule::kMissingProgId, scheme, choice, "ProgId", progId,
                              "The chosen ProgID exists in neither the user's classes nor "
                              "the machine's."));
    }
}

} // namespace moxalo::catalogue::audit
