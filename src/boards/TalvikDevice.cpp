#include "boards/TalvikDevice.h"

#include <array>

#include "ftdi/UsbLock.h"
#include "mdio/TalvikFrames.h"
#include "mdio/TalvikMDIO.h"

namespace FTDI::Talvik {

Device::Device(std::string adapterName, std::string usbSerialNumber, std::string usbDescription)
    : FTDI::Device(std::move(adapterName), std::move(usbSerialNumber), std::move(usbDescription)) {
    board.family = BoardFamily::OlderFamily;
    engine = std::make_unique<MDIO>(this);
}

Device::~Device() = default;

void Device::beforeClose() {
    // A closed adapter is really closed: with the handle cleared the registry
    // finds no adapter of this board still holding it, so it resets and
    // closes the USB device, and the next open brings the board up again
    // with a fresh init frame. Frames queued but never executed are dropped
    // with it (each queue starts again from its port select frame), so they
    // cannot reach the board after that new init.
    if (engine) engine->clearAll();
    handle = nullptr;
}

void Device::bringUp() {
    const Frames::Frame frame = Frames::initFrame();
    writeBytes(frame.data(), static_cast<std::uint32_t>(frame.size()));
}

std::uint8_t Device::boardRead(std::uint8_t boardRegister) {
    UsbLockGuard lock(usbLock());
    const Frames::Frame frame = Frames::boardRegisterReadFrame(boardRegister);
    writeBytes(frame.data(), static_cast<std::uint32_t>(frame.size()));
    std::array<std::uint8_t, Frames::kReplySize> reply{};
    readBytes(reply.data(), Frames::kReplySize);
    return reply[Frames::kReplyBoardValue];
}

void Device::boardWrite(std::uint8_t boardRegister, std::uint8_t value) {
    const Frames::Frame frame = Frames::boardRegisterWriteFrame(boardRegister, value);
    writeBytes(frame.data(), static_cast<std::uint32_t>(frame.size()));
}

}  // namespace FTDI::Talvik
