// Exports that open and close adapters, keep the default adapter and its
// access mode, and tell how many values the last block execute returned.
// Opening and closing record failures silently; the others also echo them to
// standard error.
#include "base/Guard.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;

extern "C" {

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
