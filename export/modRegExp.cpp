#include "export/modRegExp.h"

#include "platform/advapi/RegistryApi.h"
#include "platform/advapi/RegistrySession.h"
#include "registry/regedit/RegFileStore.h"

#include <algorithm>

namespace moxalo::exporting {

Result<> DeleteRegKey(registry::HKEY root, const std::string& subKey) {
    if (registry::RegDeleteKeyA(root, subKey.c_str()) == registry::ERROR_SUCCESS)
        return {};
    registry::RegistrySession* session = registry::mountedSession();
    if (session == nullptr || session->lastError().empty())
        return {};
    return fail(session->lastError());
}

Result<> BackupHoldsKey(const std::string& path, const std::string& keyPath) {
    Result<bool> holds = registry::regFileHoldsKey(path, keyPath);
    if (!holds)
        return fail(holds.error());
    if (*holds)
        return {};
    return fail(path + " does not hold " + keyPath);
}

std::string WhyEditorFailed(int status, const std::string& errors) {
    static const std::string kName = "moxalo-regedit: ";
    std::string why;
    std::size_t start = 0;
    while (start < errors.size()) {
        std::size_t end = std::min(errors.find('\n', start), errors.size());
        std::string line = errors.substr(start, end - start);
        if (line.starts_with(kName))
            line.erase(0, kName.size());
        if (!line.empty())
            why += (why.empty() ? "" : "\n") + line;
        start = end + 1;
    }
    return why.empty() ? "the registry editor ended with status " + std::to_string(status) : why;
}

} // namespace moxalo::exporting
