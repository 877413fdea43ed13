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
 * Windows: mdiohost.dll is a 64-bit DLL built with mingw-w64; it needs
 * FTD2XX.dll, the vendor's D2XX driver library, next to the program or on
 * the DLL search path (MDIOHOST_D2XX names another file). Once loaded it
 * stays loaded until the process ends: FreeLibrary does not unload it, so
 * that no LED thread is ever joined under the loader lock. Close adapters
 * before the process ends to leave the boards idle. Environment variables are
 * read from the process environment, so values a host sets at run time
 * (SetEnvironmentVariable, _putenv of any C runtime) are seen.
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

/* The version of this header and of the library it ships with. The build
 * reads the three numbers from here: this is the one place they are written.
 * mdiohost_version() (mdiohost_ext.h) gives the version of the library that
 * is actually loaded. The soname's number follows MDIOHOST_VERSION_MAJOR. */
#define MDIOHOST_VERSION_MAJOR 0
#define MDIOHOST_VERSION_MINOR 1
#define MDIOHOST_VERSION_PATCH 0
#define MDIOHOST_VERSION_TEXT_(number) #number
#define MDIOHOST_VERSION_TEXT(number) MDIOHOST_VERSION_TEXT_(number)
/* "MAJOR.MINOR.PATCH" */
#define MDIOHOST_VERSION_STRING                                                  \
    MDIOHOST_VERSION_TEXT(MDIOHOST_VERSION_MAJOR)                                \
    "." MDIOHOST_VERSION_TEXT(MDIOHOST_VERSION_MINOR) "." MDIOHOST_VERSION_TEXT( \
        MDIOHOST_VERSION_PATCH)

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
/* The stream must come from the same C runtime as the library's. On Windows
 * that is msvcrt.dll, the runtime of mingw-w64 builds: a FILE* from a host
 * built with Visual C++ (the UCRT) must not be passed; such hosts use
 * HW_EnableLoggingStdout or HW_EnableLoggingStderr. The library may close
 * the stream when HW_DisableLogging(nonzero) is called. NULL leaves tracing
 * off. */
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

/* ---- Single 16-bit register access ------------------------------------ */
/* MMD 10 (memory window), 11 (TGE register blocks), 27 (SERDES control
 * registers) and 28 (paged MMD) are not plain MDIO devices: their accesses
 * take the chip's indirect paths, and delegations can send some accesses
 * through the PIF mailbox. Every access is traced when tracing is on
 * (Clause 22 never). A failed read returns 0 and records the failure. */

/* Register `address` of `mmd` on `phy` of `adapter`. MMD 10 and 28 read 0
 * without access; MMD 11 and 27 follow delegation types 3 and 4. */
MDIOHOST_API uint32_t HW_Read(uint32_t adapter, uint32_t phy, uint32_t mmd, uint32_t address);
/* As HW_Read; writes to MMD 10 and 28 do nothing. */
MDIOHOST_API void HW_Write(uint32_t adapter, uint32_t phy, uint32_t mmd, uint32_t address,
                           uint32_t value);
/* On the default adapter, or the adapter in a qualified PHY id; honours the
 * default adapter's Clause 45 over Clause 22 flag and every delegation. */
MDIOHOST_API uint32_t ZM_API_MDIO_Read(uint32_t phy, uint32_t mmd, uint32_t address);
MDIOHOST_API void ZM_API_MDIO_Write(uint32_t phy, uint32_t mmd, uint32_t address, uint32_t value);
/* ZM_API_MDIO_Read/Write with the default PHY id. */
MDIOHOST_API uint32_t ZM_API_MDIO_Read_Default_PHY_ID(uint32_t mmd, uint32_t address);
MDIOHOST_API uint32_t HW_Read_Default_PHY_ID(uint32_t mmd, uint32_t address);
MDIOHOST_API void ZM_API_MDIO_Write_Default_PHY_ID(uint32_t mmd, uint32_t address, uint32_t value);
MDIOHOST_API void HW_Write_Default_PHY_ID(uint32_t mmd, uint32_t address, uint32_t value);
/* ZM_API_MDIO_Write of phys[i] for i = 0..count-1, entry i on adapter 0, 1,
 * 4, 5, ... (made the default adapter in turn; adapters 2 and 3 are
 * skipped). A NULL array with a nonzero count is a recorded failure. */
MDIOHOST_API void ZM_API_MDIO_Write_Multi(const uint32_t* phys, uint32_t count, uint32_t mmd,
                                          uint32_t address, uint32_t value);
/* Clause 22 register 0..31, never traced. */
MDIOHOST_API uint32_t HW_Read_C22(uint32_t adapter, uint32_t phy, uint32_t registerAddress);
MDIOHOST_API void HW_Write_C22(uint32_t adapter, uint32_t phy, uint32_t registerAddress,
                               uint32_t value);
MDIOHOST_API uint32_t ZM_API_MDIO_Read_C22(uint32_t phy, uint32_t registerAddress);
MDIOHOST_API void ZM_API_MDIO_Write_C22(uint32_t phy, uint32_t registerAddress, uint32_t value);
/* The PHY id of the _Default_PHY_ID functions; 0 at load, set unchecked. */
MDIOHOST_API uint32_t HW_GetDefault_PHY_ID(void);
MDIOHOST_API void HW_SetDefault_PHY_ID(uint32_t phy);

/* ---- 32-bit chip registers -------------------------------------------- */

/* Guarded: a failure is recorded and a read returns 0. */
MDIOHOST_API void HW_Write32(uint32_t adapter, uint32_t phy, uint32_t address, uint32_t value);
MDIOHOST_API uint32_t HW_Read32(uint32_t adapter, uint32_t phy, uint32_t address);
/* The chip's current or pre-incremented address; not traced. */
MDIOHOST_API uint32_t HW_Read32PreIncrementAddress(uint32_t adapter, uint32_t phy);
MDIOHOST_API uint32_t HW_Read32CurrentAddress(uint32_t adapter, uint32_t phy);
MDIOHOST_API void HW_Write32PreIncrementAddress(uint32_t adapter, uint32_t phy, uint32_t value);
MDIOHOST_API void HW_Write32CurrentAddress(uint32_t adapter, uint32_t phy, uint32_t value);

/* THROWS: the functions below are not guarded. A failure (no such adapter,
 * invalid PHY, queued reads pending, USB error) is thrown as a C++
 * std::runtime_error to the caller and not recorded. A C host must not call
 * them; a C++ host calls them inside try/catch. */
/* THROWS. On the default adapter or the adapter in a qualified PHY id. */
MDIOHOST_API void HW_API_Write32(uint32_t phy, uint32_t address, uint32_t value);
/* THROWS. */
MDIOHOST_API uint32_t HW_API_Read32(uint32_t phy, uint32_t address);
/* THROWS. Queue a 32-bit read or write; collect with a block execute. */
MDIOHOST_API void HW_BlockRead32Adapter(uint32_t adapter, uint32_t phy, uint32_t address);
/* THROWS. */
MDIOHOST_API void HW_BlockWrite32Adapter(uint32_t adapter, uint32_t phy, uint32_t address,
                                         uint32_t value);
/* THROWS. Default adapter. */
MDIOHOST_API void HW_BlockRead32(uint32_t phy, uint32_t address);
/* THROWS. Default adapter. */
MDIOHOST_API void HW_BlockWrite32(uint32_t phy, uint32_t address, uint32_t value);
/* THROWS. Same as HW_BlockRead32. */
MDIOHOST_API void ZM_API_BlockRead32(uint32_t phy, uint32_t address);
/* THROWS. Same as HW_BlockWrite32. */
MDIOHOST_API void ZM_API_BlockWrite32(uint32_t phy, uint32_t address, uint32_t value);

/* THROWS, always: 8-, 16- and 64-bit widths are not supported. Each call
 * throws std::runtime_error ("Error: ...() is not supported.") and records
 * nothing. A C host must not call them. */
/* THROWS */
MDIOHOST_API void HW_API_Write8(uint32_t phy, uint32_t address, uint8_t value);
/* THROWS */
MDIOHOST_API void HW_API_Write16(uint32_t phy, uint32_t address, uint16_t value);
/* THROWS */
MDIOHOST_API uint8_t HW_API_Read8(uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API uint16_t HW_API_Read16(uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void HW_API_Write64(uint32_t phy, uint32_t address, uint64_t value);
/* THROWS */
MDIOHOST_API uint64_t HW_API_Read64(uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void HW_Write8(uint32_t adapter, uint32_t phy, uint32_t address, uint8_t value);
/* THROWS */
MDIOHOST_API void HW_Write16(uint32_t adapter, uint32_t phy, uint32_t address, uint16_t value);
/* THROWS */
MDIOHOST_API uint8_t HW_Read8(uint32_t adapter, uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API uint16_t HW_Read16(uint32_t adapter, uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void HW_Write64(uint32_t adapter, uint32_t phy, uint32_t address, uint64_t value);
/* THROWS */
MDIOHOST_API uint64_t HW_Read64(uint32_t adapter, uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void HW_BlockRead64Adapter(uint32_t adapter, uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void HW_BlockWrite64Adapter(uint32_t adapter, uint32_t phy, uint32_t address,
                                         uint64_t value);
/* THROWS */
MDIOHOST_API void HW_BlockRead64(uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void HW_BlockWrite64(uint32_t phy, uint32_t address, uint64_t value);
/* THROWS */
MDIOHOST_API void ZM_API_BlockRead64(uint32_t phy, uint32_t address);
/* THROWS */
MDIOHOST_API void ZM_API_BlockWrite64(uint32_t phy, uint32_t address, uint64_t value);

/* ---- Block operations -------------------------------------------------- */
/* Queue 16-bit reads and writes for one PHY, then send them in one USB
 * exchange with an execute. Queuing MMD 10 or 28 does nothing. A block write
 * to MMD 11 or 27 is not queued: the PHY's queue is executed (its values are
 * dropped) and the write made at once through the chip's bridge or, when
 * delegated, the PIF mailbox. */

MDIOHOST_API void HW_BlockRead(uint32_t phy, uint32_t mmd, uint32_t address);
MDIOHOST_API void HW_BlockRead_Default_PHY_ID(uint32_t mmd, uint32_t address);
MDIOHOST_API void HW_BlockReadAdapter(uint32_t adapter, uint32_t phy, uint32_t mmd,
                                      uint32_t address);
MDIOHOST_API void HW_BlockWrite(uint32_t phy, uint32_t mmd, uint32_t address, uint32_t value);
MDIOHOST_API void HW_BlockWrite_Default_PHY_ID(uint32_t mmd, uint32_t address, uint32_t value);
MDIOHOST_API void HW_BlockWriteAdapter(uint32_t adapter, uint32_t phy, uint32_t mmd,
                                       uint32_t address, uint32_t value);
/* Qualified PHY ids; MMD 11 and 27 are queued as plain registers. */
MDIOHOST_API void ZM_API_MDIO_BlockRead(uint32_t phy, uint32_t mmd, uint32_t address);
MDIOHOST_API void ZM_API_MDIO_BlockWrite(uint32_t phy, uint32_t mmd, uint32_t address,
                                         uint32_t value);
MDIOHOST_API void ZM_API_MDIO_BlockRead_Default_PHY_ID(uint32_t mmd, uint32_t address);
MDIOHOST_API void ZM_API_MDIO_BlockWrite_Default_PHY_ID(uint32_t mmd, uint32_t address,
                                                        uint32_t value);
/* Execute the PHY's queue. The result is the address of the first of
 * HW_BlockReadQueueSize() uint32_t values read, in queue order (valid until
 * the next execute for that PHY), or 0 when nothing was read or it failed. */
MDIOHOST_API uint64_t HW_BlockOperationExecute(uint32_t phy);
MDIOHOST_API uint64_t HW_BlockOperationExecuteAdapter(uint32_t adapter, uint32_t phy);
/* As above, and one AF trace record per value. */
MDIOHOST_API uint64_t HW_BlockOperationExecuteAdapter_C22(uint32_t adapter, uint32_t phy);
MDIOHOST_API uint64_t HW_BlockOperationExecute_C22(uint32_t phy);
/* A qualified PHY id executes on its adapter; otherwise HW_BlockOperationExecute,
 * or its _C22 form while the default adapter uses Clause 45 over Clause 22. */
MDIOHOST_API uint64_t ZM_API_MDIO_BlockOperationExecute(uint32_t phy);
/* 1. */
MDIOHOST_API uint32_t ZM_API_MDIO_SupportsBlockOperations(void);
/* 65535. */
MDIOHOST_API uint32_t ZM_API_MDIO_MaxBlockOperations(void);

/* ---- Board services ---------------------------------------------------- */
/* Board registers exist on the older board family only; on a K8 adapter these
 * fail. Only the low 8 bits of the register and the value are used. */

/* Reads board register `boardRegister` of the default adapter; 0 on failure. */
MDIOHOST_API uint32_t Board_Read(uint32_t boardRegister);
MDIOHOST_API void Board_Write(uint32_t boardRegister, uint32_t value);
MDIOHOST_API uint32_t Board_ReadAdapter(uint32_t adapter, uint32_t boardRegister);
MDIOHOST_API void Board_WriteAdapter(uint32_t adapter, uint32_t boardRegister, uint32_t value);

/* GPIO pins of a K8 board without status LEDs: pins 0..7 are ADBUS0..7, pins
 * 8..15 ACBUS0..7. Only the pins the board's layout makes outputs (3..15) can
 * be set; a level of 0 drives low, anything else high. Both return 1 on
 * success and 0 on failure, and 0 without a failure on a board that has no
 * GPIO pins (a board with status LEDs, or of the older family). Reading
 * stores 0 or 1 in *level; a NULL level is a failure. */
MDIOHOST_API uint32_t HW_GpioSetAdapter(uint32_t adapter, uint8_t pin, uint8_t level);
MDIOHOST_API uint32_t HW_GpioGetAdapter(uint32_t adapter, uint8_t pin, uint8_t* level);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
#include <vector>

/* Raw I2C on a K8 adapter whose protocol is I2C, exported under these C++
 * names: the host must use the same standard library (the vector's layout
 * crosses the boundary). `address` is the 7-bit device address (low 8 bits
 * used). On any other adapter nothing happens and the read returns no byte.
 *
 * i2c_WriteAdapter: one write transaction of `bytes` (at most 65535).
 * i2c_ReadAdapter: writes the `registerLength` low bytes of `registerAddress`
 * (least significant first, at most 4; 0 writes the address alone), then
 * reads `count` bytes (at most 65535) in a second transaction. An empty
 * vector on failure. */
MDIOHOST_API void i2c_WriteAdapter(unsigned int adapter, unsigned int address,
                                   std::vector<unsigned char>& bytes);
MDIOHOST_API std::vector<unsigned char> i2c_ReadAdapter(unsigned int adapter, unsigned int address,
                                                        unsigned int registerAddress,
                                                        unsigned char registerLength,
                                                        unsigned int count);
#endif

#endif /* MDIOHOST_H */
