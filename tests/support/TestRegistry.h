#pragma once
// Building small registries in tests and mounting them for the registry functions.

#include "platform/advapi/RegistrySession.h"
#include "registry/MemoryStore.h"
#include "registry/Registry.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace moxalo::testing {

// A REG_SZ value with its terminating NUL, as regedit stores one.
registry::RegValue sz(const std::string& text);
registry::RegValue expandSz(const std::string& text);
registry::RegValue dword(std::uint32_t n);
// A string value stored without a terminating NUL.
registry::RegValue unterminatedSz(const std::string& text);

// Sets `value` under `name` of the key at `path` (created as needed).
void put(registry::MemoryStore& store, const std::string& path, const std::string& name,
         const registry::RegValue& value);

// Opens `registry` in the test session, as a program's main opens the chosen one.
void mountRegistry(std::shared_ptr<registry::Registry> registry);
std::vector<std::string> takeRegistryProblems();
std::string lastRegistryError();

// Mounts the store as the whole of HKEY_CLASSES_ROOT; returns it for further changes.
registry::MemoryStore& mountMemory(std::unique_ptr<registry::MemoryStore> store);
// Mounts the user's classes laid over the machine's, as HKEY_CLASSES_ROOT.
void mountLayers(std::unique_ptr<registry::MemoryStore> user,
                 std::unique_ptr<registry::MemoryStore> machine);
// Every value name of the key, in order.
std::vector<std::string> valueNames(registry::RegistryStore& store, registry::NodeId key);
// The subkeys of a key below HKEY_CLASSES_ROOT ("" for the root) as RegEnumKeyExA names them,
// or {"(not opened)"}.
std::vector<std::string> subkeysOf(const std::string& path);

// A temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

} // namespace moxalo::testing
