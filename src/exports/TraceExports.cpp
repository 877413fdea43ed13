// Exports that steer the trace log. They cannot fail and are not guarded.
#include "base/TraceLog.h"
#include "mdiohost.h"

extern "C" {

MDIOHOST_API void HW_EnableLoggingStdout(void) {
    mdiohost::trace::enable(stdout, false);
}

MDIOHOST_API void HW_EnableLoggingStderr(void) {
    mdiohost::trace::enable(stderr, false);
}

MDIOHOST_API void HW_EnableLogging(FILE* stream) {
    mdiohost::trace::enable(stream, true);
}

MDIOHOST_API void HW_DisableLogging(int32_t closeStream) {
    mdiohost::trace::disable(closeStream != 0);
}

MDIOHOST_API void HW_LogMsg(const char* text) {
    // A null text has nothing to say; printing it would be undefined.
    if (text != nullptr) mdiohost::trace::message(text);
}

}  // extern "C"
