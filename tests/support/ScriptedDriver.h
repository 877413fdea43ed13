// A test double of the driver boundary. It records every call with its
// arguments and every byte written, and answers with scripted statuses,
// scripted read chunks and a stream of reply bytes. By default it answers the
// MPSSE sync probe (a lone 0xAB write) the way a chip does, with FA AB, put
// ahead of any replies a test queued in advance for later commands.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ftdi/d2xx/Driver.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;
using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

class ScriptedDriver : public FTDI::D2xx::Driver {
public:
    struct Call {
        std::string operation;  // the C API name, e.g. "FT_Write"
        std::vector<std::uint64_t> arguments;
        Bytes bytes;  // bytes written (FT_Write) or returned (FT_Read)
    };

    struct ListedDevice {
        std::string serialNumber;
        std::string description;
        std::uint32_t flags = 0;
        std::uint32_t type = FTDI::D2xx::kChipTypeFt232h;
    };

    // --- the device list
    void addDevice(std::string serialNumber, std::string description, std::uint32_t flags = 0,
                   std::uint32_t type = FTDI::D2xx::kChipTypeFt232h);
    std::vector<ListedDevice> devices;
    std::uint32_t chipType = FTDI::D2xx::kChipTypeFt232h;  // what FT_GetDeviceInfo reports

    // --- scripting
    // The next call of `operation` returns `status` (queued per operation).
    void failNext(const std::string& operation, Status status);
    // FT_Write accepts at most these many bytes per call, one entry per call;
    // once used up, writes accept everything.
    std::deque<std::uint32_t> writeSizes;
    // FT_Read returns these chunks, one per call (an empty chunk is an empty
    // read); once used up, reads take from `replies`.
    std::deque<Bytes> readChunks;
    // Bytes waiting to be read, as a chip would queue them.
    std::deque<std::uint8_t> replies;
    void queueReply(const Bytes& bytes);
    bool answerSyncProbe = true;

    // --- what happened
    std::vector<Call> calls;
    std::vector<std::string> operations() const;  // the names of `calls`, in order
    Bytes written() const;                         // every byte written, in order
    std::vector<Bytes> writes() const;             // bytes per FT_Write call
    std::size_t count(const std::string& operation) const;
    void forget() { calls.clear(); }

    // --- the driver interface
    Status createDeviceInfoList(std::uint32_t& count) override;
    Status getDeviceInfoList(FTDI::D2xx::DeviceListNode* nodes, std::uint32_t& count) override;
    Status openBySerialNumber(const char* serialNumber, Handle& handle) override;
    Status close(Handle handle) override;
    Status resetDevice(Handle handle) override;
    Status setUsbParameters(Handle handle, std::uint32_t in, std::uint32_t out) override;
    Status setChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventEnabled,
                    std::uint8_t errorChar, std::uint8_t errorEnabled) override;
    Status setTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs) override;
    Status setLatencyTimer(Handle handle, std::uint8_t milliseconds) override;
    Status setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) override;
    Status getDeviceInfo(Handle handle, std::uint32_t& type, std::uint32_t& id,
                         char* serialNumber, char* description) override;
    Status stopInTask(Handle handle) override;
    Status purge(Handle handle, std::uint32_t mask) override;
    Status restartInTask(Handle handle) override;
    Status write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t& written) override;
    Status read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                std::uint32_t& received) override;

private:
    Status record(const std::string& operation, std::vector<std::uint64_t> arguments,
                  Bytes bytes = {});
    std::map<std::string, std::deque<Status>> scriptedStatuses;
    std::map<std::string, Handle> openHandles;
};

// Installs a fresh scripted driver as the library's driver and returns it.
// The library owns it; it lives until another driver is installed.
ScriptedDriver& installScriptedDriver();

}  // namespace testing_support
