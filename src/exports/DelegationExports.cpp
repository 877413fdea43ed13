// Exports that set and read the delegation and Clause 45 over Clause 22
// tables. They cannot fail in a way the guard would record: bad arguments are
// reported on standard output and answered with kDelegationError.
#include <cstdint>
#include <cstdio>

#include "chip/DelegationTables.h"
#include "mdiohost.h"

namespace {

constexpr std::uint32_t kDelegationOk = 0;
constexpr std::uint32_t kDelegationError = 100;
constexpr std::uint32_t kHighestState = 1;

// The messages show their argument as a signed 32-bit number (%d):
// adapter 4294967295 prints as -1.
int asSigned(std::uint32_t value) {
    return static_cast<int>(static_cast<std::int32_t>(value));
}

bool adapterHasSlot(std::uint32_t adapter) {
    if (adapter < mdiohost::chip::kAdapterSlots) return true;
    std::printf("Invalid adapter number %d\n", asSigned(adapter));
    std::fflush(stdout);
    return false;
}

}  // namespace

extern "C" {

MDIOHOST_API void HW_InitializeDelegations(void) {
    mdiohost::chip::initializeDelegations();
}

MDIOHOST_API uint32_t HW_SetDelegationType(uint32_t type, uint32_t adapter, uint32_t state) {
    if (!adapterHasSlot(adapter)) return kDelegationError;
    if (state > kHighestState) {
        std::printf("Invalid state %d\n", asSigned(state));
        std::fflush(stdout);
        return kDelegationError;
    }
    if (type >= mdiohost::chip::kDelegationTypes) return kDelegationError;
    mdiohost::chip::setDelegationFlag(type, adapter, state);
    return kDelegationOk;
}

MDIOHOST_API uint32_t HW_GetDelegationType(uint32_t type, uint32_t adapter) {
    if (!adapterHasSlot(adapter)) return kDelegationError;
    if (type >= mdiohost::chip::kDelegationTypes) return kDelegationError;
    return mdiohost::chip::delegationFlag(type, adapter);
}

MDIOHOST_API void HW_InitializeClause22(void) {
    mdiohost::chip::initializeClause22();
}

MDIOHOST_API void HW_EnableClause45OverClause22(uint32_t adapter) {
    mdiohost::chip::setClause45OverClause22Flag(adapter, 1);
}

MDIOHOST_API void HW_DisableClause45OverClause22(uint32_t adapter) {
    mdiohost::chip::setClause45OverClause22Flag(adapter, 0);
}

MDIOHOST_API uint32_t HW_GetClause45OverClause22State(uint32_t adapter) {
    return mdiohost::chip::clause45OverClause22Flag(adapter);
}

}  // extern "C"
