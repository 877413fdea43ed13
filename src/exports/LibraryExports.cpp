// The extension that tells a host which library it loaded. It cannot fail,
// so it is not guarded.
#include "mdiohost_ext.h"

extern "C" {

MDIOHOST_API const char* mdiohost_version(void) {
    return MDIOHOST_VERSION_STRING;
}

}  // extern "C"
