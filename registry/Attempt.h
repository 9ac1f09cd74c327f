#pragma once
// Where the engine meets code outside it. Inside, a store throws StoreError (AccessDenied for a
// refusal) where a file is damaged or a write refused; `attempt` gives that back as a failure,
// so that nothing the engine throws leaves it. Running out of memory is not a failure a result
// can carry, and still throws.

#include "base/Result.h"
#include "registry/RegistryStore.h"

#include <exception>
#include <new>
#include <type_traits>
#include <utility>

namespace moxalo::registry {

template <typename Work> auto attempt(Work&& work) -> Result<std::invoke_result_t<Work>> {
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Work>>) {
            work();
            return {};
        } else {
            return work();
        }
    } catch (const AccessDenied& e) {
        return fail(e.what(), true);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

// The other way, inside the engine: a failure of what it calls (a file that cannot be written)
// becomes StoreError, as any failure of a store is.
template <typename T> T orStoreError(Result<T> result) {
    if (!result)
        throw StoreError(result.error());
    return std::move(*result);
}

inline void orStoreError(const Result<>& result) {
    if (!result)
        throw StoreError(result.error());
}

} // namespace moxalo::registry
