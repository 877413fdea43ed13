#include "ftdi/AdapterPort.h"

#include <locale>

#include "base/Exceptions.h"
#include "ftdi/InterruptedWrites.h"
#include "ftdi/UsbLock.h"
#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/DriverFailure.h"

namespace FTDI {

std::string lowerCased(const std::string& text) {
    std::string lower = text;
    const auto& facet = std::use_facet<std::ctype<char>>(std::locale());
    facet.tolower(lower.data(), lower.data() + lower.size());
    return lower;
}

AdapterPort::AdapterPort(std::string adapterName, std::string usbSerialNumber,
                         std::string usbDescription)
    : name(std::move(adapterName)),
      lowerName(lowerCased(name)),
      serialNumber(std::move(usbSerialNumber)),
      description(std::move(usbDescription)) {}

AdapterPort::~AdapterPort() = default;

Mpsse::TransferLock& AdapterPort::transferLock() {
    return usbLock();
}

void AdapterPort::writeBytes(const std::uint8_t* bytes, std::uint32_t count) {
    UsbLockGuard lock(usbLock());
    send(bytes, count);
}

void AdapterPort::readBytes(std::uint8_t* buffer, std::uint32_t count) {
    UsbLockGuard lock(usbLock());
    receive(buffer, count);
}

// Failures are rare, so the messages are built out of line.
[[noreturn]] [[gnu::cold]] [[gnu::noinline]] void AdapterPort::fail(const char* action,
                                                                    D2xx::Status status) const {
    Exceptions::throwDeviceConnection(serialNumber, action, status);
}

void AdapterPort::dropHalfCommand() {
    const D2xx::Status status = D2xx::driver().purge(handle, kPurgeHalfCommand);
    if (status != D2xx::kOk) fail("Couldn't purge buffers", status);
    clearWriteInterrupted(handle);
}

// Nearly every transfer is taken whole by the first driver call: that call
// is made inline, and only a partial or failed one goes on to the loops
// below, which hold the stall and time-out rules.
void AdapterPort::send(const std::uint8_t* bytes, std::uint32_t count) {
    if (count == 0) return;
    if (anyWriteInterrupted() && writeInterrupted(handle)) [[unlikely]]
        dropHalfCommand();
    std::uint32_t written = 0;
    const D2xx::Status status = D2xx::driver().write(handle, bytes, count, written);
    if (status == D2xx::kOk && written == count) [[likely]]
        return;
    sendRest(bytes, count, status, written);
}

void AdapterPort::sendRest(const std::uint8_t* bytes, std::uint32_t count, D2xx::Status status,
                           std::uint32_t written) {
    D2xx::Driver& driver = D2xx::driver();
    std::uint32_t done = 0;
    unsigned stalled = 0;
    for (;;) {
        if (status != D2xx::kOk) {
            if (done != 0) markWriteInterrupted(handle);
            fail("Error writing to the device.", status);
        }
        if (written == 0) {
            if (++stalled > kMaxStalledWrites) {
                if (done != 0) markWriteInterrupted(handle);
                fail("Timed out writing data.", D2xx::kOk);
            }
        } else {
            stalled = 0;
            done += written;
        }
        if (done >= count) return;
        written = 0;
        status = driver.write(handle, bytes + done, count - done, written);
    }
}

void AdapterPort::receive(std::uint8_t* buffer, std::uint32_t count) {
    if (count == 0) return;
    std::uint32_t got = 0;
    const D2xx::Status status = D2xx::driver().read(handle, buffer, count, got);
    if (status == D2xx::kOk && got == count) [[likely]]
        return;
    receiveRest(buffer, count, status, got);
}

void AdapterPort::receiveRest(std::uint8_t* buffer, std::uint32_t count, D2xx::Status status,
                              std::uint32_t got) {
    D2xx::Driver& driver = D2xx::driver();
    std::uint32_t received = 0;
    unsigned emptyReads = 0;  // every empty read of this call, not only consecutive ones
    for (;;) {
        if (status != D2xx::kOk) fail("Error reading from the device.", status);
        if (got == 0) {
            if (emptyReads == kMaxEmptyReads) fail("Timed out reading data.", D2xx::kOk);
            ++emptyReads;
        }
        received += got;
        if (received >= count) return;
        got = 0;
        status = driver.read(handle, buffer + received, count - received, got);
    }
}

}  // namespace FTDI
