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

/* ---- Raw I2C with plain byte buffers ----------------------------------- */
/* The same transactions as the C++ exports i2c_WriteAdapter and
 * i2c_ReadAdapter of mdiohost.h, callable from C and from any language's
 * foreign-function interface. `address` is the 7-bit device address (low 8
 * bits used). Both return 0 on success and -1 on a recorded failure: a USB
 * error, or, with nothing sent, a null buffer with a nonzero count, a count
 * above 65535, an adapter that is not open, or an adapter without raw I2C
 * (only a K8 adapter whose protocol is I2C has one; the C++ exports silently
 * do nothing there).
 * Whether the device acknowledged is not reported by these two; ask
 * mdiohost_i2c_acknowledged() afterwards. */

/* One write transaction of `count` bytes from `bytes`. */
MDIOHOST_API int mdiohost_i2c_write(uint32_t adapter, uint32_t address, const uint8_t* bytes,
                                    uint32_t count);
/* Writes the `registerLength` low bytes of `registerAddress` (least
 * significant first; at most 4 are sent, 0 sends the address alone), then
 * reads `count` bytes into `data` in a second transaction. On failure `data`
 * is left as it was. */
MDIOHOST_API int mdiohost_i2c_read(uint32_t adapter, uint32_t address, uint32_t registerAddress,
                                   uint32_t registerLength, uint8_t* data, uint32_t count);
/* Whether the device acknowledged the adapter's last raw I2C transfer: the
 * last mdiohost_i2c_write, mdiohost_i2c_read, i2c_WriteAdapter or
 * i2c_ReadAdapter on that adapter. For a write that is the address byte and
 * every data byte; for a read, the address byte and register bytes of its
 * first transaction and the address byte of the second (the bytes read are
 * acknowledged by the adapter, not the device). MDIO traffic through the
 * adapter's bridge does not change the answer.
 * Returns 1 when every one of those bytes was acknowledged, 0 when at least
 * one was not, and also 0 when no raw transfer has run on the adapter yet
 * or the last one failed; -1 with a recorded failure for an
 * adapter that is not open or has no raw I2C. Nothing is sent. A device that
 * does not answer reads as FF bytes, so check this after a read. */
MDIOHOST_API int mdiohost_i2c_acknowledged(uint32_t adapter);

/* ---- Queued 32-bit registers with a status ----------------------------- */
/* HW_BlockRead32Adapter and HW_BlockWrite32Adapter of mdiohost.h, guarded:
 * a failure (no such adapter, adapter not open, invalid PHY, USB error) is
 * recorded and echoed like a register function's, and -1 returned instead of
 * a C++ exception; 0 when queued. Collect with HW_BlockOperationExecuteAdapter,
 * as for the classic forms; queued records are traced the same way. */
MDIOHOST_API int mdiohost_block_read32(uint32_t adapter, uint32_t phy, uint32_t address);
MDIOHOST_API int mdiohost_block_write32(uint32_t adapter, uint32_t phy, uint32_t address,
                                        uint32_t value);

/* ---- Wire speed -------------------------------------------------------- */
/* Ways to spend less time on the MDIO wire and on USB round trips. Only a K8
 * adapter whose protocol is MDIO has them; any other adapter refuses with a
 * recorded failure. Nothing changes on the wire until one of the setters is
 * called, and a setting lasts until the adapter is closed.
 *
 * `phy` is the 5-bit PHY (port) address on the wire, 0 to 31, as in the
 * HW_...Adapter functions; the adapter is always the `adapter` argument, so a
 * PHY id with bit 31 set (the ZM_API_ form naming an adapter) is refused.
 *
 * While any preamble is shorter than 32 bits or the compact encoding is on,
 * and from the adapter's first burst on, every transfer of the adapter ends
 * with MDIO held high for a clock period before MDC rises to rest, so that
 * no PHY takes the end of a transfer for a stray bit before its next frame. */

/* Preamble length, in bits, of every frame the adapter sends to `phy`: 32
 * (the default) down to 0. Only a PHY that accepts preamble suppression
 * (Clause 22 status register 1, bit 6) takes frames with fewer than 32; any
 * other PHY ignores them. Returns 0, or -1 with a recorded failure (adapter
 * not open, PHY above 31, bits above 32, an adapter without these settings). */
MDIOHOST_API int mdiohost_set_preamble(uint32_t adapter, uint32_t phy, uint32_t bits);
/* The preamble length now in force for that PHY, or -1 with a recorded failure. */
MDIOHOST_API int mdiohost_preamble(uint32_t adapter, uint32_t phy);

/* The most registers one burst reads: a burst always fits in one transfer. */
#define MDIOHOST_MAX_BURST_READS 1024

/* Queues a Clause 45 burst: one address frame to `address` of `mmd`, then
 * `count` post-read-increment read frames, reading `address`, `address` + 1,
 * and so on. The values arrive in queue order among the other queued reads,
 * collected by HW_BlockOperationExecuteAdapter like HW_BlockReadAdapter's.
 * A PHY that does not implement post-read-increment ignores those frames
 * (its values read as all ones) or reads without moving on: check a burst
 * against single reads before relying on it.
 * 0, or -1 with a recorded failure and nothing queued: adapter not open or
 * without these settings, PHY above 31, MMD above 31 or one that plain MDIO
 * does not reach on this adapter (10, 11, 27, 28, delegated), a count of 0
 * or above MDIOHOST_MAX_BURST_READS, registers past 0xFFFF. */
MDIOHOST_API int mdiohost_block_read_burst(uint32_t adapter, uint32_t phy, uint32_t mmd,
                                           uint32_t address, uint32_t count);
/* Reads `count` consecutive registers from `address` of `mmd` into
 * values[0..count-1] in one burst, executed at once (with whatever writes are
 * queued for the PHY before it). 0, or -1 with a recorded failure and
 * `values` untouched: the failures of mdiohost_block_read_burst, a null
 * `values`, reads already queued for the PHY (collect them first), a USB
 * error. */
MDIOHOST_API int mdiohost_read_burst(uint32_t adapter, uint32_t phy, uint32_t mmd, uint32_t address,
                                     uint16_t* values, uint32_t count);

/* Compact encoding on (1) or off (0) for the adapter: the same MDC/MDIO
 * waveform clocked with byte commands instead of a command per field, so a
 * Clause 45 read takes 30 command bytes instead of 76 and more reads fit in
 * one transfer. Applies to the Clause 45 and Clause 22 frames queued after
 * the call; 32-bit register frames keep their encoding. Any nonzero value
 * turns it on. 0, or -1 with a recorded failure. */
MDIOHOST_API int mdiohost_set_compact_encoding(uint32_t adapter, int enabled);
/* 1 when the adapter uses the compact encoding, 0 when not, -1 with a
 * recorded failure. */
MDIOHOST_API int mdiohost_compact_encoding(uint32_t adapter);

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
