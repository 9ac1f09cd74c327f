#pragma once
// The registry a program reads through the registry functions, with what the functions keep of
// it: the open handles, the problems met, a count of changes, and what the shell keeps of it.
// A program's main owns one and mounts it; the functions answer from the mounted one.

#include "registry/Registry.h"

#include <any>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace moxalo::registry {

struct ApiState;

class RegistrySession {
public:
    explicit RegistrySession(std::shared_ptr<Registry> registry = nullptr);
    ~RegistrySession();
    RegistrySession(const RegistrySession&) = delete;
    RegistrySession& operator=(const RegistrySession&) = delete;

    // Reads `registry` from now on; every open handle is closed and the problems of the one
    // before are forgotten. The functions look at its sources' files before they answer (at
    // most every few milliseconds, and always before a write) and read them again when another
    // process has changed them; open handles then lead to the same keys in the new copy, or
    // answer ERROR_KEY_DELETED when their key is gone. A write locks the sources (see
    // SourceLock) and changes the files as they are then.
    void open(std::shared_ptr<Registry> registry);
    std::shared_ptr<Registry> registry() const;
    // Another process is known to have changed the sources just now (a registry editor the
    // program started has ended): the next call looks at the files, however soon it comes.
    void lookAtSourcesNextCall();
    // Goes up with every open and every change made through the registry functions, so that
    // what was read from the registry can be kept for as long as it stays the same.
    std::uint64_t changeCount() const;

    // The functions answer only with an error code; what went wrong behind one (a damaged key
    // or value, answered with ERROR_BADDB, or a change that could not be written) is kept for
    // the program to show. The message names the file, the key where it can, and what is wrong.
    std::string lastError() const; // of the last call, when it failed so, or ""
    // Every such message since the last takeProblems(), each once, in the order they first
    // happened; a long list ends with a count of those left out.
    std::vector<std::string> takeProblems();

    // What the shell keeps of this registry (see ShellInfo).
    std::any& shellCache();

    ApiState& state() { return *state_; }

private:
    std::unique_ptr<ApiState> state_;
};

// Makes `session` the one the registry functions answer from, until the mount ends; the one
// mounted before is mounted again then. With none mounted, every handle is invalid.
class MountedSession {
public:
    explicit MountedSession(RegistrySession& session);
    ~MountedSession();
    MountedSession(const MountedSession&) = delete;
    MountedSession& operator=(const MountedSession&) = delete;

private:
    RegistrySession* before_;
};

RegistrySession* mountedSession();

} // namespace moxalo::registry
