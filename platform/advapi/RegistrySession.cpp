#include "platform/advapi/RegistrySession.h"

#include "platform/advapi/ApiState.h"

#include <ctime>
#include <limits>

namespace moxalo::registry {

namespace {

RegistrySession* mounted = nullptr;

} // namespace

// The coarse clock costs a tenth of the precise one, and its few milliseconds' grain is far
// below how often the sources' files are looked at.
std::int64_t nowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

RegistrySession::RegistrySession(std::shared_ptr<Registry> registry)
    : state_(std::make_unique<ApiState>()) {
    if (registry)
        open(std::move(registry));
}

RegistrySession::~RegistrySession() = default;

void RegistrySession::open(std::shared_ptr<Registry> registry) {
    ApiState& s = *state_;
    std::lock_guard guard(s.lock);
    s.handles.clear();
    s.problems = {};
    s.lastError.clear();
    s.shellCache.reset();
    s.registry = std::move(registry);
    s.lastLook = nowNs();
    ++s.changes;
}

std::shared_ptr<Registry> RegistrySession::registry() const {
    std::lock_guard guard(state_->lock);
    return state_->registry;
}

void RegistrySession::lookAtSourcesNextCall() {
    std::lock_guard guard(state_->lock);
    state_->lastLook = std::numeric_limits<std::int64_t>::min() / 2;
}

std::uint64_t RegistrySession::changeCount() const {
    std::lock_guard guard(state_->lock);
    return state_->changes;
}

std::string RegistrySession::lastError() const {
    std::lock_guard guard(state_->lock);
    return state_->lastError;
}

std::vector<std::string> RegistrySession::takeProblems() {
    std::lock_guard guard(state_->lock);
    Problems taken = std::move(state_->problems);
    state_->problems = {};
    if (taken.leftOut > 0)
        taken.messages.push_back(std::to_string(taken.leftOut) + " more problems");
    return std::move(taken.messages);
}

std::any& RegistrySession::shellCache() {
    return state_->shellCache;
}

MountedSession::MountedSession(RegistrySession& session) : before_(mounted) {
    mounted = &session;
}

MountedSession::~MountedSession() {
    mounted = before_;
}

RegistrySession* mountedSession() {
    return mounted;
}

} // namespace moxalo::registry
