#pragma once
// What the registry functions keep of a session's registry; only they and the session see it.

#include "platform/advapi/RegistrySession.h"
#include "registry/WinTypes.h"

#include <any>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace moxalo::registry {

struct OpenKey {
    NodeId node = kNoNode;
    std::string path; // from the root, "\"-separated, for finding handles a delete affects
    bool deleted = false;
};

struct Problems {
    std::vector<std::string> messages;
    std::unordered_set<std::string> seen;
    std::size_t leftOut = 0;
};

// The program calls the functions from its one thread; the mutex only keeps a stray second
// thread from corrupting the table.
struct ApiState {
    mutable std::mutex lock;
    std::shared_ptr<Registry> registry;
    std::unordered_map<HKEY, OpenKey> handles;
    HKEY nextHandle = 0x100;
    std::string lastError;
    Problems problems;
    std::uint64_t changes = 0;
    std::int64_t lastLook = 0; // nowNs() of the last look at the sources' files
    std::any shellCache;
};

// A clock read at every call of a scan's hundreds of thousands.
std::int64_t nowNs();

} // namespace moxalo::registry
