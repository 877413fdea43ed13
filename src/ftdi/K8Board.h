// How a K8 board is wired to its FTDI chip, and how its USB link is set up at
// bring-up. The MDIO frame pieces, the bring-up sequence and the LED colour
// command all name their pin bits from here.
#pragma once

#include <chrono>
#include <cstdint>

namespace FTDI::K8 {

// --- Low byte (ADBUS0..7): the MDIO or I2C lines.
// ADBUS0 is the MDC/SCL clock, ADBUS1 the driven data line (TDI/DO). During
// reads the PHY drives the line and the chip samples it on ADBUS2 (TDO/DI).
inline constexpr std::uint8_t kClockPin = 0x01;
inline constexpr std::uint8_t kDataOutPin = 0x02;
// Direction bytes of the set-data-bits-low command: a set bit is an output.
inline constexpr std::uint8_t kDriveClockAndData = kClockPin | kDataOutPin;
inline constexpr std::uint8_t kDriveClockOnly = kClockPin;
// Clock and data both high: the level the lines rest at between transfers.
inline constexpr std::uint8_t kClockAndDataHigh = kClockPin | kDataOutPin;

// Drive-only-zero masks (command 0x9E) of the FT232H: on I2C boards ADBUS0..2
// only pull low and are released for a one, as an open-drain bus needs; MDIO
// boards drive both levels on every pin.
inline constexpr std::uint8_t kOpenDrainI2cPins = 0x07;
inline constexpr std::uint8_t kNoOpenDrainPins = 0x00;

// --- High byte (ACBUS0..7): the status LED on ACBUS0..5, three 2-bit colour
// channels. A set colour bit makes its pin an output driven low (segment on);
// a clear bit releases the pin. ACBUS6 and ACBUS7 always stay inputs.
inline constexpr std::uint8_t kLedPins = 0x3F;

// --- USB link settings made at bring-up.
inline constexpr std::uint32_t kUsbTransferSize = 65535;   // both directions
inline constexpr std::uint8_t kLatencyTimerMs = 1;         // replies come back at once
inline constexpr std::uint32_t kSettingReadTimeoutMs = 0;  // while the mode is changed
inline constexpr std::uint32_t kReadTimeoutMs = 1000;
inline constexpr std::uint32_t kWriteTimeoutMs = 1000;
inline constexpr std::uint8_t kNoPinMask = 0x00;  // bit mode mask: MPSSE sets directions itself

// Settling times after the clock and pin set-up, and after loopback off.
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
// A fuzzing build opens boards thousands of times a second on the simulated
// bench, whose chip needs no time to settle.
inline constexpr std::chrono::milliseconds kSetupSettle{0};
inline constexpr std::chrono::milliseconds kLoopbackSettle{0};
#else
inline constexpr std::chrono::milliseconds kSetupSettle{20};
inline constexpr std::chrono::milliseconds kLoopbackSettle{30};
#endif

// The chip must answer the sync probe at least this often before a transfer.
inline constexpr std::chrono::seconds kSyncInterval{1};

// Default clock rates: MDIO and JTAG at 5 MHz, I2C at 400 kHz (fast mode).
inline constexpr std::uint32_t kDefaultMdioClockHz = 5000000;
inline constexpr std::uint32_t kDefaultI2cClockHz = 400000;

}  // namespace FTDI::K8
