// A stand-in for libftdi1 behind the driver's UsbPort seam: devices to list,
// and per open interface a script of what each read and write returns, with
// every request recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "UsbPort.h"

namespace scripted {

// One answer of the device to a read: bytes that arrived, or a libusb error.
struct ReadAnswer {
    std::vector<std::uint8_t> bytes;
    int error = 0;
};

// What the links of one test share with the test.
struct LinkRecord {
    std::uint32_t token = 0;
    unsigned interfaceIndex = 0;
    std::vector<std::string> requests;              // "bitmode 00 02", "purge receive", ...
    std::vector<std::vector<std::uint8_t>> writes;  // each write call's bytes
    std::deque<ReadAnswer> reads;                   // empty: nothing arrives
    std::deque<int> writeAnswers;                   // empty: everything accepted
    int controlAnswer = 0;                          // what every control request returns
    bool closed = false;
};

class Port final : public usbdriver::UsbPort {
  public:
    std::vector<usbdriver::UsbDeviceFound> devices;
    int enumerateAnswer = 0;
    int openAnswer = 0;
    std::vector<std::shared_ptr<LinkRecord>> links;  // one per successful open, in order

    int enumerate(std::vector<usbdriver::UsbDeviceFound>& found) override;
    int open(std::uint32_t token, unsigned interfaceIndex,
             std::unique_ptr<usbdriver::UsbLink>& link) override;
};

// A device as libusb would describe it.
usbdriver::UsbDeviceFound device(std::uint32_t token, std::uint16_t releaseNumber,
                                 const std::string& serialNumber, const std::string& description);

}  // namespace scripted
