// The board controller of the older board family. The FTDI chip is a plain
// byte pipe to it; it takes five-byte command frames back to back:
//
//   byte 0: operation in bits 7..5, a 5-bit field (the MMD) in bits 4..0
//   bytes 1, 2: address, low byte first;  bytes 3, 4: data, low byte first
//
//   000 init                   no reply
//   010 MDIO write             Clause 45 address and write cycles to the selected port
//   011 MDIO read              Clause 45 address and read cycles; replies 3 bytes
//   110 board register write   register in byte 1, value in byte 3
//   111 board register read    replies 3 bytes, the value in byte 1
//
// A three-byte MDIO reply carries the value in bytes 1 and 2, low byte first;
// byte 0 is a zero status byte. Board register 5 selects the port (PHY
// address) that MDIO frames go to. Frames with other operation codes are
// ignored. The controller runs the MDIO cycles on its own MDIO bus.
#pragma once

#include <array>
#include <cstdint>

#include "BytePipe.h"
#include "Lines.h"
#include "MdioBitBanger.h"
#include "MdioBus.h"
#include "mdiosim/Bench.h"

namespace mdiosim {

class BoardController final : public BytePipe {
  public:
    static constexpr unsigned kFrameBytes = 5;
    static constexpr unsigned kReplyBytes = 3;
    static constexpr unsigned kPortSelectRegister = 5;

    BoardController(TransactionLog& log, unsigned boardIndex, Counters& counters);

    void receive(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies) override;
    void discardPartial() override { filled = 0; }

    MdioBus& bus() { return mdioBus; }
    Lines& wires() { return mdioWires; }
    std::uint8_t boardRegister(unsigned registerAddress) const {
        return registers[registerAddress & 0xFF];
    }
    void setBoardRegister(unsigned registerAddress, std::uint8_t value) {
        registers[registerAddress & 0xFF] = value;
    }

  private:
    void execute(ReplyQueue& replies);
    void recordBoardFrame(Operation operation, unsigned registerAddress, unsigned value);

    TransactionLog* log;
    unsigned board;
    Lines mdioWires;
    MdioBus mdioBus;
    MdioBitBanger master;
    std::array<std::uint8_t, 256> registers{};
    std::array<std::uint8_t, kFrameBytes> frame{};
    unsigned filled = 0;
};

}  // namespace mdiosim
