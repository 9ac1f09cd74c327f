#pragma once
// A Wine registry file (system.reg or user.reg of a prefix) as a store. Changes stay in memory
// until saved, which writes the file back as wineserver would: keys that were not changed
// come back byte for byte, changed ones with the time of their change.

#include "registry/ClassesLayer.h"
#include "registry/MemoryStore.h"
#include "registry/Registry.h"
#include "registry/wine/WineRegistryFile.h"

#include <functional>
#include <memory>

namespace moxalo::registry {

class WineStore : public MemoryStore {
public:
    // Throws StoreError naming the file, for one that cannot be read or that wineserver would
    // refuse whole. Lines wineserver would skip are skipped, and reported in diagnostics().
    static std::unique_ptr<WineStore> open(const std::string& path);

    const std::vector<WineDiagnostic>& diagnostics() const { return diagnostics_; }
    // The diagnostics as "<file>: line N: <what>".
    void appendWarnings(std::vector<std::string>& warnings) const;

    // Software\Classes of the file. A file without one (a fresh user.reg) gets it in memory;
    // it is written only once something is put into it.
    NodeId classesKey();

    // Whether this is a prefix's user.reg (HKEY_CURRENT_USER) rather than its system.reg
    // (HKEY_LOCAL_MACHINE), told by the file's name as wineserver names them.
    bool holdsCurrentUser() const;
    // Where the file's root sits beside HKEY_CLASSES_ROOT: user.reg's root is the user's
    // HKEY_CURRENT_USER, system.reg's Software key the machine's; either marks roots as Wine's.
    void addRootsTo(UserRoots& roots);

    // Targets in this file: "\Registry\Machine\..." in system.reg,
    // "\Registry\User\<user>\..." in user.reg.
    std::optional<NodeId> linkTarget(NodeId key) override;
    // As the key's section gives it; nothing for a key the file holds no section of (one that
    // is there only for its subkeys), to which wineserver gives the time it loads the file.
    std::optional<std::uint64_t> lastWritten(NodeId key) override;
    std::optional<std::string> whyReadOnly() override;
    NodeId createKey(NodeId parent, std::string_view name) override;
    void setValue(NodeId key, std::string_view name, const RegValue& value) override;
    void deleteValue(NodeId key, std::string_view name) override;
    void deleteKey(NodeId parent, std::string_view name) override;
    std::unique_ptr<PendingSave> prepareSave() override;

    // The time a change is stamped with, as a FILETIME; tests fix it.
    void setClock(std::function<std::uint64_t()> now) { clock_ = std::move(now); }

private:
    explicit WineStore(const std::string& path);
    std::string prefixFolder() const;
    // Gives the key the time of its change, as wineserver does for every change to a key.
    void touch(NodeId key);

    WineFileLayout layout_;
    std::vector<WineDiagnostic> diagnostics_;
    std::function<std::uint64_t()> clock_;
    bool recording_ = true; // off while the file is read and while classesKey() fills in
};

// Why a Wine registry file cannot be written now: the file or its folder, or the prefix's
// wineserver running.
std::optional<std::string> whyWineFileReadOnly(const std::string& file);

// The classes of a prefix folder: user.reg's (user = true, first, as they win) and
// system.reg's. A prefix without user.reg gives the machine's only. The stores go to `owned`,
// their roots to `roots` (see addRootsTo), the files' diagnostics to `warnings`, as
// "<file>: line N: <what>".
std::vector<ClassesLayer> openWinePrefix(const std::string& folder,
                                         std::vector<std::unique_ptr<RegistryStore>>& owned,
                                         UserRoots& roots, std::vector<std::string>& warnings);

} // namespace moxalo::registry
