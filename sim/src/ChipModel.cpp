#include "mdiosim/ChipModel.h"

#include "mdiosim/Phy.h"

namespace mdiosim {
namespace {

// The chip's register map, written down here independently of the host
// library's, so that a wrong register on either side shows up as a failure.
constexpr unsigned kMmdPhyXs = 4;
constexpr unsigned kMmdTge = 11;
constexpr unsigned kMmdSerdes = 27;
constexpr unsigned kMmdPaged = 28;
constexpr unsigned kMmdTgeAccess = 29;
constexpr unsigned kMmdVendor1 = 30;

// PIF mailbox (MMD 30).
constexpr std::uint16_t kMailboxAddress = 0xC47C;
constexpr std::uint16_t kMailboxData = 0xC47D;
constexpr std::uint16_t kMailboxCommand = 0xC47E;
constexpr std::uint16_t kMailboxStatus = 0xC47F;
constexpr unsigned kMailboxRead = 0x01, kMailboxWrite = 0x02;  // command bits 15..8
constexpr std::uint16_t kMailboxBusy = 0, kMailboxDone = 1;

// SERDES bridge (MMD 30).
constexpr std::uint16_t kSerdesWriteAddress = 0xA104;
constexpr std::uint16_t kSerdesWriteData = 0xA105;
constexpr std::uint16_t kSerdesReadAddress = 0xA108;
constexpr std::uint16_t kSerdesReadData = 0xA109;
constexpr std::uint16_t kSerdesEnable = 0xA110;
constexpr std::uint16_t kSerdesStatus = 0xA111;

// Memory window (MMD 30).
constexpr std::uint16_t kWindowControl = 0x200;
constexpr std::uint16_t kWindowAddressHigh = 0x202;
constexpr std::uint16_t kWindowAddressLow = 0x203;
constexpr std::uint16_t kWindowDataHigh = 0x204;
constexpr std::uint16_t kWindowDataLow = 0x205;
constexpr std::uint16_t kWindowRead = 0x8000, kWindowWrite = 0xC000, kWindowBusy = 0x0100;
constexpr std::uint32_t kWordMask = ~std::uint32_t{3};

// TGE (MMD 29).
constexpr std::uint16_t kTgeCommand = 0xC203;
constexpr std::uint16_t kTgeData = 0xC204;
constexpr std::uint16_t kTgeOperationMask = 0xC000;
constexpr std::uint16_t kTgeStore = 0x8000, kTgeLoad = 0xC000;
constexpr unsigned kTgeBlockAddress = 0x14, kTgeBlockReadData = 0x15, kTgeBlockWriteData = 0x17;
constexpr std::uint16_t kTgeBlockRead = 0x8000, kTgeBlockWrite = 0x4000;

// Paged MMD (MMD 4).
constexpr std::uint16_t kPageSelect = 0xC180;
constexpr std::uint16_t kWindowFirst = 0xC200, kWindowLast = 0xC2FF;
constexpr std::uint16_t kSelector = 0xC20B;
constexpr std::uint16_t kSelectedLow = 0xC2EF, kSelectedHigh = 0xC2FF;
constexpr unsigned kPages = 6;

// MMD 28 register 0x8000 | a is register a: the address form of the compact
// selector names the same registers as the window.
std::uint16_t pagedTarget(std::uint16_t registerAddress) {
    return registerAddress & 0x7FFF;
}

bool serdesFailed(std::uint16_t status) {
    return (status & 0x1000) != 0 && (status & 0xF) != 0;
}

std::uint8_t reversed(std::uint8_t value) {
    std::uint8_t result = 0;
    for (int bit = 0; bit < 8; ++bit)
        result = static_cast<std::uint8_t>((result << 1) | ((value >> bit) & 1));
    return result;
}

}  // namespace

ChipModel::ChipModel(const ChipDescription& description) : knobs(description.knobs) {
    for (const auto& [address, value] : description.serdes)
        setSerdes(address, value);
    for (const auto& [address, value] : description.memory)
        setMemoryWord(address, value);
    for (const auto& [address, value] : description.tge)
        setTge(address, value);
    for (const auto& [address, value] : description.paged)
        setPaged(address, value);
}

// --- direct access

std::uint16_t ChipModel::serdes(std::uint16_t registerAddress) const {
    const auto found = serdesRegisters.find(registerAddress);
    return found == serdesRegisters.end() ? 0 : found->second;
}

void ChipModel::setSerdes(std::uint16_t registerAddress, std::uint16_t value) {
    serdesRegisters[registerAddress] = value;
}

std::uint32_t ChipModel::memoryWord(std::uint32_t byteAddress) const {
    const auto found = memoryWords.find(byteAddress & kWordMask);
    return found == memoryWords.end() ? 0 : found->second;
}

void ChipModel::setMemoryWord(std::uint32_t byteAddress, std::uint32_t value) {
    memoryWords[byteAddress & kWordMask] = value;
}

std::uint16_t ChipModel::tge(std::uint16_t registerAddress) const {
    const unsigned block = registerAddress >> 12;
    if (block == 0) return tgeBlock0[registerAddress & 0x1F];
    if (block <= tgeBlocks.size()) return tgeBlocks[block - 1][registerAddress & 0x7F];
    return 0;
}

void ChipModel::setTge(std::uint16_t registerAddress, std::uint16_t value) {
    const unsigned block = registerAddress >> 12;
    if (block == 0)
        tgeBlock0[registerAddress & 0x1F] = value;
    else if (block <= tgeBlocks.size())
        tgeBlocks[block - 1][registerAddress & 0x7F] = value;
}

std::uint16_t ChipModel::paged(std::uint16_t registerAddress) const {
    return registerAddress < pagedRegisters.size() ? pagedRegisters[registerAddress] : 0;
}

void ChipModel::setPaged(std::uint16_t registerAddress, std::uint16_t value) {
    if (registerAddress < pagedRegisters.size()) pagedRegisters[registerAddress] = value;
}

std::uint16_t ChipModel::target(const Phy& phy, unsigned mmd, std::uint16_t registerAddress) const {
    switch (mmd) {
        case kMmdTge:
            return tge(registerAddress);
        case kMmdSerdes:
            return serdes(registerAddress);
        case kMmdPaged:
            return paged(pagedTarget(registerAddress));
        default:
            return phy.clause45(mmd, registerAddress);
    }
}

void ChipModel::setTarget(Phy& phy, unsigned mmd, std::uint16_t registerAddress,
                          std::uint16_t value) {
    switch (mmd) {
        case kMmdTge:
            return setTge(registerAddress, value);
        case kMmdSerdes:
            return setSerdes(registerAddress, value);
        case kMmdPaged:
            return setPaged(pagedTarget(registerAddress), value);
        default:
            return phy.setClause45(mmd, registerAddress, value);
    }
}

// --- what accesses do

void ChipModel::written(Phy& phy, unsigned mmd, std::uint16_t registerAddress,
                        std::uint16_t value) {
    if (mmd == kMmdVendor1) {
        if (registerAddress == kMailboxCommand)
            mailboxCommand(phy);
        else if (registerAddress == kWindowControl)
            memoryCommand(phy, value);
        else
            serdesWritten(phy, registerAddress, value);
    } else if (mmd == kMmdTgeAccess && registerAddress == kTgeCommand) {
        tgeCommand(phy, value);
    } else if (mmd == kMmdPhyXs) {
        pagedWritten(phy, registerAddress, value);
    }
}

std::optional<std::uint16_t> ChipModel::read(Phy& phy, unsigned mmd,
                                             std::uint16_t registerAddress) {
    if (mmd == kMmdVendor1) {
        if (registerAddress == kMailboxStatus && mailboxPending) {
            // This read still answers busy; the next one sees the outcome.
            if (!knobs.mailboxNeverCompletes && --mailboxPollsLeft == 0) completeMailbox(phy);
            return kMailboxBusy;
        }
        if (registerAddress == kSerdesStatus) return knobs.serdesStatus;
        if (registerAddress == kWindowControl) {
            if (memoryBusyLeft == 0) return std::uint16_t{0};
            --memoryBusyLeft;
            return kWindowBusy;
        }
    } else if (mmd == kMmdPhyXs) {
        return pagedRead(phy, registerAddress);
    }
    return std::nullopt;
}

// PIF mailbox: the command names the target MMD in bits 7..0 and the
// direction in bits 15..8; the access is made when the command completes.
// The command register keeps the command word; completion reads it there.
void ChipModel::mailboxCommand(Phy& phy) {
    mailboxPending = true;
    mailboxPollsLeft = knobs.mailboxBusyPolls;
    phy.setClause45(kMmdVendor1, kMailboxStatus, kMailboxBusy);
    if (!knobs.mailboxNeverCompletes && mailboxPollsLeft == 0) completeMailbox(phy);
}

void ChipModel::completeMailbox(Phy& phy) {
    mailboxPending = false;
    const std::uint16_t command = phy.clause45(kMmdVendor1, kMailboxCommand);
    const unsigned mmd = command & 0xFF;
    const std::uint16_t address = phy.clause45(kMmdVendor1, kMailboxAddress);
    phy.setClause45(kMmdVendor1, kMailboxStatus, knobs.mailboxStatus);
    if (knobs.mailboxStatus != kMailboxDone) return;
    if ((command >> 8) == kMailboxRead) {
        phy.setClause45(kMmdVendor1, kMailboxData, target(phy, mmd, address));
    } else if ((command >> 8) == kMailboxWrite) {
        setTarget(phy, mmd, address, phy.clause45(kMmdVendor1, kMailboxData));
    }
}

// SERDES bridge: each access must be enabled first (0xA110 := 1); writing
// the data of a write or the address of a read makes the access.
void ChipModel::serdesWritten(Phy& phy, std::uint16_t registerAddress, std::uint16_t value) {
    if (registerAddress != kSerdesWriteData && registerAddress != kSerdesReadAddress) return;
    const bool enabled = (phy.clause45(kMmdVendor1, kSerdesEnable) & 1) != 0;
    phy.setClause45(kMmdVendor1, kSerdesEnable, 0);
    if (!enabled || serdesFailed(knobs.serdesStatus)) return;
    if (registerAddress == kSerdesWriteData)
        setSerdes(phy.clause45(kMmdVendor1, kSerdesWriteAddress), value);
    else
        phy.setClause45(kMmdVendor1, kSerdesReadData, serdes(value));
}

// TGE: 0x8000 | r stores the data register into block-0 register r, 0xC000
// | r loads it; storing register 0x14 runs a block 1-3 access.
void ChipModel::tgeCommand(Phy& phy, std::uint16_t command) {
    const unsigned block0Register = command & 0x1F;
    if ((command & kTgeOperationMask) == kTgeLoad) {
        phy.setClause45(kMmdTgeAccess, kTgeData, tgeBlock0[block0Register]);
    } else if ((command & kTgeOperationMask) == kTgeStore) {
        tgeBlock0[block0Register] = phy.clause45(kMmdTgeAccess, kTgeData);
        if (block0Register == kTgeBlockAddress) tgeBlockAccess();
    }
}

void ChipModel::tgeBlockAccess() {
    const std::uint16_t word = tgeBlock0[kTgeBlockAddress];
    const unsigned select = (word >> 7) & 3;
    if (select >= tgeBlocks.size()) return;
    std::uint16_t& cell = tgeBlocks[select][word & 0x7F];
    if ((word & kTgeBlockRead) != 0)
        tgeBlock0[kTgeBlockReadData] = cell;
    else if ((word & kTgeBlockWrite) != 0)
        cell = tgeBlock0[kTgeBlockWriteData];
}

// Memory window: a command moves the whole word at the byte address in
// 0x202:0x203 between memory and the data registers (0x204 bits 31..16,
// 0x205 bits 15..0); the control register then reads busy for a while.
void ChipModel::memoryCommand(Phy& phy, std::uint16_t command) {
    const std::uint32_t address =
        (std::uint32_t{phy.clause45(kMmdVendor1, kWindowAddressHigh)} << 16) |
        phy.clause45(kMmdVendor1, kWindowAddressLow);
    if (command == kWindowRead) {
        const std::uint32_t word = memoryWord(address);
        phy.setClause45(kMmdVendor1, kWindowDataHigh, static_cast<std::uint16_t>(word >> 16));
        phy.setClause45(kMmdVendor1, kWindowDataLow, static_cast<std::uint16_t>(word));
    } else if (command == kWindowWrite) {
        setMemoryWord(address, (std::uint32_t{phy.clause45(kMmdVendor1, kWindowDataHigh)} << 16) |
                                   phy.clause45(kMmdVendor1, kWindowDataLow));
    } else {
        return;
    }
    memoryBusyLeft = knobs.memoryWindowBusyPolls;
}

// Paged MMD: bits 2..0 of 0xC180 select the page of the window 0xC200 +
// index. 0xC20B is the compact selector (written bit-reversed: page in bits
// 7..5, index in 4..0), not a window register; while it is armed, 0xC2EF and
// 0xC2FF answer the selected register's low byte and high nibble. Selecting
// a page disarms it.
void ChipModel::pagedWritten(Phy& phy, std::uint16_t registerAddress, std::uint16_t value) {
    if (registerAddress == kPageSelect) {
        pagedSelection.reset();
    } else if (registerAddress == kSelector) {
        const std::uint8_t selector = reversed(static_cast<std::uint8_t>(value));
        pagedSelection = static_cast<std::uint16_t>(((selector >> 5) << 8) | (selector & 0x1F));
    } else if (registerAddress >= kWindowFirst && registerAddress <= kWindowLast) {
        const unsigned page = phy.clause45(kMmdPhyXs, kPageSelect) & 7;
        if (page < kPages)
            setPaged(static_cast<std::uint16_t>((page << 8) | (registerAddress & 0xFF)), value);
    }
}

std::optional<std::uint16_t> ChipModel::pagedRead(Phy& phy, std::uint16_t registerAddress) {
    if (registerAddress < kWindowFirst || registerAddress > kWindowLast ||
        registerAddress == kSelector)
        return std::nullopt;
    if (pagedSelection && (registerAddress == kSelectedLow || registerAddress == kSelectedHigh)) {
        const std::uint16_t value = paged(*pagedSelection) & 0xFFF;
        return static_cast<std::uint16_t>(registerAddress == kSelectedLow ? value & 0xFF
                                                                          : value >> 8);
    }
    const unsigned page = phy.clause45(kMmdPhyXs, kPageSelect) & 7;
    if (page >= kPages) return std::uint16_t{0};
    return paged(static_cast<std::uint16_t>((page << 8) | (registerAddress & 0xFF)));
}

}  // namespace mdiosim
