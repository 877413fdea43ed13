#include "FtdiChip.h"

#include "UsbRequests.h"
#include "ftdi/d2xx/D2xxAbi.h"

namespace mdiosim {

using FTDI::D2xx::kBitModeMpsse;
using FTDI::D2xx::kBitModeReset;

FtdiChip::FtdiChip(std::uint32_t chipType, std::uint8_t joinedPins, Counters& counters,
                   const TimingModel* timing)
    : wires(joinedPins),
      engine(chipType, wires, counters, timing),
      packetPayload(usb::bulkPacketBytes(chipType) - usb::kStatusBytes) {}

void FtdiChip::write(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) return;
    if (mode == kBitModeMpsse) {
        engine.execute(bytes, count, replies);
    } else if (mode == kBitModeReset && pipe != nullptr) {
        pipe->receive(bytes, count, replies);
        // The latency timer is modeled for MPSSE replies only: the older
        // family's controller answers as if every reply were flushed.
        replies.markFlushed();
    }
    // Other bit modes drive pins nobody on these boards listens to.
}

void FtdiChip::setBitMode(std::uint8_t newMode) {
    // Every mode change starts the MPSSE from its reset state: pins back to
    // inputs, clock settings at their defaults.
    engine.reset();
    mode = newMode;
}

void FtdiChip::reset() {
    mode = kBitModeReset;
    engine.reset();
    replies.clear();
    if (pipe != nullptr) pipe->discardPartial();
}

void FtdiChip::purgeTransmit() {
    engine.discardPending();
    if (pipe != nullptr) pipe->discardPartial();
}

}  // namespace mdiosim
