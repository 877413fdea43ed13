// A stand-in for the D2XX driver whose every answer comes from the fuzzer's
// input: each call's status, how much of a write it takes (all, part,
// nothing, or more than it was given), how much a read returns (full, short,
// empty, or a count larger than the buffer) and the bytes it returns, the
// device count and every device-list entry (serial numbers and descriptions
// that fill their fields with no terminating zero included), and what
// FT_GetDeviceInfo reports.
//
// Serial numbers come from a short list: the library keeps an adapter for
// every board it has seen for the life of the process, and leaves the process
// once it has seen more than its 64 slots hold.
//
// Calls from other threads (a status LED's blink thread) are answered with
// success and use no input, so an input replays the same way every time.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <thread>

#include "ftdi/d2xx/Driver.h"

namespace fuzzing {

class FuzzedDriver : public FTDI::D2xx::Driver {
  public:
    // Answers from `source` until the next call; null answers every call with
    // success and no bytes (used while the library is brought back between inputs).
    void answerFrom(FuzzedDataProvider* source) { input = source; }

    using Status = FTDI::D2xx::Status;
    using Handle = FTDI::D2xx::Handle;

    Status createDeviceInfoList(std::uint32_t& count) override;
    Status getDeviceInfoList(FTDI::D2xx::DeviceListNode* nodes, std::uint32_t& count) override;
    Status openBySerialNumber(const char* serialNumber, Handle& handle) override;
    Status close(Handle) override { return status(); }
    Status resetDevice(Handle) override { return status(); }
    Status setUsbParameters(Handle, std::uint32_t, std::uint32_t) override { return status(); }
    Status setChars(Handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {
        return status();
    }
    Status setTimeouts(Handle, std::uint32_t, std::uint32_t) override { return status(); }
    Status setLatencyTimer(Handle, std::uint8_t) override { return status(); }
    Status setBitMode(Handle, std::uint8_t, std::uint8_t) override { return status(); }
    Status getDeviceInfo(Handle handle, std::uint32_t& chipType, std::uint32_t& deviceId,
                         char* serialNumber, char* description) override;
    Status stopInTask(Handle) override { return status(); }
    Status purge(Handle, std::uint32_t) override { return status(); }
    Status restartInTask(Handle) override { return status(); }
    Status write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t& written) override;
    Status read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                std::uint32_t& received) override;

  private:
    // The input, or null on another thread or between inputs.
    FuzzedDataProvider* answering() const;
    Status status();
    void fillText(char* field, std::size_t size);

    FuzzedDataProvider* input = nullptr;
    const std::thread::id mainThread = std::this_thread::get_id();
    std::uintptr_t nextHandle = 0x1000;
};

}  // namespace fuzzing
