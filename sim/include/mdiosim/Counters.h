// What a board's USB link and clocks did, and the time it would have taken on
// real hardware: one USB latency per round trip, every MPSSE clock cycle at
// the programmed rate, the read time-out for every read left short, and what
// the bench's timing model (TimingModel) charges for MPSSE commands, extra
// USB packets and the chip's latency timer.
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
    double usbSeconds = 0;            // round trips times the USB latency
    double clockSeconds = 0;          // clock cycles at the programmed rate
    double waitSeconds = 0;           // read time-outs run out by short reads
    std::uint64_t mpsseCommands = 0;  // commands the MPSSE executed
    std::uint64_t usbPackets = 0;     // bulk packets of the transfers, both ways
    double commandSeconds = 0;        // MPSSE commands times their cost
    double packetSeconds = 0;         // packets after the first of each transfer
    double latencyTimerSeconds = 0;   // reads that waited for unflushed replies
    // Rising MDC edges at which MDIO changed at the same instant: no setup
    // time, so a real PHY may sample either level.
    std::uint64_t mdioSetupViolations = 0;

    double modeledSeconds() const {
        return usbSeconds + clockSeconds + waitSeconds + commandSeconds + packetSeconds +
               latencyTimerSeconds;
    }

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
        mpsseCommands += other.mpsseCommands;
        usbPackets += other.usbPackets;
        commandSeconds += other.commandSeconds;
        packetSeconds += other.packetSeconds;
        latencyTimerSeconds += other.latencyTimerSeconds;
        mdioSetupViolations += other.mdioSetupViolations;
        return *this;
    }
};

}  // namespace mdiosim
