// A fault campaign on the simulated bench. Two boards are opened; one to
// three of the bench's faults are armed on the first (failing driver calls,
// chunked writes, empty or short reads, wrong sync answers, unplugging with
// or without a replug, the device opened elsewhere); then single accesses,
// queued batches, closes and reopens run on both boards.
//
// Checked on every input:
// - a recorded failure always has its text;
// - a read that recorded no failure returned what the bench's PHY holds, and
//   a batch that recorded none returned one right value per queued read;
// - the other board never fails and always reads right;
// - once the faults are gone and the board has been unplugged and plugged
//   back in, closing and reopening the faulted board works and it reads
//   right again.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DefaultBenchInput.h"
#include "Verdict.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace {

struct BoardUnderTest {
    const char* adapterName;
    const char* serialNumber;
    unsigned phyCount;
    std::uint32_t adapter = 0;  // its index, looked up once
};

// The default bench's boards: K8 with an RGB status LED (its MDIO adapter),
// K8 MDIO, and the older family.
std::array<BoardUnderTest, 3> boards = {
    {{"K8A00001:MDIO", "K8A00001", 4}, {"AA000001", "AA000001", 2}, {"TV00001B", "TV00001B", 2}}};

// Registers the default bench's PHYs hold, as MMD and register.
struct Register {
    std::uint32_t mmd;
    std::uint32_t address;
};
constexpr Register kKnownRegisters[] = {{1, 0}, {1, 1}, {1, 2}, {1, 3},    {3, 2},
                                        {3, 5}, {7, 0}, {7, 3}, {30, 0x20}};
// Registers the campaign writes: vendor MMD 30 holds whatever is written.
constexpr std::uint32_t kScratchMmd = 30;
constexpr std::uint32_t kScratchBase = 0x1000;

// The D2XX functions the library calls on an open or opening board.
constexpr const char* kDriverCalls[] = {"FT_Write",         "FT_Read",
                                        "FT_Close",         "FT_ResetDevice",
                                        "FT_Purge",         "FT_StopInTask",
                                        "FT_RestartInTask", "FT_SetBitMode",
                                        "FT_OpenEx",        "FT_GetDeviceInfo",
                                        "FT_SetTimeouts",   "FT_SetLatencyTimer",
                                        "FT_SetChars",      "FT_SetUSBParameters"};

std::uint16_t benchValue(const BoardUnderTest& board, unsigned phy, std::uint32_t mmd,
                         std::uint32_t address) {
    return mdiosim::bench()
        ->board(board.serialNumber)
        .phy(phy)
        .clause45(mmd, static_cast<std::uint16_t>(address));
}

void checkFailureText() {
    if (!HW_Fail()) return;
    const char* text = HW_Error();
    fuzzing::require(text != nullptr && text[0] != '\0', "a recorded failure has its text");
}

// Whether the call just made recorded a failure; clears it for the next one.
bool failed() {
    checkFailureText();
    const bool failure = HW_Fail() != 0;
    mdiohost_clear_failure();
    return failure;
}

// MDIOHOST_FUZZ_TRACE set: every fault armed and every step is printed, to
// follow a finding's input.
const bool tracing = std::getenv("MDIOHOST_FUZZ_TRACE") != nullptr;

mdiosim::FaultDescription drawFault(FuzzedDataProvider& input, const BoardUnderTest& board) {
    mdiosim::FaultDescription fault;
    fault.serialNumber = board.serialNumber;
    switch (input.ConsumeIntegralInRange(0, 5)) {
        case 0:
            fault.kind = mdiosim::FaultKind::FailCall;
            fault.operation = input.PickValueInArray(kDriverCalls);
            fault.call = input.ConsumeIntegralInRange(1u, 12u);
            fault.times = input.ConsumeIntegralInRange(1u, 3u);
            fault.status = input.ConsumeIntegralInRange(1u, 19u);
            break;
        case 1:
            fault.kind = mdiosim::FaultKind::ChunkedWrites;
            fault.bytes = input.ConsumeIntegralInRange(1u, 64u);
            break;
        case 2:
            fault.kind = mdiosim::FaultKind::ShortReads;
            fault.times = input.ConsumeIntegralInRange(1u, 4u);
            fault.bytes = input.ConsumeIntegralInRange(0u, 8u);
            break;
        case 3:
            fault.kind = mdiosim::FaultKind::WrongSyncAnswers;
            fault.times = input.ConsumeIntegralInRange(1u, 3u);
            break;
        case 4:
            fault.kind = mdiosim::FaultKind::Unplug;
            fault.afterCalls = input.ConsumeIntegralInRange(0u, 40u);
            if (input.ConsumeBool()) fault.replugAfterCalls = input.ConsumeIntegralInRange(0u, 40u);
            break;
        default:
            fault.kind = mdiosim::FaultKind::OpenElsewhere;
            break;
    }
    return fault;
}

class Campaign {
  public:
    Campaign(FuzzedDataProvider& source, BoardUnderTest& faultedBoard, BoardUnderTest& otherBoard)
        : input(source), faulted(faultedBoard), other(otherBoard) {}

    void step() {
        if (input.ConsumeIntegralInRange(0, 15) == 0) {
            // Closing everything stops at the first board that fails to
            // close, which may be the faulted one; the other board is
            // reopened by its next step.
            HW_Close();
            failed();
            return;
        }
        const bool onFaulted = input.ConsumeBool();
        BoardUnderTest& board = onFaulted ? faulted : other;
        if (!onFaulted) {
            // A bystander may have been closed by a close of everything.
            fuzzing::require(HW_OpenAdapter(board.adapter) == 1 && !failed(),
                             "the other board opens", board.adapterName);
        }
        bool failure = false;
        const int operation = input.ConsumeIntegralInRange(0, 6);
        if (tracing) std::fprintf(stderr, "step %d on %s\n", operation, board.adapterName);
        switch (operation) {
            case 0:
            case 1:
                failure = singleRead(board);
                break;
            case 2:
                failure = writeThenRead(board);
                break;
            case 3:
            case 4:
                failure = batch(board, onFaulted);
                break;
            case 5:
                HW_CloseAdapter(board.adapter);
                failure = failed();
                break;
            case 6:
                HW_OpenAdapter(board.adapter);
                failure = failed();
                break;
        }
        if (tracing && failure) std::fprintf(stderr, "  failed: %s\n", HW_Error());
        if (!onFaulted) fuzzing::require(!failure, "the other board is unaffected", HW_Error());
        // After a failed read the engine keeps the failed read's reply entry
        // (its reply may still arrive), and the chip may still hold part of
        // that reply: the board's next replies can belong to earlier reads.
        // That is the library's specified behaviour, so values on the faulted
        // board are checked again only after recover() has power-cycled and
        // reopened it.
        if (onFaulted && failure) faultedUnsure = true;
    }

    // The faults gone and the board unplugged and plugged back in, a close
    // and an open bring it back. The power cycle is what a user does too:
    // after a failed FT_Close the driver may still hold the device, which
    // then cannot be opened again until it is replugged.
    void recover() {
        {
            auto bench = mdiosim::bench();
            bench->clearFaults();
            mdiosim::Board& board = bench->board(faulted.serialNumber);
            board.unplug();
            board.replug();
        }
        HW_CloseAdapter(faulted.adapter);
        mdiohost_clear_failure();
        fuzzing::require(HW_OpenAdapter(faulted.adapter) == 1 && !failed(),
                         "reopening after the faults works", HW_Error());
        faultedUnsure = false;
        // Whatever the failed batches left queued is collected first. A
        // write cut short may have left a PHY inside a frame (the PHYs are
        // not on the adapter and keep their state through its power cycle),
        // so the first frame after the reopen can be taken as the rest of the
        // old one: like a user after such a fault, read each PHY once and
        // trust the reads after that.
        for (unsigned phy = 0; phy < faulted.phyCount; ++phy) {
            HW_BlockOperationExecuteAdapter(faulted.adapter, phy);
            fuzzing::require(!failed(), "the recovered board executes", HW_Error());
            HW_Read(faulted.adapter, phy, kKnownRegisters[0].mmd, kKnownRegisters[0].address);
            fuzzing::require(!failed(), "the recovered board reads", HW_Error());
        }
        fuzzing::require(!singleRead(faulted), "the recovered board reads", HW_Error());
        fuzzing::require(HW_OpenAdapter(other.adapter) == 1 && !failed(), "the other board opens");
        fuzzing::require(!singleRead(other), "the other board reads", HW_Error());
    }

  private:
    unsigned phyOf(const BoardUnderTest& board) {
        return input.ConsumeIntegralInRange(0u, board.phyCount - 1);
    }

    bool singleRead(const BoardUnderTest& board) {
        const unsigned phy = phyOf(board);
        const Register known = input.PickValueInArray(kKnownRegisters);
        const std::uint32_t value = HW_Read(board.adapter, phy, known.mmd, known.address);
        if (failed()) return true;
        if (&board == &faulted && faultedUnsure) return false;
        const std::uint32_t expected = benchValue(board, phy, known.mmd, known.address);
        if (tracing) {
            std::fprintf(stderr, "read PHY %u MMD %u register 0x%X: 0x%X, the bench holds 0x%X\n",
                         phy, known.mmd, known.address, value, expected);
        }
        fuzzing::require(value == expected, "a read without failure is right", board.adapterName);
        return false;
    }

    bool writeThenRead(const BoardUnderTest& board) {
        const unsigned phy = phyOf(board);
        const std::uint32_t address = kScratchBase + input.ConsumeIntegralInRange(0u, 7u);
        const auto value = input.ConsumeIntegral<std::uint16_t>();
        HW_Write(board.adapter, phy, kScratchMmd, address, value);
        if (failed()) return true;
        // Like a read, a write on the faulted board proves nothing until it
        // is reopened: a write cut short earlier may have left a PHY inside
        // a frame, and the next frame's bits finish that one.
        if (&board == &faulted && faultedUnsure) return false;
        fuzzing::require(benchValue(board, phy, kScratchMmd, address) == value,
                         "a write without failure arrives", board.adapterName);
        const std::uint32_t readBack = HW_Read(board.adapter, phy, kScratchMmd, address);
        if (failed()) return true;
        fuzzing::require(readBack == value, "a read after a write is right", board.adapterName);
        return false;
    }

    bool batch(const BoardUnderTest& board, bool onFaulted) {
        const unsigned phy = phyOf(board);
        std::vector<Register> reads;
        const int entries = input.ConsumeIntegralInRange(1, 40);
        for (int entry = 0; entry < entries; ++entry) {
            if (input.ConsumeIntegralInRange(0, 3) == 0) {
                HW_BlockWriteAdapter(board.adapter, phy, kScratchMmd,
                                     kScratchBase + input.ConsumeIntegralInRange(0u, 7u),
                                     input.ConsumeIntegral<std::uint16_t>());
            } else {
                reads.push_back(input.PickValueInArray(kKnownRegisters));
                HW_BlockReadAdapter(board.adapter, phy, reads.back().mmd, reads.back().address);
            }
        }
        // After a failed access the board may still hold its entries (nothing
        // queued is silently lost); a successful execute sends them first.
        if (failed()) return true;
        const std::uint64_t result = HW_BlockOperationExecuteAdapter(board.adapter, phy);
        const std::uint32_t size = HW_BlockReadQueueSize();
        if (failed()) return true;
        if (onFaulted && faultedUnsure) return false;
        const std::string counts = std::string(board.adapterName) + ": " + std::to_string(size) +
                                   " values for " + std::to_string(reads.size()) + " reads";
        fuzzing::require(size == reads.size(), "a batch returns one value per read",
                         counts.c_str());
        const auto* values = reinterpret_cast<const std::uint32_t*>(result);
        for (std::size_t index = 0; index < reads.size(); ++index) {
            fuzzing::require(
                values != nullptr &&
                    values[index] == benchValue(board, phy, reads[index].mmd, reads[index].address),
                "a batch without failure is right", board.adapterName);
        }
        return false;
    }

    FuzzedDataProvider& input;
    BoardUnderTest& faulted;
    BoardUnderTest& other;
    bool faultedUnsure = false;  // a failure on the faulted board since it was last reopened
};

// Which board is faulted and which looks on. Closing the board with the
// status LED waits for its blink thread's current step (up to a second), so
// it takes part in a few pairs only, or the run would mostly wait.
struct BoardPair {
    std::size_t faulted;
    std::size_t other;
};
constexpr BoardPair kBoardPairs[] = {{0, 1}, {1, 0}, {2, 0}, {1, 2}, {1, 2},
                                     {2, 1}, {2, 1}, {1, 2}, {2, 1}, {0, 2}};

constexpr int kMostStepsPerInput = 24;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::driveLinkedBench();
    HW_Initialize();
    HW_NumberOfDevices();
    for (BoardUnderTest& board : boards) {
        board.adapter = HW_DeviceNumber(board.adapterName);
        fuzzing::require(!HW_Fail(), "the default bench lists", board.adapterName);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::startOnFreshDefaultBench();

    FuzzedDataProvider input(data, size);
    const BoardPair pair = input.PickValueInArray(kBoardPairs);
    BoardUnderTest& faulted = boards[pair.faulted];
    BoardUnderTest& other = boards[pair.other];
    for (const BoardUnderTest* board : {&faulted, &other}) {
        fuzzing::require(HW_OpenAdapter(board->adapter) == 1 && !failed(),
                         "a board opens before any fault", board->adapterName);
    }

    const int faultCount = input.ConsumeIntegralInRange(1, 3);
    for (int armed = 0; armed < faultCount; ++armed) {
        const mdiosim::FaultDescription fault = drawFault(input, faulted);
        if (tracing) {
            std::fprintf(stderr,
                         "fault %d on %s: %s call %u times %u status %u bytes %u after %u\n",
                         static_cast<int>(fault.kind), faulted.adapterName, fault.operation.c_str(),
                         fault.call, fault.times, fault.status, fault.bytes, fault.afterCalls);
        }
        mdiosim::bench()->apply(fault);
    }

    Campaign campaign(input, faulted, other);
    for (int step = 0; step < kMostStepsPerInput && input.remaining_bytes() > 0; ++step)
        campaign.step();
    campaign.recover();
    return 0;
}
