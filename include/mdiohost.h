/*
 * mdiohost: host-side access to Ethernet PHY registers over MDIO through
 * FTDI-based USB adapters.
 *
 * This header is all a host program needs. It compiles as C11 and as C++;
 * the two functions whose signatures carry a C++ byte vector are declared
 * only for C++.
 *
 * Failures: the functions never let an exception out, except those marked
 * "THROWS" below. A failure is recorded instead: HW_Fail() becomes 1 and
 * stays 1 until the next HW_Initialize(); HW_Error() gives the text of the
 * most recent failure. Functions that return a value return 0 (or NULL) on
 * failure; where 0 is also a valid answer, ask HW_Fail().
 *
 * Threads: call the library from one thread at a time.
 *
 * Adapters are numbered from 0 in the order the library first saw them; an
 * index stays valid for the life of the process. A "qualified PHY id" (the
 * ZM_API_ functions) with bit 31 set carries an adapter index in bits 30..16
 * and a PHY address in bits 15..0; without bit 31 the default adapter is used.
 */
#ifndef MDIOHOST_H
#define MDIOHOST_H

#include <stdint.h>
#include <stdio.h>

#if defined(_WIN32)
#if defined(MDIOHOST_BUILDING)
#define MDIOHOST_API __declspec(dllexport)
#else
#define MDIOHOST_API __declspec(dllimport)
#endif
#else
#define MDIOHOST_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Failure state ---------------------------------------------------- */

/* 1 once any call has recorded a failure since the last HW_Initialize(). */
MDIOHOST_API uint8_t HW_Fail(void);
/* Text of the most recent failure, NULL before the first one. The pointer is
 * valid until the next failure is recorded. */
MDIOHOST_API const char* HW_Error(void);
/* Does nothing; kept for hosts that call it. */
MDIOHOST_API void HW_CallException(void);

/* ---- Initialisation and the adapter list ----------------------------- */

/* Clears the failure flag, turns every delegation on and Clause 45 over
 * Clause 22 off for every adapter, and prepares the result lists. Call it
 * first. Returns 1, or 0 on failure. */
MDIOHOST_API uint32_t HW_Initialize(void);
/* Looks for newly attached boards and returns the number of adapters known.
 * Adapters keep their index for the life of the process, also when unplugged. */
MDIOHOST_API uint32_t HW_NumberOfDevices(void);
/* Looks for new boards and returns the 64-slot list of adapter names; slots
 * past the adapter count are NULL. The strings stay valid for the life of
 * the process. */
MDIOHOST_API char** HW_DeviceList(void);
/* The name of adapter `index` (no new look-up), NULL past the end. */
MDIOHOST_API const char* HW_Device(uint32_t index);
MDIOHOST_API const char* HW_Device_FullName(uint32_t index);
/* Always 0. */
MDIOHOST_API uint32_t HW_Device_Revision(void);

/* ---- Open, close and defaults ----------------------------------------- */

/* Opens the adapter with this name (any letter case; waits up to about 4 s
 * for the board to appear) and makes it the default adapter. 1 or 0. */
MDIOHOST_API uint32_t HW_Open(const char* adapterName);
/* Opens adapter `index` and makes it the default adapter (also when the open
 * fails). Opening by index never looks for new boards. 1 or 0. */
MDIOHOST_API uint32_t HW_OpenAdapter(uint32_t index);
/* 1 or 0; closing an adapter that is not open returns 1. */
MDIOHOST_API uint32_t HW_CloseAdapter(uint32_t index);
/* Closes every adapter and makes adapter 0 the default. */
MDIOHOST_API void HW_Close(void);
/* The index of the adapter with this name; 0 on failure (ask HW_Fail). */
MDIOHOST_API uint32_t HW_DeviceNumber(const char* adapterName);
/* Not range-checked: a bad index fails at the next default-adapter call. */
MDIOHOST_API uint32_t HW_SetDefaultAdapter(uint32_t index);
MDIOHOST_API uint32_t HW_GetDefaultAdapter(void);
/* The access mode of an open adapter's engine: 1 when `value` is nonzero,
 * else 0 (the I2C-bridged engine then talks to 32-bit registers directly).
 * The second argument is not used. */
MDIOHOST_API void HW_SetDeviceParameters(uint32_t adapter, uint32_t unused, uint32_t value);
MDIOHOST_API uint32_t HW_GetDeviceParameters(uint32_t adapter, uint32_t unused);
/* The number of values the last block execute returned. */
MDIOHOST_API uint32_t HW_BlockReadQueueSize(void);

/* ---- Trace log (CSV: adapter,phy,op,mmd,address,value,) ---------------- */

MDIOHOST_API void HW_EnableLoggingStdout(void);
MDIOHOST_API void HW_EnableLoggingStderr(void);
/* The stream must come from the same C runtime as the library's (on Windows:
 * the UCRT/MSVCRT the DLL was built against); the library may close it when
 * HW_DisableLogging(nonzero) is called. NULL leaves tracing off. */
MDIOHOST_API void HW_EnableLogging(FILE* stream);
MDIOHOST_API void HW_DisableLogging(int32_t closeStream);
MDIOHOST_API void HW_LogMsg(const char* text);

/* ---- Delegations and Clause 45 over Clause 22 ------------------------- */
/* Per-adapter settings for adapter indexes 0..2999. A delegation type routes
 * some accesses through the PIF mailbox: 0 reads of the delegated MMD 31
 * registers, 1 writes to MMD 28, 2 reads of MMD 28, 3 accesses to MMD 11,
 * 4 accesses to MMD 27. All are off at load; HW_Initialize() turns every
 * delegation on and every Clause 45 over Clause 22 flag off. The status
 * functions return 0 on success and 100 on error, printing a line on
 * standard output for an invalid adapter or state. */

/* Turns every delegation type on for every adapter. */
MDIOHOST_API void HW_InitializeDelegations(void);
/* Sets delegation `type` (0..4) of `adapter` to `state` (0 or 1); 0 or 100. */
MDIOHOST_API uint32_t HW_SetDelegationType(uint32_t type, uint32_t adapter, uint32_t state);
/* The flag (0 or 1) of delegation `type` of `adapter`, or 100 on error. */
MDIOHOST_API uint32_t HW_GetDelegationType(uint32_t type, uint32_t adapter);
/* Turns Clause 45 over Clause 22 off for every adapter. */
MDIOHOST_API void HW_InitializeClause22(void);
/* Tunnels `adapter`'s Clause 45 accesses through Clause 22 registers 13 and 14
 * (an adapter index of 3000 or more is ignored). */
MDIOHOST_API void HW_EnableClause45OverClause22(uint32_t adapter);
/* Back to native Clause 45 frames for `adapter` (3000 or more is ignored). */
MDIOHOST_API void HW_DisableClause45OverClause22(uint32_t adapter);
/* 1 while Clause 45 over Clause 22 is on for `adapter`, else 0 (also for 3000
 * or more). */
MDIOHOST_API uint32_t HW_GetClause45OverClause22State(uint32_t adapter);

#ifdef __cplusplus
}
#endif

#endif /* MDIOHOST_H */
