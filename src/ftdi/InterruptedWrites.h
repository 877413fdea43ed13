// Which open USB devices may hold half a command. A write that fails after
// part of its bytes went out leaves the chip waiting for the rest of the
// command it was receiving (an MPSSE command's operands, or an older-family
// frame), and the next bytes anyone sends would complete it: a colour write
// of the status LED cut short would turn the next MDIO transfer into
// operands and shift every reply after it, with no failure anywhere. The
// blink thread cannot report its failures, so the next transfer on the same
// device, from whichever thread and adapter, first drops the half-received
// command (a purge of the chip's transmit side).
//
// Kept per driver handle, not per adapter: the protocols of one board share
// its handle, and the blink thread of one may cut short a write that the next
// transfer of another would complete. Callers hold the USB lock.
#pragma once

#include "ftdi/d2xx/D2xxAbi.h"

namespace FTDI {

// Whether any device may be inside a command: a check cheap enough for
// every write, before the look-up by handle.
inline bool anyWriteInterrupted();

// The chip behind `handle` may be inside a command.
void markWriteInterrupted(D2xx::Handle handle);
// Whether it may be; the mark stays until clearWriteInterrupted.
bool writeInterrupted(D2xx::Handle handle);
void clearWriteInterrupted(D2xx::Handle handle);

// What the port purges to drop a half-received command: the transmit side
// only, so that replies the chip still holds for an earlier read are kept.
inline constexpr std::uint32_t kPurgeHalfCommand = D2xx::kPurgeTransmit;

namespace detail {
// Set while any handle is marked; read and written under the USB lock.
extern bool gAnyWriteInterrupted;
}  // namespace detail

inline bool anyWriteInterrupted() {
    return detail::gAnyWriteInterrupted;
}

}  // namespace FTDI
