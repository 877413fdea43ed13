// The extension switches of the failure state: the echo of failures to
// standard error, and clearing the flag. None of them can fail, so none is
// guarded.
#include "base/FailureState.h"
#include "mdiohost_ext.h"

extern "C" {

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
