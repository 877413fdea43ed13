// The one frame around every guarded export: run the work, and if anything
// is thrown record it as the failure and hand the host a neutral value.
// Nothing else happens on failure: no retry and no rollback.
#pragma once

#include <type_traits>
#include <utility>

#include "base/FailureState.h"

namespace mdiohost {

// Device-management exports record silently; operation exports also write
// the message to standard error.
enum class Echo : bool { Silent = false, ToStderr = true };

// guarded(echo, failureValue, work): the result of work(), or failureValue
// when it throws.
template <typename Result, typename Work>
Result guarded(Echo echo, Result failureValue, Work&& work) noexcept {
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        recordFailure(echo == Echo::ToStderr);
        return failureValue;
    }
}

// For exports without a result.
template <typename Work>
void guarded(Echo echo, Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
    } catch (...) {
        recordFailure(echo == Echo::ToStderr);
    }
}

}  // namespace mdiohost
