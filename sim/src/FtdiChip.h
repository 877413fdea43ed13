// One FTDI USB chip. In bit mode reset it is a plain byte pipe: bytes written
// go to whatever the board connects to its serial port (the older family's
// board controller, or nothing). In MPSSE mode its MPSSE executes them.
// Either way, answers queue until the host reads them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "BytePipe.h"
#include "Lines.h"
#include "MpsseEngine.h"
#include "ReplyQueue.h"
#include "mdiosim/Board.h"
#include "mdiosim/Description.h"

namespace mdiosim {

class FtdiChip {
  public:
    // `timing` (may be null: nothing charged) prices the MPSSE's commands.
    FtdiChip(std::uint32_t chipType, std::uint8_t joinedPins, Counters& counters,
             const TimingModel* timing = nullptr);

    Lines& lowByte() { return wires; }
    void connectBytePipe(BytePipe* receiver) { pipe = receiver; }

    void write(const std::uint8_t* bytes, std::size_t count);
    std::size_t read(std::uint8_t* out, std::size_t capacity) {
        return replies.take(out, capacity);
    }
    std::size_t available() const { return replies.size(); }
    // Replies the chip sends without waiting for its latency timer: those a
    // send-immediate flushed, and whole packets of the rest.
    std::size_t readyToSend() const {
        const std::size_t held = replies.size() - replies.flushed();
        return replies.flushed() + held / packetPayload * packetPayload;
    }

    void setBitMode(std::uint8_t mode);
    // The chip's power-on state: bit mode reset, MPSSE reset, buffers empty.
    void reset();
    void purgeReceive() { replies.clear(); }
    void purgeTransmit();

    std::uint8_t bitMode() const { return mode; }
    MpsseEngine& mpsse() { return engine; }
    const MpsseEngine& mpsse() const { return engine; }

  private:
    Lines wires;
    MpsseEngine engine;
    ReplyQueue replies;
    BytePipe* pipe = nullptr;
    std::size_t packetPayload;  // reply bytes in one bulk IN packet
    std::uint8_t mode = 0;
};

}  // namespace mdiosim
