// Test helpers: the bench's exported D2XX functions, an open device that
// writes and reads raw bytes, and MDIO frames built as MPSSE byte streams the
// way a host bit-bangs them (MDC on ADBUS0, MDIO out on ADBUS1, in on ADBUS2).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"

using FTDI::D2xx::DeviceListNode;
using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

extern "C" {
Status FT_CreateDeviceInfoList(std::uint32_t* count);
Status FT_GetDeviceInfoList(DeviceListNode* nodes, std::uint32_t* count);
Status FT_OpenEx(void* argument, std::uint32_t flags, Handle* handle);
Status FT_Close(Handle handle);
Status FT_ResetDevice(Handle handle);
Status FT_SetUSBParameters(Handle handle, std::uint32_t in, std::uint32_t out);
Status FT_SetChars(Handle handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t);
Status FT_SetTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs);
Status FT_SetLatencyTimer(Handle handle, std::uint8_t milliseconds);
Status FT_SetBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode);
Status FT_GetDeviceInfo(Handle handle, std::uint32_t* type, std::uint32_t* id, char* serial,
                        char* description, void* reserved);
Status FT_StopInTask(Handle handle);
Status FT_Purge(Handle handle, std::uint32_t mask);
Status FT_RestartInTask(Handle handle);
Status FT_Write(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* written);
Status FT_Read(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* received);
}

namespace simtest {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes first, const Bytes& second);

// Replaces the process's bench; as a fixture's first member it comes before
// devices that open its boards.
struct UseBench {
    explicit UseBench(const mdiosim::BenchDescription& description) {
        mdiosim::resetBench(description);
    }
};

// A board opened through the D2XX functions.
class OpenDevice {
  public:
    explicit OpenDevice(const std::string& serialNumber,
                        std::uint8_t mode = FTDI::D2xx::kBitModeMpsse);
    ~OpenDevice();
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;

    void write(const Bytes& bytes);
    Bytes read(std::size_t count);  // what one FT_Read returns for `count`
    Bytes exchange(const Bytes& bytes, std::size_t replyCount) {
        write(bytes);
        return read(replyCount);
    }

    Handle handle = nullptr;
};

// --- MDIO frames as MPSSE bytes
Bytes lineIdle();               // 80 02 03
Bytes preamble(unsigned bits);  // 13 (n-1) FF groups
Bytes clause45Frame(unsigned op, unsigned port, unsigned mmd, std::uint16_t value,
                    unsigned preambleBits = 32);
Bytes clause22Frame(unsigned op, unsigned phy, unsigned registerAddress, std::uint16_t value,
                    unsigned preambleBits = 32);
Bytes flush();  // 87 80 03 03

// Offsets at which a new MPSSE command starts in `stream` (read off the
// shared command table).
std::vector<std::size_t> commandStarts(const Bytes& stream);

// The device list, as FT_CreateDeviceInfoList and FT_GetDeviceInfoList give it.
std::vector<DeviceListNode> deviceList();

// A bench of one board with PHYs at the given addresses; k8Bench's board is
// the K8 board "K8T00001".
mdiosim::BenchDescription oneBoardBench(const std::string& serialNumber,
                                        const std::string& description, std::uint32_t chipType,
                                        const std::vector<unsigned>& phyAddresses);
inline mdiosim::BenchDescription k8Bench(const std::vector<unsigned>& phyAddresses,
                                         std::uint32_t chipType = 8) {
    return oneBoardBench("K8T00001", "K8U MDIO", chipType, phyAddresses);
}

}  // namespace simtest
