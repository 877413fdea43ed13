// Exports that report the failure state. They are not guarded: they cannot fail.
#include "base/FailureState.h"
#include "mdiohost.h"

extern "C" {

MDIOHOST_API uint8_t HW_Fail(void) {
    return mdiohost::failureFlag() ? 1 : 0;
}

MDIOHOST_API const char* HW_Error(void) {
    return mdiohost::errorMessage();
}

MDIOHOST_API void HW_CallException(void) {}

}  // extern "C"
