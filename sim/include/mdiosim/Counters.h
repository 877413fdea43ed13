// What a board's USB link and clocks did, and the time it would have taken on
// real hardware: one USB latency per round trip, every MPSSE clock cycle at
// the programmed rate, and the read time-out for every read left short.
#pragma once

#include <cstdint>

namespace mdiosim {

struct Counters {
    std::uint64_t usbWrites = 0;     // FT_Write calls that reached the chip
    std::uint64_t usbReads = 0;      // FT_Read calls that reached the chip
    std::uint64_t bytesWritten = 0;  // bytes the chip accepted
    std::uint64_t bytesRead = 0;     // bytes handed to the host
    std::uint64_t mdcCycles = 0;     // clock cycles on the MDC / clock pin
    // USB transfers the host waited for: a read right after a write completes
    // the write's round trip; every other transfer starts its own.
    std::uint64_t roundTrips = 0;
    double usbSeconds = 0;    // round trips times the USB latency
    double clockSeconds = 0;  // clock cycles at the programmed rate
    double waitSeconds = 0;   // read time-outs run out by short reads

    double modeledSeconds() const { return usbSeconds + clockSeconds + waitSeconds; }

    Counters& operator+=(const Counters& other) {
        usbWrites += other.usbWrites;
        usbReads += other.usbReads;
        bytesWritten += other.bytesWritten;
        bytesRead += other.bytesRead;
        mdcCycles += other.mdcCycles;
        roundTrips += other.roundTrips;
        usbSeconds += other.usbSeconds;
        clockSeconds += other.clockSeconds;
        waitSeconds += other.waitSeconds;
        return *this;
    }
};

}  // namespace mdiosim
