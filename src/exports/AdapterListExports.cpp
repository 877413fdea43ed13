// Exports that initialise the library and list the adapters. They record
// failures silently, as device management does.
#include "base/FailureState.h"
#include "base/Guard.h"
#include "chip/DelegationTables.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;

extern "C" {

MDIOHOST_API uint32_t HW_Initialize(void) {
    return guarded(Echo::Silent, 0u, [] {
        mdiohost::clearFailureFlag();
        mdiohost::chip::initializeDelegations();
        mdiohost::chip::initializeClause22();
        return static_cast<uint32_t>(registry().initializeTables());
    });
}

MDIOHOST_API uint32_t HW_NumberOfDevices(void) {
    return guarded(Echo::Silent, 0u, [] {
        registry().enumerateDevices();
        return registry().adapterCount();
    });
}

MDIOHOST_API char** HW_DeviceList(void) {
    return guarded(Echo::Silent, static_cast<char**>(nullptr), [] {
        registry().enumerateDevices();
        return registry().deviceNameList();
    });
}

MDIOHOST_API const char* HW_Device(uint32_t index) {
    return guarded(Echo::Silent, static_cast<const char*>(nullptr),
                   [=] { return registry().deviceName(index); });
}

MDIOHOST_API const char* HW_Device_FullName(uint32_t index) {
    return guarded(Echo::Silent, static_cast<const char*>(nullptr),
                   [=] { return registry().deviceName(index); });
}

MDIOHOST_API uint32_t HW_Device_Revision(void) {
    return 0;
}

}  // extern "C"
