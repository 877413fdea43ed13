// What a bench is made of, as plain data: boards with their USB identity, the
// PHYs on each board with their register contents, and the faults to arm.
// A bench file (JSON) parses into this; tests build it directly.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "mdiosim/ChipModel.h"
#include "mdiosim/Export.h"
#include "mdiosim/I2cDevice.h"

namespace mdiosim {

struct PhyDescription {
    unsigned address = 0;  // MDIO port address, 0..31
    // Ones the PHY needs on the line before a start bit. IEEE 802.3 asks for 32.
    unsigned preambleBits = 32;
    // A PHY that accepts preamble suppression takes frames with no preamble;
    // its Clause 22 status register (1) shows it in bit 6, whatever `clause22`
    // gives.
    bool acceptsPreambleSuppression = false;
    // Clause 45 op code 10, post-read-increment-address. A PHY without it
    // stays off the line for such a frame: the host reads all ones.
    bool implementsPostReadIncrement = true;
    // The 32-bit register frames' pre-increment adds this to the address pointer.
    std::uint32_t register32Step = 4;
    std::map<unsigned, std::uint16_t> clause22;  // register -> value
    std::map<unsigned, std::map<std::uint16_t, std::uint16_t>>
        clause45;                                        // MMD -> register -> value
    std::map<std::uint32_t, std::uint32_t> registers32;  // address -> value
    ChipDescription chip;                                // the indirect paths' knobs and registers
};

// The faults a bench file can arm; the C++ interface offers the same knobs.
enum class FaultKind {
    FailCall,          // the n-th call of one D2XX operation returns `status`
    ChunkedWrites,     // FT_Write accepts at most `bytes` per call
    ShortReads,        // the next `times` reads return at most `bytes` (0: empty)
    WrongSyncAnswers,  // the next `times` unknown opcodes are answered wrongly
    Unplug,            // unplugged after `afterCalls` D2XX calls, maybe replugged later
    OpenElsewhere,     // another process holds the device open
};

struct FaultDescription {
    FaultKind kind = FaultKind::FailCall;
    std::string serialNumber;  // the board; empty for FailCall means any board
    std::string operation;     // FailCall: the C name, e.g. "FT_Write"
    unsigned call = 1;         // FailCall: 1 is the next call
    unsigned times = 1;  // FailCall: consecutive calls that fail; ShortReads, WrongSyncAnswers
    std::uint32_t status = 4;  // FailCall: the status returned (FT_IO_ERROR by default)
    unsigned bytes = 0;        // ChunkedWrites, ShortReads
    unsigned afterCalls = 0;   // Unplug
    std::optional<unsigned> replugAfterCalls;  // Unplug
};

struct BoardDescription {
    std::string serialNumber;  // at most 15 characters
    std::string description;   // at most 63 characters
    std::uint32_t chipType = 8;
    std::vector<PhyDescription> phys;
    // Registers of the older family's board controller (register 5 selects the port).
    std::map<unsigned, std::uint8_t> boardRegisters;
    // Devices on the I2C bus of a K8 board (mdiosim/I2cDevice.h).
    std::vector<I2cDeviceDescription> i2cDevices;
};

// What the timing model charges beyond the USB round trips and the clock
// cycles. Real chips pay for every MPSSE command (the pause while the MPSSE
// fetches the next one), for every bulk packet a transfer needs beyond the
// first, and, when replies are not flushed with a send-immediate, for the
// latency timer the chip waits before it sends a short packet.
struct TimingModel {
    double mpsseCommandSeconds = 33e-9;  // two cycles of the 60 MHz master clock
    double usbPacketSeconds = 1e-6;      // each bulk packet after the first of a transfer
    bool latencyTimer = true;            // unflushed replies wait for the latency timer
};

// The named settings a bench file chooses with "timing": "ideal" (round trips
// and clock cycles only), "optimistic", "typical" (the default) and
// "pessimistic". Unknown names give no value.
MDIOSIM_API std::optional<TimingModel> timingPreset(std::string_view name);
// The default setting ("typical"), for boards built outside a bench.
MDIOSIM_API const TimingModel& typicalTiming();

struct BenchDescription {
    double usbLatencySeconds = 125e-6;
    TimingModel timing;
    // Where the wires of the K8 boards are written as a VCD file; empty: nowhere.
    std::string waveformFile;
    std::vector<BoardDescription> boards;
    std::vector<FaultDescription> faults;
};

// A bench file that cannot be used; what() names the problem (the caller adds the file).
class MDIOSIM_API BenchFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The bench used when MDIOSIM_BENCH is not set.
MDIOSIM_API BenchDescription defaultBenchDescription();

// Parses and checks a bench file's text; throws BenchFileError.
MDIOSIM_API BenchDescription parseBenchJson(std::string_view text);

// A board whose serial number ends in "B" belongs to the older family: its chip
// is a plain byte pipe to a board controller.
MDIOSIM_API bool isControllerBoard(std::string_view serialNumber);

}  // namespace mdiosim
