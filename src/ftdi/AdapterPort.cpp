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

std::recursive_mutex& AdapterPort::transferLock() {
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

// Every transfer runs through send and receive; their failures are rare, so
// the messages are built out of line and the loops stay short.
[[noreturn]] [[gnu::cold]] [[gnu::noinline]] void AdapterPort::fail(const char* action,
                                                                    D2xx::Status status) const {
    Exceptions::throwDeviceConnection(serialNumber, action, status);
}

void AdapterPort::dropHalfCommand() {
    const D2xx::Status status = D2xx::driver().purge(handle, kPurgeHalfCommand);
    if (status != D2xx::kOk) fail("Couldn't purge buffers", status);
    clearWriteInterrupted(handle);
}

void AdapterPort::send(const std::uint8_t* bytes, std::uint32_t count) {
    if (count == 0) return;
    if (writeInterrupted(handle)) [[unlikely]]
        dropHalfCommand();
    D2xx::Driver& driver = D2xx::driver();
    std::uint32_t done = 0;
    unsigned stalled = 0;
    while (done < count) {
        std::uint32_t written = 0;
        const D2xx::Status status = driver.write(handle, bytes + done, count - done, written);
        if (status != D2xx::kOk) [[unlikely]] {
            if (done != 0) markWriteInterrupted(handle);
            fail("Error writing to the device.", status);
        }
        if (written == 0) [[unlikely]] {
            if (++stalled > kMaxStalledWrites) {
                if (done != 0) markWriteInterrupted(handle);
                fail("Timed out writing data.", D2xx::kOk);
            }
            continue;
        }
        stalled = 0;
        done += written;
    }
}

void AdapterPort::receive(std::uint8_t* buffer, std::uint32_t count) {
    if (count == 0) return;
    D2xx::Driver& driver = D2xx::driver();
    std::uint32_t received = 0;
    unsigned emptyReads = 0;  // every empty read of this call, not only consecutive ones
    while (received < count) {
        std::uint32_t got = 0;
        const D2xx::Status status = driver.read(handle, buffer + received, count - received, got);
        if (status != D2xx::kOk) [[unlikely]]
            fail("Error reading from the device.", status);
        if (got == 0) [[unlikely]] {
            if (emptyReads == kMaxEmptyReads) fail("Timed out reading data.", D2xx::kOk);
            ++emptyReads;
        }
        received += got;
    }
}

}  // namespace FTDI
