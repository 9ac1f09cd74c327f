#pragma once
// The HKEY_CLASSES_ROOT that the registry functions see: the stores of the chosen sources and
// the view over them. One is mounted at a time, as a machine has one registry.

#include "platform/registry/ClassesLayer.h"

#include <memory>
#include <string>
#include <vector>

namespace moxalo::registry {

class Registry {
public:
    // Takes the stores and the classes layers they hold, in order of precedence (user first).
    Registry(std::vector<std::unique_ptr<RegistryStore>> stores, std::vector<ClassesLayer> layers);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    RegistryStore& view() { return *view_; }
    NodeId rootKey() const { return root_; }

private:
    std::vector<std::unique_ptr<RegistryStore>> stores_;
    std::unique_ptr<RegistryStore> merged_;
    RegistryStore* view_ = nullptr;
    NodeId root_ = kNoNode;
};

// Makes `registry` the one the registry functions use; every open handle is closed.
void mountRegistry(std::shared_ptr<Registry> registry);
std::shared_ptr<Registry> mountedRegistry();
// The message of the last write that failed in a registry function (what and where), for the
// program to show; the functions themselves answer only with an error code.
std::string lastRegistryError();

} // namespace moxalo::registry
