/*
 * mdiohost extensions: functions beyond the classic interface of mdiohost.h.
 *
 * Everything here has C linkage and the prefix mdiohost_. None of these
 * functions lets an exception out; a failure is recorded exactly like one of
 * the classic functions (HW_Fail() and HW_Error()). Calling none of them
 * leaves every classic function behaving as before.
 */
#ifndef MDIOHOST_EXT_H
#define MDIOHOST_EXT_H

#include "mdiohost.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Library ---------------------------------------------------------- */

/* The version of the loaded library, "MAJOR.MINOR.PATCH". A host built
 * against one header may run with a newer library: this is the library's. */
MDIOHOST_API const char* mdiohost_version(void);

/* ---- Failure state ---------------------------------------------------- */

/* Register and board functions print "Error: <text>" on standard error when
 * they record a failure. A host that reports failures itself (a tool, a
 * language binding) turns that echo off with 0 and on again with 1; it is on
 * when the library loads. The failure is recorded either way. */
MDIOHOST_API void mdiohost_set_error_echo(int enabled);
/* 1 while failures are echoed on standard error, else 0. */
MDIOHOST_API int mdiohost_error_echo(void);

/* Clears the failure flag that HW_Fail() reports, and nothing else: the
 * adapters, their settings and queues, and the delegation tables stay as
 * they are (HW_Initialize() would reset the tables). HW_Error() keeps the
 * last text until the next failure. Lets a host tell one call's failure
 * from the next without reinitialising. */
MDIOHOST_API void mdiohost_clear_failure(void);

/* ---- Driver ----------------------------------------------------------- */

/* The path of the D2XX driver library the adapters are reached through:
 * the file MDIOHOST_D2XX names, else the vendor's driver, else (on Linux)
 * the libftdi1 driver installed beside the library. The first call loads
 * the driver if nothing has yet. "" when no driver library could be loaded.
 * The text stays valid for the life of the process. */
MDIOHOST_API const char* mdiohost_driver_path(void);

#ifdef __cplusplus
}
#endif

#endif /* MDIOHOST_EXT_H */
