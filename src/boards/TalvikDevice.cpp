#include "boards/TalvikDevice.h"

#include <mutex>

#include "mdio/TalvikFrames.h"
#include "mdio/TalvikMDIO.h"
#include "mpsse/CommandQueue.h"

namespace FTDI::Talvik {

// The queue's board register slot reads the controller's reply as it is laid out.
static_assert(Mpsse::kBoardRegister8ReplyBytes == Frames::kReplySize &&
              Frames::kReplyBoardValue == 1);

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
    // A queue of its own: the frame and its reply go as one transfer, like
    // every other read, without touching what the MDIO queues hold.
    Mpsse::CommandQueue queue;
    queue.append(Frames::boardRegisterReadFrame(boardRegister));
    queue.expect(
        {Mpsse::ReplyKind::BoardRegister8, Mpsse::kBoardRegister8ReplyBytes, queue.newValue()});
    {
        const std::lock_guard lock(transferLock());
        beforeTransfer();
        queue.sendAndCollect(*this, Mpsse::Framing{});
    }
    return static_cast<std::uint8_t>(queue.takeValues().front());
}

void Device::boardWrite(std::uint8_t boardRegister, std::uint8_t value) {
    const Frames::Frame frame = Frames::boardRegisterWriteFrame(boardRegister, value);
    writeBytes(frame.data(), static_cast<std::uint32_t>(frame.size()));
}

}  // namespace FTDI::Talvik
