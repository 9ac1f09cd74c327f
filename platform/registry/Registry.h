#pragma once
// The HKEY_CLASSES_ROOT that the registry functions see: the stores of the chosen sources and
// the view over them. One is mounted at a time, as a machine has one registry.

#include "platform/registry/ClassesLayer.h"
#include "platform/registry/SourceChoice.h"
#include "platform/registry/SourceStamp.h"

#include <cstdint>
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
    // The classes layers under the view, in order of precedence: the user's first.
    const std::vector<ClassesLayer>& layers() const { return layers_; }

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
    SourceChoice choice_;
    SourceStamps stamps_;
};

// Makes `registry` the one the registry functions use; every open handle is closed and the
// problems of the one before are forgotten. The functions look at its sources' files before
// they answer (at most every few milliseconds, and always before a write) and read them again
// when another process has changed them; open handles then lead to the same keys in the new
// copy, or answer ERROR_KEY_DELETED when their key is gone. A write locks the sources (see
// SourceLock) and changes the files as they are then.
void mountRegistry(std::shared_ptr<Registry> registry);
std::shared_ptr<Registry> mountedRegistry();
// Another process is known to have changed the sources just now (a registry editor the program
// started has ended): the next call looks at the files, however soon it comes.
void lookAtSourcesNextCall();
// Goes up with every mount and every change made through the registry functions, so that
// what was read from the registry can be kept for as long as it stays the same.
std::uint64_t registryChangeCount();
// The functions answer only with an error code; what went wrong behind one (a damaged key or
// value, answered with ERROR_BADDB, or a change that could not be written) is kept for the
// program to show. The message names the file, the key where it can, and what is wrong.
std::string lastRegistryError(); // of the last call, when it failed so, or ""
// Every such message since the last takeRegistryProblems(), each once, in the order they first
// happened; a long list ends with a count of those left out.
std::vector<std::string> takeRegistryProblems();

} // namespace moxalo::registry
