// Exports that initialise the library, list adapters, open and close them,
// and keep the default adapter. Device-management calls record failures
// silently; the others also echo them to standard error.
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

MDIOHOST_API uint32_t HW_Open(const char* adapterName) {
    return guarded(Echo::Silent, 0u, [=] {
        // Opening makes the adapter the default one.
        return static_cast<uint32_t>(
            registry().openAdapter(registry().findAdapterByName(adapterName)));
    });
}

MDIOHOST_API uint32_t HW_OpenAdapter(uint32_t index) {
    return guarded(Echo::Silent, 0u,
                   [=] { return static_cast<uint32_t>(registry().openAdapter(index)); });
}

MDIOHOST_API uint32_t HW_CloseAdapter(uint32_t index) {
    return guarded(Echo::Silent, 0u,
                   [=] { return static_cast<uint32_t>(registry().closeAdapter(index)); });
}

MDIOHOST_API void HW_Close(void) {
    guarded(Echo::Silent, [] { registry().closeAll(); });
}

MDIOHOST_API uint32_t HW_DeviceNumber(const char* adapterName) {
    return guarded(Echo::ToStderr, 0u, [=] { return registry().findAdapterByName(adapterName); });
}

MDIOHOST_API uint32_t HW_SetDefaultAdapter(uint32_t index) {
    return guarded(Echo::ToStderr, 0u,
                   [=] { return static_cast<uint32_t>(registry().setDefaultAdapter(index)); });
}

MDIOHOST_API uint32_t HW_GetDefaultAdapter(void) {
    return guarded(Echo::ToStderr, 0u, [] { return registry().defaultAdapter; });
}

MDIOHOST_API void HW_SetDeviceParameters(uint32_t index, uint32_t /*unused*/, uint32_t value) {
    guarded(Echo::ToStderr, [=] { registry().setDeviceParameter(index, value); });
}

MDIOHOST_API uint32_t HW_GetDeviceParameters(uint32_t index, uint32_t /*unused*/) {
    return guarded(Echo::ToStderr, 0u, [=] { return registry().deviceParameter(index); });
}

MDIOHOST_API uint32_t HW_BlockReadQueueSize(void) {
    return guarded(Echo::ToStderr, 0u, [] { return registry().lastResultCount; });
}

}  // extern "C"
