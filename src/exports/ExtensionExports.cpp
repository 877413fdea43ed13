// The extension functions of the library itself: its version and the
// failure state's switches. None of them can fail, so none is guarded.
#include "base/FailureState.h"
#include "mdiohost_ext.h"

extern "C" {

MDIOHOST_API const char* mdiohost_version(void) {
    return MDIOHOST_VERSION_STRING;
}

MDIOHOST_API void mdiohost_set_error_echo(int enabled) {
    mdiohost::setErrorEcho(enabled != 0);
}

MDIOHOST_API int mdiohost_error_echo(void) {
    return mdiohost::errorEcho() ? 1 : 0;
}

MDIOHOST_API void mdiohost_clear_failure(void) {
    mdiohost::clearFailureFlag();
}

}  // extern "C"
