// A protocol analyser on an MDIO bus: it decodes every frame on the line,
// whoever it is addressed to and whether or not anybody answers, accepting
// any preamble, and records it in the bench's transaction log.
#pragma once

#include "MdioFrameDecoder.h"
#include "mdiosim/Bench.h"

namespace mdiosim {

class MdioBusMonitor {
  public:
    MdioBusMonitor(TransactionLog& transactions, unsigned boardIndex)
        : log(&transactions), board(boardIndex) {}

    void clock(bool bit) {
        if (decoder.clock(bit, 0) == MdioFrameDecoder::Event::Frame) record();
    }
    bool idle() const { return decoder.idle(); }
    void addIdleOnes(unsigned count) { decoder.addIdleOnes(count); }

  private:
    void record();

    TransactionLog* log;
    unsigned board;
    MdioFrameDecoder decoder;
};

}  // namespace mdiosim
