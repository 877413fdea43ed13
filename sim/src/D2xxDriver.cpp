#include "D2xxDriver.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "BoardHardware.h"
#include "D2xxCall.h"

namespace mdiosim::d2xx {

using namespace FTDI::D2xx;

namespace {

// Device-list flag bit 1: a high-speed (USB 2.0 480 Mb/s) device.
constexpr std::uint32_t kFlagHighSpeed = 0x2;

// Bit modes the chips accept: reset, asynchronous bit-bang, MPSSE,
// synchronous bit-bang, MCU host bus, fast serial, CBUS bit-bang, FIFO.
constexpr std::uint8_t kKnownBitModes = 0x7F;

constexpr std::uint16_t kFtdiVendorId = 0x0403;
constexpr std::uint32_t kFirstLocation = 0x1011;

}  // namespace

bool isHighSpeed(std::uint32_t chipType) {
    return chipType >= 6 && chipType <= 8;
}

std::uint32_t deviceId(std::uint32_t chipType) {
    std::uint16_t product = 0x6001;                        // FT232R and older
    if (chipType == 4 || chipType == 6) product = 0x6010;  // FT2232C/D, FT2232H
    if (chipType == 7) product = 0x6011;                   // FT4232H
    if (chipType == 8) product = 0x6014;                   // FT232H
    return (static_cast<std::uint32_t>(kFtdiVendorId) << 16) | product;
}

std::uint32_t locationOf(const Board& board) {
    return kFirstLocation + board.index();
}

void copyField(char* field, std::size_t size, const std::string& value) {
    const std::size_t length = std::min(value.size(), size - 1);
    std::memcpy(field, value.data(), length);
    std::memset(field + length, 0, size - length);
}

namespace {

// Reads the host's string argument without running past `limit` characters.
std::string boundedString(const void* argument, std::size_t limit) {
    const char* characters = static_cast<const char*>(argument);
    std::size_t length = 0;
    while (length < limit && characters[length] != '\0')
        ++length;
    return std::string(characters, length);
}

Board* boardToOpen(Bench& bench, const void* argument, std::uint32_t flags) {
    if (argument == nullptr) return nullptr;
    for (std::size_t index = 0; index < bench.boardCount(); ++index) {
        Board& candidate = bench.board(index);
        bool matches = false;
        if (flags == kOpenBySerialNumber) {
            matches = boundedString(argument, kSerialNumberSize) == candidate.serialNumber();
        } else if (flags == kOpenByDescription) {
            matches = boundedString(argument, kDescriptionSize) == candidate.description();
        } else if (flags == kOpenByLocation) {
            matches = reinterpret_cast<std::uintptr_t>(argument) == locationOf(candidate);
        }
        if (matches) return &candidate;
    }
    return nullptr;
}

}  // namespace

Status createDeviceInfoList(Bench& bench, std::uint32_t* count) {
    bench.startCall();
    if (const auto fault = bench.injectedFault(D2xxOperation::CreateDeviceInfoList, nullptr)) {
        return *fault;
    }
    if (count == nullptr) return kInvalidParameter;
    bench.listed.clear();
    for (std::size_t index = 0; index < bench.boardCount(); ++index) {
        if (bench.board(index).plugged()) bench.listed.push_back(&bench.board(index));
    }
    *count = static_cast<std::uint32_t>(bench.listed.size());
    return kOk;
}

Status getDeviceInfoList(Bench& bench, DeviceListNode* nodes, std::uint32_t* count) {
    bench.startCall();
    if (const auto fault = bench.injectedFault(D2xxOperation::GetDeviceInfoList, nullptr)) {
        return *fault;
    }
    if (nodes == nullptr || count == nullptr) return kInvalidParameter;
    // Like the real driver this fills the list that FT_CreateDeviceInfoList
    // made, with each device's state as it is now.
    for (std::size_t index = 0; index < bench.listed.size(); ++index) {
        Board& board = *bench.listed[index];
        DeviceListNode& node = nodes[index];
        node = DeviceListNode{};
        if (board.openElsewhere()) {
            // The driver cannot read a device another process holds: only
            // the flag is known.
            node.Flags = kFlagOpened;
            continue;
        }
        node.Flags = (board.isOpen() ? kFlagOpened : 0) |
                     (isHighSpeed(board.chipType()) ? kFlagHighSpeed : 0);
        node.Type = board.chipType();
        node.ID = deviceId(board.chipType());
        node.LocId = locationOf(board);
        copyField(node.SerialNumber, kSerialNumberSize, board.serialNumber());
        copyField(node.Description, kDescriptionSize, board.description());
        node.ftHandle = board.hardware().usb.handle;
    }
    *count = static_cast<std::uint32_t>(bench.listed.size());
    return kOk;
}

Status openEx(Bench& bench, void* argument, std::uint32_t flags, Handle* handle) {
    bench.startCall();
    Board* board = boardToOpen(bench, argument, flags);
    if (const auto fault = bench.injectedFault(D2xxOperation::OpenEx, board)) return *fault;
    if (handle == nullptr || argument == nullptr) return kInvalidParameter;
    *handle = nullptr;
    if (flags != kOpenBySerialNumber && flags != kOpenByDescription && flags != kOpenByLocation) {
        return kInvalidParameter;
    }
    return claim(bench, board, handle);
}

Status claim(Bench& bench, Board* board, Handle* handle) {
    // A device another process holds cannot be read, so it is not found.
    if (board == nullptr || !board->plugged() || board->openElsewhere()) return kDeviceNotFound;
    if (board->isOpen()) return kDeviceNotOpened;
    *handle = bench.issueHandle(*board);
    board->hardware().usb.handle = *handle;
    return kOk;
}

Status close(Bench& bench, Handle handle) {
    bench.startCall();
    const Bench::HandleTarget target = bench.resolve(handle);
    if (const auto fault = bench.injectedFault(D2xxOperation::Close, target.board)) return *fault;
    if (target.board == nullptr) return kInvalidHandle;
    bench.releaseHandle(handle);
    // The device went away under the handle: the handle is gone all the same.
    if (target.stale) return kIoError;
    target.board->hardware().usb.handle = nullptr;
    return kOk;
}

Status resetDevice(Bench& bench, Handle handle) {
    return onDevice(bench, D2xxOperation::ResetDevice, handle, [](Board&, BoardHardware& parts) {
        parts.chip.reset();
        return kOk;
    });
}

Status setUsbParameters(Bench& bench, Handle handle, std::uint32_t, std::uint32_t) {
    return onDevice(bench, D2xxOperation::SetUSBParameters, handle,
                    [](Board&, BoardHardware&) { return kOk; });
}

Status setChars(Bench& bench, Handle handle) {
    return onDevice(bench, D2xxOperation::SetChars, handle,
                    [](Board&, BoardHardware&) { return kOk; });
}

Status setTimeouts(Bench& bench, Handle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    return onDevice(bench, D2xxOperation::SetTimeouts, handle, [&](Board&, BoardHardware& parts) {
        parts.usb.readTimeoutMs = readMs;
        parts.usb.writeTimeoutMs = writeMs;
        return kOk;
    });
}

Status setLatencyTimer(Bench& bench, Handle handle, std::uint8_t milliseconds) {
    return onDevice(bench, D2xxOperation::SetLatencyTimer, handle,
                    [&](Board&, BoardHardware& parts) {
                        parts.usb.latencyMs = milliseconds;
                        return kOk;
                    });
}

Status setBitMode(Bench& bench, Handle handle, std::uint8_t, std::uint8_t mode) {
    return onDevice(bench, D2xxOperation::SetBitMode, handle, [&](Board&, BoardHardware& parts) {
        if ((mode & ~kKnownBitModes) != 0 || (mode & (mode - 1)) != 0) return kInvalidParameter;
        parts.chip.setBitMode(mode);
        return kOk;
    });
}

Status getDeviceInfo(Bench& bench, Handle handle, std::uint32_t* chipType,
                     std::uint32_t* deviceIdentifier, char* serialNumber, char* description) {
    return onDevice(bench, D2xxOperation::GetDeviceInfo, handle, [&](Board& board, BoardHardware&) {
        // Each output is optional: the driver fills the ones it is given.
        if (chipType != nullptr) *chipType = board.chipType();
        if (deviceIdentifier != nullptr) *deviceIdentifier = deviceId(board.chipType());
        if (serialNumber != nullptr)
            copyField(serialNumber, kSerialNumberSize, board.serialNumber());
        if (description != nullptr) copyField(description, kDescriptionSize, board.description());
        return kOk;
    });
}

Status stopInTask(Bench& bench, Handle handle) {
    return onDevice(bench, D2xxOperation::StopInTask, handle, [](Board&, BoardHardware& parts) {
        parts.usb.inTaskStopped = true;
        return kOk;
    });
}

Status purge(Bench& bench, Handle handle, std::uint32_t mask) {
    return onDevice(bench, D2xxOperation::Purge, handle, [&](Board&, BoardHardware& parts) {
        if (mask & kPurgeReceive) parts.chip.purgeReceive();
        if (mask & kPurgeTransmit) parts.chip.purgeTransmit();
        return kOk;
    });
}

Status restartInTask(Bench& bench, Handle handle) {
    return onDevice(bench, D2xxOperation::RestartInTask, handle, [](Board&, BoardHardware& parts) {
        parts.usb.inTaskStopped = false;
        return kOk;
    });
}

Status write(Bench& bench, Handle handle, const void* bytes, std::uint32_t count,
             std::uint32_t* written) {
    return onDevice(bench, D2xxOperation::Write, handle, [&](Board&, BoardHardware& parts) {
        if (written == nullptr || (bytes == nullptr && count != 0)) return kInvalidParameter;
        const std::uint32_t accepted =
            parts.usb.writeChunk == 0 ? count : std::min(count, parts.usb.writeChunk);
        parts.chip.write(static_cast<const std::uint8_t*>(bytes), accepted);
        parts.counters.usbWrites += 1;
        parts.counters.bytesWritten += accepted;
        parts.countTransfer(true);
        parts.countPackets(accepted, true);
        *written = accepted;
        return kOk;
    });
}

Status read(Bench& bench, Handle handle, void* buffer, std::uint32_t count,
            std::uint32_t* received) {
    return onDevice(bench, D2xxOperation::Read, handle, [&](Board&, BoardHardware& parts) {
        if (received == nullptr || (buffer == nullptr && count != 0)) return kInvalidParameter;
        std::uint32_t limit = parts.usb.inTaskStopped ? 0 : count;
        if (parts.usb.shortReadsLeft != 0) {
            parts.usb.shortReadsLeft -= 1;
            limit = std::min(limit, parts.usb.shortReadBytes);
        }
        const std::size_t ready = parts.chip.readyToSend();
        const auto got =
            static_cast<std::uint32_t>(parts.chip.read(static_cast<std::uint8_t*>(buffer), limit));
        parts.counters.usbReads += 1;
        parts.counters.bytesRead += got;
        parts.countTransfer(false);
        parts.countPackets(got, false);
        parts.countLatencyTimer(got > ready);
        // A read left short waits out the read time-out before it returns.
        if (got < count) parts.counters.waitSeconds += parts.usb.readTimeoutMs / 1000.0;
        *received = got;
        return kOk;
    });
}

Status getQueueStatus(Bench& bench, Handle handle, std::uint32_t* received) {
    return onDevice(
        bench, D2xxOperation::GetQueueStatus, handle, [&](Board&, BoardHardware& parts) {
            if (received == nullptr) return kInvalidParameter;
            // A look only: the bytes stay queued for FT_Read. While the
            // in-task is stopped nothing reaches the driver's queue.
            *received =
                parts.usb.inTaskStopped ? 0 : static_cast<std::uint32_t>(parts.chip.available());
            return kOk;
        });
}

Status getStatus(Bench& bench, Handle handle, std::uint32_t* received, std::uint32_t* transmitting,
                 std::uint32_t* events) {
    return onDevice(bench, D2xxOperation::GetStatus, handle, [&](Board&, BoardHardware& parts) {
        if (received == nullptr || transmitting == nullptr || events == nullptr) {
            return kInvalidParameter;
        }
        *received =
            parts.usb.inTaskStopped ? 0 : static_cast<std::uint32_t>(parts.chip.available());
        // The chip takes every written byte at once, and the bench raises no events.
        *transmitting = 0;
        *events = 0;
        return kOk;
    });
}

Status getBitMode(Bench& bench, Handle handle, std::uint8_t* pins) {
    return onDevice(bench, D2xxOperation::GetBitMode, handle, [&](Board&, BoardHardware& parts) {
        if (pins == nullptr) return kInvalidParameter;
        // Despite its name the call reads the levels of the data bus pins.
        *pins = parts.chip.lowByte().levels();
        return kOk;
    });
}

}  // namespace mdiosim::d2xx
