#pragma once
// A regedit .reg file used as the registry: read whole into memory, written back whole.

#include "registry/ClassesLayer.h"
#include "registry/MemoryStore.h"
#include "registry/regedit/RegFileExport.h"
#include "registry/regedit/RegFileImport.h"

#include <memory>
#include <string>
#include <vector>

namespace moxalo::registry {

class RegFileStore : public MemoryStore {
public:
    // Throws StoreError "<path>: <what>" for a file that cannot be read, has no .reg header or
    // holds no classes. Lines regedit would drop are only reported, in diagnostics(). A file
    // without the UTF-16 byte order mark is read, and saved, in `codePage`.
    static std::unique_ptr<RegFileStore> open(const std::string& path,
                                              const text::CodePage& codePage = {});

    const std::vector<regfile::Diagnostic>& diagnostics() const { return diagnostics_; }
    // HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE\SOFTWARE\Classes (in that order of precedence),
    // then the user's HKEY_CURRENT_USER\Software\Classes: those the file holds.
    std::vector<ClassesLayer> classesLayers();
    // The file's HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE\SOFTWARE, kNoNode when it holds no key
    // under them.
    NodeId currentUserKey();
    NodeId machineSoftwareKey();

    std::optional<std::string> whyReadOnly() override;
    // Writes every root back in the file's own version, encoding and code page, beside the
    // file. Throws AccessDenied when setReadOnly() or the file's format forbids it.
    std::unique_ptr<PendingSave> prepareSave() override;

private:
    explicit RegFileStore(const std::string& path) : MemoryStore(path) {}

    regfile::ExportFormat format_;
    std::vector<regfile::Diagnostic> diagnostics_;
};

// Whether the .reg file at `path` holds the key at `keyPath` ("HKEY_CLASSES_ROOT\.txt"), or why
// the file cannot be read.
Result<bool> regFileHoldsKey(const std::string& path, std::string_view keyPath);

} // namespace moxalo::registry
