#include "PhyManagementInterface.h"

namespace mdiosim {

using namespace mdio;
using Event = MdioFrameDecoder::Event;
using Kind = MdioFrameDecoder::Kind;

void PhyManagementInterface::handle(Event event, const MdioFrameDecoder& frame) {
    switch (event) {
        case Event::Header:
            if (frame.isRead() && !frame.hasAddress32()) respondToRead(frame);
            break;
        case Event::Address:
            if (frame.isRead()) respondToRead(frame);
            break;
        case Event::Frame:
            if (!frame.isRead()) completeWrite(frame);
            release();
            break;
        case Event::Aborted:
            release();
            break;
        case Event::None:
            break;
    }
}

void PhyManagementInterface::startDriving(std::uint64_t bits, unsigned count) {
    // This edge ended the header (or the address): the first turnaround bit
    // stays undriven, so the queue starts with the second, a 0.
    driveBits = bits;
    driveCount = count + 1;
    low = false;
}

void PhyManagementInterface::respondToRead(const MdioFrameDecoder& frame) {
    switch (frame.kind()) {
        case Kind::Clause45:
            // An op code the PHY does not implement is no frame for it: it
            // leaves the line to the pull-up and its address stays put.
            if (frame.opcode() == kClause45ReadIncrement && !phy->implementsPostReadIncrement())
                break;
            startDriving(
                phy->clause45ReadFrame(frame.field(), frame.opcode() == kClause45ReadIncrement),
                kDataBits);
            break;
        case Kind::Clause22:
            startDriving(phy->clause22ReadFrame(frame.field()), kDataBits);
            break;
        case Kind::Register32:
            startDriving(splitHalves(phy->register32ReadFrame(frame.kind32(), frame.address32())),
                         kData32Bits);
            break;
    }
}

void PhyManagementInterface::completeWrite(const MdioFrameDecoder& frame) {
    const std::uint32_t data = frame.data();
    switch (frame.kind()) {
        case Kind::Clause45:
            if (frame.opcode() == kClause45Address) {
                phy->clause45AddressFrame(frame.field(), static_cast<std::uint16_t>(data));
            } else {
                phy->clause45WriteFrame(frame.field(), static_cast<std::uint16_t>(data));
            }
            break;
        case Kind::Clause22:
            phy->clause22WriteFrame(frame.field(), static_cast<std::uint16_t>(data));
            break;
        case Kind::Register32:
            phy->register32WriteFrame(frame.kind32(), frame.address32(), data);
            break;
    }
}

}  // namespace mdiosim
