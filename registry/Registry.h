#pragma once
// The HKEY_CLASSES_ROOT that the registry functions see: the stores of the chosen sources and
// the view over them.

#include "registry/ClassesLayer.h"
#include "registry/SourceChoice.h"
#include "registry/SourceStamp.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace moxalo::registry {

// A key of one of the stores, as found by a path from a root.
struct KeyRef {
    RegistryStore* store = nullptr;
    NodeId key = kNoNode;
    explicit operator bool() const { return store != nullptr && key != kNoNode; }
};

// The roots beside HKEY_CLASSES_ROOT that say what really opens a file for the user: the
// user's HKEY_CURRENT_USER (an NTUSER.DAT, a Wine user.reg, a .reg file's HKEY_CURRENT_USER)
// and the machine's HKEY_LOCAL_MACHINE\Software, each absent when no source holds it.
struct UserRoots {
    KeyRef currentUser;
    KeyRef machineSoftware;
    // Read from a Wine prefix, whose programs see the machine's classes only.
    bool wine = false;
};

class Registry {
public:
    // Takes the stores and the classes layers they hold, in order of precedence (user first).
    Registry(std::vector<std::unique_ptr<RegistryStore>> stores, std::vector<ClassesLayer> layers);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    RegistryStore& view() { return *view_; }
    NodeId rootKey() const { return root_; }
    // The classes layers under the view, in order of precedence: the user's first.
    const std::vector<ClassesLayer>& layers() const { return layers_; }
    const UserRoots& roots() const { return roots_; }
    void setRoots(UserRoots roots) { roots_ = roots; }

    // The sources it was read from, and how their files looked then: a registry whose files
    // have changed since is read again. A registry built in memory has none.
    void setSources(SourceChoice choice, SourceStamps stamps);
    const SourceChoice& choice() const { return choice_; }
    SourceStamps& stamps() { return stamps_; }

private:
    std::vector<std::unique_ptr<RegistryStore>> stores_;
    std::vector<ClassesLayer> layers_;
    std::unique_ptr<RegistryStore> merged_;
    RegistryStore* view_ = nullptr;
    NodeId root_ = kNoNode;
    UserRoots roots_;
    SourceChoice choice_;
    SourceStamps stamps_;
};

} // namespace moxalo::registry
