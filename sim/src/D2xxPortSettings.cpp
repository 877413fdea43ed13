// The D2XX calls that set up a device's serial port, and the version
// queries. The bench's boards use the MPSSE or the plain byte pipe, which
// these settings do not change: they are checked as the driver checks them
// and kept, so a program that sets up its port before going to MPSSE mode
// runs unchanged.
#include "D2xxCall.h"
#include "D2xxDriver.h"

namespace mdiosim::d2xx {

using namespace FTDI::D2xx;

namespace {

// Baud rates the chips' divisors reach: 3 MBd / 16384 at the slowest, 3 MBd
// at the fastest on full-speed chips and 12 MBd on high-speed ones.
constexpr std::uint32_t kSlowestBaudRate = 183;
constexpr std::uint32_t kFastestFullSpeedBaudRate = 3000000;
constexpr std::uint32_t kFastestHighSpeedBaudRate = 12000000;

constexpr std::uint8_t kBits7 = 7;
constexpr std::uint8_t kBits8 = 8;
constexpr std::uint8_t kStopBits1 = 0;
constexpr std::uint8_t kStopBits2 = 2;
constexpr std::uint8_t kParitySpace = 4;  // none, odd, even, mark, space

constexpr std::uint16_t kFlowNone = 0x0000;
constexpr std::uint16_t kFlowRtsCts = 0x0100;
constexpr std::uint16_t kFlowDtrDsr = 0x0200;
constexpr std::uint16_t kFlowXonXoff = 0x0400;

// The versions the bench reports, in the driver's format 0x00MMmmbb (major,
// minor, build as two-digit numbers): 1.00.00.
constexpr std::uint32_t kBenchLibraryVersion = 0x00010000;
constexpr std::uint32_t kBenchDriverVersion = 0x00010000;

}  // namespace

Status setBaudRate(Bench& bench, Handle handle, std::uint32_t baudRate) {
    return onDevice(
        bench, D2xxOperation::SetBaudRate, handle, [&](Board& board, BoardHardware& parts) {
            const std::uint32_t fastest = isHighSpeed(board.chipType()) ? kFastestHighSpeedBaudRate
                                                                        : kFastestFullSpeedBaudRate;
            if (baudRate < kSlowestBaudRate || baudRate > fastest) {
                return kInvalidBaudRate;
            }
            parts.usb.serial.baudRate = baudRate;
            return kOk;
        });
}

Status setDataCharacteristics(Bench& bench, Handle handle, std::uint8_t wordLength,
                              std::uint8_t stopBits, std::uint8_t parity) {
    return onDevice(
        bench, D2xxOperation::SetDataCharacteristics, handle, [&](Board&, BoardHardware& parts) {
            if ((wordLength != kBits7 && wordLength != kBits8) ||
                (stopBits != kStopBits1 && stopBits != kStopBits2) || parity > kParitySpace) {
                return kInvalidParameter;
            }
            parts.usb.serial.wordLength = wordLength;
            parts.usb.serial.stopBits = stopBits;
            parts.usb.serial.parity = parity;
            return kOk;
        });
}

Status setFlowControl(Bench& bench, Handle handle, std::uint16_t flowControl, std::uint8_t xon,
                      std::uint8_t xoff) {
    return onDevice(bench, D2xxOperation::SetFlowControl, handle,
                    [&](Board&, BoardHardware& parts) {
                        if (flowControl != kFlowNone && flowControl != kFlowRtsCts &&
                            flowControl != kFlowDtrDsr && flowControl != kFlowXonXoff) {
                            return kInvalidParameter;
                        }
                        parts.usb.serial.flowControl = flowControl;
                        parts.usb.serial.xon = xon;
                        parts.usb.serial.xoff = xoff;
                        return kOk;
                    });
}

Status setDeadmanTimeout(Bench& bench, Handle handle, std::uint32_t milliseconds) {
    return onDevice(bench, D2xxOperation::SetDeadmanTimeout, handle,
                    [&](Board&, BoardHardware& parts) {
                        parts.usb.serial.deadmanTimeoutMs = milliseconds;
                        return kOk;
                    });
}

Status getLibraryVersion(Bench& bench, std::uint32_t* version) {
    bench.startCall();
    if (const auto fault = bench.injectedFault(D2xxOperation::GetLibraryVersion, nullptr)) {
        return *fault;
    }
    if (version == nullptr) return kInvalidParameter;
    *version = kBenchLibraryVersion;
    return kOk;
}

Status getDriverVersion(Bench& bench, Handle handle, std::uint32_t* version) {
    return onDevice(bench, D2xxOperation::GetDriverVersion, handle, [&](Board&, BoardHardware&) {
        if (version == nullptr) return kInvalidParameter;
        *version = kBenchDriverVersion;
        return kOk;
    });
}

Status unsupported(Bench& bench, Handle handle) {
    bench.startCall();
    const Bench::HandleTarget target = bench.resolve(handle);
    if (target.board == nullptr) return kInvalidHandle;
    if (target.stale) return kIoError;
    return kNotSupported;
}

}  // namespace mdiosim::d2xx
