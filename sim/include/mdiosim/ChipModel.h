// The chip behind a PHY's management interface, as far as its indirect
// access paths go: registers that plain MDIO does not reach, served through
// registers of MMDs 29, 30 and 4 that do something when written or read.
//
//   MMD 30 0xC47C..0xC47F  PIF mailbox: a register of any MMD by command word
//   MMD 30 0xA104..0xA111  SERDES control register bridge (MMD 27 registers)
//   MMD 30 0x200..0x205    memory window: 32-bit memory words, 16 bits at a time
//   MMD 29 0xC203, 0xC204  TGE command and data: block-0 registers and blocks 1-3
//   MMD 4  0xC180..0xC2FF  paged MMD (MMD 28 registers 0x000..0x5FF): page
//                          select, a 256-register window and a compact selector
//
// Every register of those MMDs is also an ordinary register: what the host
// writes is stored and reads back, except where the chip answers itself
// (status and busy registers, data the chip loaded). The PHY calls the model
// for every Clause 45 write and read, whether it came in a Clause 45 frame or
// through Clause 22 registers 13 and 14.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include "mdiosim/Export.h"

namespace mdiosim {

class Phy;

// How the chip answers; a bench file sets the same knobs per PHY ("chip").
struct ChipKnobs {
    // PIF mailbox: status reads that answer 0 (busy) after a command before
    // it completes; the status it completes with (1 done; anything else is
    // an error and the command does nothing); or never completing at all.
    unsigned mailboxBusyPolls = 0;
    std::uint16_t mailboxStatus = 1;
    bool mailboxNeverCompletes = false;
    // SERDES bridge: the word its status register 0xA111 reads. Bit 12 with
    // a nonzero code in bits 3..0 is an error, and the access is not made.
    std::uint16_t serdesStatus = 0;
    // Memory window: control register reads with the busy bit (bit 8) set
    // after each command.
    unsigned memoryWindowBusyPolls = 0;
};

// The chip's contents and knobs as a bench describes them.
struct ChipDescription {
    ChipKnobs knobs;
    std::map<std::uint16_t, std::uint16_t> serdes;  // SERDES register -> value
    std::map<std::uint32_t, std::uint32_t> memory;  // byte address of a word -> value
    std::map<std::uint16_t, std::uint16_t> tge;     // MMD 11 register address -> value
    std::map<std::uint16_t, std::uint16_t> paged;   // MMD 28 register 0x000..0x5FF -> value
};

class MDIOSIM_API ChipModel {
  public:
    explicit ChipModel(const ChipDescription& description);

    ChipKnobs knobs;

    // --- direct access for tests (no side effect)
    std::uint16_t serdes(std::uint16_t registerAddress) const;
    void setSerdes(std::uint16_t registerAddress, std::uint16_t value);
    // Memory is word-addressed: the low two bits of the byte address are ignored.
    std::uint32_t memoryWord(std::uint32_t byteAddress) const;
    void setMemoryWord(std::uint32_t byteAddress, std::uint32_t value);
    // MMD 11 registers: block id in bits 15..12; block 0 has 32 registers,
    // blocks 1 to 3 have 128; other block ids read 0 and ignore writes.
    std::uint16_t tge(std::uint16_t registerAddress) const;
    void setTge(std::uint16_t registerAddress, std::uint16_t value);
    // MMD 28 registers 0x000..0x5FF (six pages of 256); others read 0.
    std::uint16_t paged(std::uint16_t registerAddress) const;
    void setPaged(std::uint16_t registerAddress, std::uint16_t value);

    // A register of any MMD as the chip itself reaches it (the mailbox's
    // target): MMD 11, 27 and 28 are the TGE blocks, the SERDES registers and
    // the paged MMD; every other MMD is the PHY's Clause 45 register.
    std::uint16_t target(const Phy& phy, unsigned mmd, std::uint16_t registerAddress) const;
    void setTarget(Phy& phy, unsigned mmd, std::uint16_t registerAddress, std::uint16_t value);

    // --- called by the PHY for every Clause 45 access
    // After the value was stored in the register.
    void written(Phy& phy, unsigned mmd, std::uint16_t registerAddress, std::uint16_t value);
    // The chip's own answer for this register, if it has one.
    std::optional<std::uint16_t> read(Phy& phy, unsigned mmd, std::uint16_t registerAddress);

  private:
    void mailboxCommand(Phy& phy);
    void completeMailbox(Phy& phy);
    void serdesWritten(Phy& phy, std::uint16_t registerAddress, std::uint16_t value);
    void tgeCommand(Phy& phy, std::uint16_t command);
    void tgeBlockAccess();
    void memoryCommand(Phy& phy, std::uint16_t command);
    void pagedWritten(Phy& phy, std::uint16_t registerAddress, std::uint16_t value);
    std::optional<std::uint16_t> pagedRead(Phy& phy, std::uint16_t registerAddress);

    std::map<std::uint16_t, std::uint16_t> serdesRegisters;
    std::map<std::uint32_t, std::uint32_t> memoryWords;
    std::array<std::uint16_t, 32> tgeBlock0{};
    std::array<std::array<std::uint16_t, 128>, 3> tgeBlocks{};
    std::array<std::uint16_t, 0x600> pagedRegisters{};

    // The mailbox command in progress: status reads still answering busy.
    bool mailboxPending = false;
    unsigned mailboxPollsLeft = 0;
    unsigned memoryBusyLeft = 0;
    // The compact selector of the paged MMD, armed by a write of 0xC20B.
    std::optional<std::uint16_t> pagedSelection;
};

}  // namespace mdiosim
