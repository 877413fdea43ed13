// What sits behind an FTDI chip used as a plain byte pipe (bit mode reset):
// it takes the bytes the host writes and may answer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ReplyQueue.h"

namespace mdiosim {

class BytePipe {
  public:
    virtual ~BytePipe() = default;
    virtual void receive(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies) = 0;
    // The chip's transmit buffer was purged or the chip reset: bytes of an
    // unfinished message are gone.
    virtual void discardPartial() = 0;
};

}  // namespace mdiosim
