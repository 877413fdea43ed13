// The chip's register map as the indirect access paths see it: the MMD
// numbers that are not plain MDIO devices for the register access functions,
// and the registers of MMDs 29, 30 and 4 through which those paths reach what
// plain MDIO cannot. Every register is 16 bits wide.
#pragma once

#include <cstdint>

namespace mdiohost::chip {

// --- MMD numbers (Clause 45 device addresses).
namespace Mmd {
inline constexpr std::uint32_t kPhyXs = 4;           // PHY XS; holds the paged MMD registers
inline constexpr std::uint32_t kMemoryWindow = 10;   // 32-bit memory, 16 bits at a time
inline constexpr std::uint32_t kTgeBlocks = 11;      // TGE register blocks 0..3
inline constexpr std::uint32_t kSerdesControl = 27;  // SERDES control registers
inline constexpr std::uint32_t kPaged = 28;          // the paged MMD
inline constexpr std::uint32_t kTgeAccess = 29;      // TGE command and data registers
inline constexpr std::uint32_t kVendor1 = 30;        // mailbox, SERDES bridge, memory window
inline constexpr std::uint32_t kVendor2 = 31;        // holds the delegated register sets
}  // namespace Mmd

// Only the low five bits of an MMD number travel in a Clause 45 frame.
inline constexpr std::uint32_t kMmdMask = 0x1F;

namespace registers {

// --- PIF mailbox (MMD 30): a register of any MMD through four registers.
namespace Mailbox {
inline constexpr std::uint16_t kAddress = 0xC47C;
inline constexpr std::uint16_t kData = 0xC47D;
// Target MMD in bits 7..0, direction in bits 15..8.
inline constexpr std::uint16_t kCommand = 0xC47E;
inline constexpr std::uint16_t kStatus = 0xC47F;

inline constexpr std::uint16_t kCommandRead = 0x0100;
inline constexpr std::uint16_t kCommandWrite = 0x0200;
inline constexpr std::uint16_t kCommandMmdMask = 0x00FF;
inline constexpr std::uint16_t kCommandDirectionShift = 8;

// The host clears the status before a command; the chip leaves it 0 while busy.
inline constexpr std::uint16_t kStatusBusy = 0;
inline constexpr std::uint16_t kStatusDone = 1;
inline constexpr std::uint16_t kStatusError = 2;

// Status reads per command before the host gives up. There is no delay
// between reads: each one is a full MDIO read over USB.
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
// A fuzzing build gives up after a few: on an adapter that is gone, 5001
// failing reads take most of a second, and the path is the same.
inline constexpr std::uint32_t kPollingLimit = 8;
#else
inline constexpr std::uint32_t kPollingLimit = 5001;
#endif
}  // namespace Mailbox

// --- SERDES control register bridge (MMD 30).
namespace SerdesBridge {
inline constexpr std::uint16_t kWriteAddress = 0xA104;
inline constexpr std::uint16_t kWriteData = 0xA105;
inline constexpr std::uint16_t kReadAddress = 0xA108;
inline constexpr std::uint16_t kReadData = 0xA109;
inline constexpr std::uint16_t kReadStart = 0xA10B;  // written 0 before a read
inline constexpr std::uint16_t kEnable = 0xA110;     // written 1 before every access
inline constexpr std::uint16_t kStatus = 0xA111;

inline constexpr std::uint16_t kReadStartValue = 0;
inline constexpr std::uint16_t kEnableValue = 1;
// Bit 12 says an error was reported; bits 3..0 carry its code. Only both
// together (a nonzero code) mean the access failed.
inline constexpr std::uint16_t kStatusErrorReported = 0x1000;
inline constexpr std::uint16_t kStatusCodeMask = 0x000F;

constexpr bool failed(std::uint32_t status) {
    return (status & kStatusErrorReported) != 0 && (status & kStatusCodeMask) != 0;
}
}  // namespace SerdesBridge

// --- TGE register blocks (MMD 11 addresses, reached through MMD 29).
namespace Tge {
inline constexpr std::uint16_t kCommand = 0xC203;
inline constexpr std::uint16_t kData = 0xC204;

// Command words: store the data register into block-0 register r, or load
// block-0 register r into the data register.
inline constexpr std::uint16_t kStoreBlock0 = 0x8000;
inline constexpr std::uint16_t kLoadBlock0 = 0xC000;
inline constexpr std::uint16_t kBlock0RegisterMask = 0x1F;

// Block-0 registers that serve blocks 1 to 3.
inline constexpr std::uint16_t kBlockAddressRegister = 0x14;  // storing it starts the access
inline constexpr std::uint16_t kBlockReadDataRegister = 0x15;
inline constexpr std::uint16_t kBlockWriteDataRegister = 0x17;

// The address word stored into register 0x14: direction, block select
// S = block id - 1 in bits 8..7, the offset in bits 6..0.
inline constexpr std::uint16_t kBlockRead = 0x8000;
inline constexpr std::uint16_t kBlockWrite = 0x4000;
inline constexpr std::uint16_t kBlockSelectShift = 7;
inline constexpr std::uint16_t kBlockSelectMask = 0x3;
inline constexpr std::uint16_t kBlockOffsetMask = 0x7F;

// An MMD 11 register address: block id in bits 15..12, offset in bits 11..0.
inline constexpr std::uint32_t kBlockIdShift = 12;
inline constexpr std::uint32_t kBlockIdMask = 0xF;
inline constexpr std::uint32_t kOffsetMask = 0xFFF;
inline constexpr std::uint32_t kHighestBlockId = 3;
}  // namespace Tge

// --- Memory window (MMD 30): 32-bit chip memory, 16 bits at a time.
namespace MemoryWindow {
inline constexpr std::uint16_t kControl = 0x200;
inline constexpr std::uint16_t kAddressHigh = 0x202;
inline constexpr std::uint16_t kAddressLow = 0x203;
inline constexpr std::uint16_t kDataHigh = 0x204;  // bits 31..16 of the word
inline constexpr std::uint16_t kDataLow = 0x205;   // bits 15..0 of the word
// The 32-bit byte address travels as two 16-bit halves.
inline constexpr std::uint32_t kAddressHighShift = 16;
inline constexpr std::uint32_t kAddressLowMask = 0xFFFF;

inline constexpr std::uint16_t kCommandRead = 0x8000;
inline constexpr std::uint16_t kCommandWrite = 0xC000;
inline constexpr std::uint16_t kBusy = 0x0100;  // bit 8 of the control register
inline constexpr std::uint32_t kBusyPollLimit = 41;

// MMD 10 register r is the 16-bit half at byte address kBase + 2 r: odd
// registers are the upper half of a 32-bit word, even ones the lower half.
inline constexpr std::uint32_t kBase = 0x3FFE0480;
inline constexpr std::uint32_t kBytesPerRegister = 2;
inline constexpr std::uint32_t kUpperHalfFlag = 1;  // the odd registers
}  // namespace MemoryWindow

// --- Paged MMD (MMD 28 addresses, reached through MMD 4).
namespace Paged {
// Bits 2..0 select the page of the window.
inline constexpr std::uint16_t kPageSelect = 0xC180;
inline constexpr std::uint16_t kPageMask = 0x0007;
inline constexpr std::uint16_t kKeepAbovePage = 0xFFF8;
// Window: register kWindowBase + i is register i of the selected page.
inline constexpr std::uint16_t kWindowBase = 0xC200;
inline constexpr std::uint32_t kWindowIndexMask = 0xFF;
inline constexpr std::uint32_t kPageShift = 8;
// Addresses 0x000..0x5FF go through the window: six pages of 256 registers.
inline constexpr std::uint32_t kHighestWindowAddress = 0x5FF;

// The compact selector: addresses with bit 15 set carry a page P in bits
// 11..8 and an index I in bits 7..0. The selector S = P << 5 | I is written
// bit-reversed; the 12-bit value comes back as a low byte in 0xC2EF and a
// high nibble in 0xC2FF.
inline constexpr std::uint32_t kSelectorAddressFlag = 0x8000;
inline constexpr std::uint16_t kSelector = 0xC20B;
inline constexpr std::uint16_t kResultLow = 0xC2EF;
inline constexpr std::uint16_t kResultHigh = 0xC2FF;
inline constexpr std::uint32_t kSelectorPageMask = 0xF;
inline constexpr std::uint32_t kSelectorIndexMask = 0xFF;
inline constexpr std::uint32_t kHighestSelectorPage = 4;
inline constexpr std::uint32_t kHighestSelectorIndex = 25;
inline constexpr std::uint32_t kSelectorPageShift = 5;
inline constexpr std::uint32_t kResultHighMask = 0xF;
inline constexpr std::uint32_t kResultHighShift = 8;
}  // namespace Paged

// --- Clause 45 over Clause 22 (IEEE 802.3 annex 22D): registers 13 and 14.
namespace Clause22 {
inline constexpr std::uint32_t kMmdAccessControl = 13;
inline constexpr std::uint32_t kMmdAccessAddressData = 14;
// Function bits 15..14 of register 13: 00 address, 01 data without post-increment.
inline constexpr std::uint32_t kFunctionAddress = 0x0000;
inline constexpr std::uint32_t kFunctionData = 0x4000;
}  // namespace Clause22

}  // namespace registers
}  // namespace mdiohost::chip
