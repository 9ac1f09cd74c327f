#include "export/modRegExp.h"

#include "platform/registry/RegistryApi.h"
#include "platform/registry/regedit/RegFileStore.h"

namespace moxalo::exporting {

void DeleteRegKey(registry::HKEY root, const std::string& subKey) {
    registry::RegDeleteKeyA(root, subKey.c_str());
}

bool BackupHoldsKey(const std::string& path, const std::string& keyPath, std::string& why) {
    try {
        auto backup = registry::RegFileStore::open(path);
        if (backup->findPath(backup->rootNode(), keyPath) != registry::kNoNode)
            return true;
        why = path + " does not hold " + keyPath;
    } catch (const registry::StoreError& e) {
        why = e.what();
    }
    return false;
}

} // namespace moxalo::exporting
