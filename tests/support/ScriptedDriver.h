// A test double of the driver boundary. It records every call with its
// arguments and every byte written, and answers with scripted statuses,
// scripted read chunks and a stream of reply bytes. By default it answers the
// MPSSE sync probe (a lone 0xAB write) the way a chip does, with FA AB, put
// ahead of any replies a test queued in advance for later commands.
//
// Like a mock of expected transactions, it fails the test that leaves any of
// its script unused: reply bytes never read, read chunks never returned,
// statuses never given, write sizes never applied. A leftover means the code
// did less than the test believes it did (or the test scripted too much).
#pragma once

#include <chrono>
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
    ScriptedDriver();
    // Reports what is left of the script as a failure of the running test.
    ~ScriptedDriver() override;

    struct Call {
        std::string operation;  // the C API name, e.g. "FT_Write"
        std::vector<std::uint64_t> arguments;
        Bytes bytes;  // bytes written (FT_Write) or returned (FT_Read)
        std::chrono::steady_clock::time_point time = std::chrono::steady_clock::now();
    };
    struct ListedDevice {
        std::string serialNumber, description;
        std::uint32_t flags = 0;
    };

    // --- the device list, and what FT_GetDeviceInfo reports
    void addDevice(std::string serialNumber, std::string description, std::uint32_t flags = 0) {
        devices.push_back({std::move(serialNumber), std::move(description), flags});
    }
    std::vector<ListedDevice> devices;
    std::uint32_t chipType = FTDI::D2xx::kChipTypeFt232h;

    // --- scripting
    // The next call of `operation` returns `status` (queued per operation).
    void failNext(const std::string& operation, Status status) {
        scriptedStatuses[operation].push_back(status);
    }
    // FT_Write accepts at most these many bytes per call, one entry per call;
    // once used up, writes accept everything.
    std::deque<std::uint32_t> writeSizes;
    // FT_Read returns these chunks, one per call (an empty chunk is an empty
    // read); once used up, reads take from `replies`.
    std::deque<Bytes> readChunks;
    // Bytes waiting to be read, as a chip would queue them.
    std::deque<std::uint8_t> replies;
    void queueReply(const Bytes& bytes) {
        replies.insert(replies.end(), bytes.begin(), bytes.end());
    }
    bool answerSyncProbe = true;
    // When set, FT_CreateDeviceInfoList claims this many devices whatever is listed.
    std::optional<std::uint32_t> claimedDeviceCount;

    // --- what happened
    std::vector<Call> calls;
    std::vector<std::string> operations() const;  // the names of `calls`, in order
    Bytes written() const;                        // every byte written, in order
    std::vector<Bytes> writes() const;            // bytes per FT_Write call
    std::size_t count(const std::string& operation) const;
    void forget() { calls.clear(); }
    // What is left of the script, one line per kind; empty when all was used.
    std::string unusedScript() const;
    // Records unusedScript() as a failure of the running test and drops the
    // leftovers, so they are reported once. Called when the test ends.
    void failOnUnusedScript();

    // --- the driver interface
    Status createDeviceInfoList(std::uint32_t& count) override;
    Status getDeviceInfoList(FTDI::D2xx::DeviceListNode* nodes, std::uint32_t& count) override;
    Status openBySerialNumber(const char* serialNumber, Handle& handle) override;
    Status close(Handle h) override { return record("FT_Close", {value(h)}); }
    Status resetDevice(Handle h) override { return record("FT_ResetDevice", {value(h)}); }
    Status setUsbParameters(Handle h, std::uint32_t in, std::uint32_t out) override {
        return record("FT_SetUSBParameters", {value(h), in, out});
    }
    Status setChars(Handle h, std::uint8_t eventChar, std::uint8_t eventEnabled,
                    std::uint8_t errorChar, std::uint8_t errorEnabled) override {
        return record("FT_SetChars", {value(h), eventChar, eventEnabled, errorChar, errorEnabled});
    }
    Status setTimeouts(Handle h, std::uint32_t readMs, std::uint32_t writeMs) override {
        return record("FT_SetTimeouts", {value(h), readMs, writeMs});
    }
    Status setLatencyTimer(Handle h, std::uint8_t ms) override {
        return record("FT_SetLatencyTimer", {value(h), ms});
    }
    Status setBitMode(Handle h, std::uint8_t mask, std::uint8_t mode) override {
        return record("FT_SetBitMode", {value(h), mask, mode});
    }
    Status getDeviceInfo(Handle handle, std::uint32_t& type, std::uint32_t& id, char* serialNumber,
                         char* description) override;
    Status stopInTask(Handle h) override { return record("FT_StopInTask", {value(h)}); }
    Status purge(Handle h, std::uint32_t mask) override {
        return record("FT_Purge", {value(h), mask});
    }
    Status restartInTask(Handle h) override { return record("FT_RestartInTask", {value(h)}); }
    Status write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t& written) override;
    Status read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                std::uint32_t& received) override;

  private:
    static std::uint64_t value(Handle handle) { return reinterpret_cast<std::uintptr_t>(handle); }
    Status record(const std::string& operation, std::vector<std::uint64_t> arguments,
                  Bytes bytes = {});
    std::map<std::string, std::deque<Status>> scriptedStatuses;
    std::size_t opened = 0;
};

// Installs a fresh scripted driver as the library's driver and returns it.
// The library owns it; it lives until another driver is installed.
ScriptedDriver& installScriptedDriver();

}  // namespace testing_support
