// A driver that accepts every write whole and answers every read at once,
// so a benchmark measures only the library's own work: replies are zeros, or
// FA AB after the sync probe. It lists one K8 board with an MDIO adapter.
#pragma once

#include <algorithm>
#include <cstring>

#include "ftdi/d2xx/Driver.h"
#include "mpsse/MpsseCommands.h"

namespace bench {

using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

inline constexpr const char* kBoardSerialNumber = "BENCH";
// A K8 board without status LEDs whose one protocol is MDIO.
inline constexpr const char* kBoardDescription = "K8D MDIO";

class InstantDriver : public FTDI::D2xx::Driver {
  public:
    Status createDeviceInfoList(std::uint32_t& count) override {
        count = 1;
        return 0;
    }
    Status getDeviceInfoList(FTDI::D2xx::DeviceListNode* nodes, std::uint32_t& count) override {
        count = std::min<std::uint32_t>(count, 1);
        if (count == 1) {
            nodes[0] = {};
            nodes[0].Type = FTDI::D2xx::kChipTypeFt232h;
            std::strcpy(nodes[0].SerialNumber, kBoardSerialNumber);
            std::strcpy(nodes[0].Description, kBoardDescription);
        }
        return 0;
    }
    Status openBySerialNumber(const char*, Handle& handle) override {
        handle = this;
        return 0;
    }
    Status close(Handle) override { return 0; }
    Status resetDevice(Handle) override { return 0; }
    Status setUsbParameters(Handle, std::uint32_t, std::uint32_t) override { return 0; }
    Status setChars(Handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {
        return 0;
    }
    Status setTimeouts(Handle, std::uint32_t, std::uint32_t) override { return 0; }
    Status setLatencyTimer(Handle, std::uint8_t) override { return 0; }
    Status setBitMode(Handle, std::uint8_t, std::uint8_t) override { return 0; }
    Status getDeviceInfo(Handle, std::uint32_t& type, std::uint32_t& id, char*, char*) override {
        type = FTDI::D2xx::kChipTypeFt232h;
        id = 0;
        return 0;
    }
    Status stopInTask(Handle) override { return 0; }
    Status purge(Handle, std::uint32_t) override { return 0; }
    Status restartInTask(Handle) override { return 0; }
    Status write(Handle, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t& written) override {
        syncProbed = count == 1 && bytes[0] == FTDI::Mpsse::kSyncProbe;
        written = count;
        return 0;
    }
    Status read(Handle, std::uint8_t* buffer, std::uint32_t count,
                std::uint32_t& received) override {
        std::fill(buffer, buffer + count, 0);
        if (syncProbed && count == 2) {
            buffer[0] = FTDI::Mpsse::kBadCommandReply;
            buffer[1] = FTDI::Mpsse::kSyncProbe;
        }
        received = count;
        return 0;
    }

  private:
    bool syncProbed = false;
};

}  // namespace bench
