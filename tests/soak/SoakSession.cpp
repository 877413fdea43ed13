// mdiohost_soak SECONDS SAMPLES.csv [SEED]
//
// A long random session on the simulated bench: single and queued MDIO reads
// and writes, I2C EEPROM transfers, GPIO, board registers, closing and
// reopening, and now and then a fault armed on one board (a driver call
// failing with a random status, short reads, chunked writes, a wrong sync
// answer, an unplug). The bench checks every value: a register is given a
// random value on the bench before the library reads it, and what the library
// writes is read back from the bench. Invariants:
//   - with no failure recorded, every value is right;
//   - a failure always has its text;
//   - a board with no fault armed never fails;
//   - after its fault is cleared and it is plugged in again, a board opens.
// Resident memory and the live heap are sampled into SAMPLES.csv; the run
// fails when either grows between its first quarter and its last.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Environment.h"
#include "RssSampler.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Phy.h"

namespace {

using mdiosim::D2xxOperation;

struct BoardUnderTest {
    const char* serialNumber;
    const char* mdioAdapter;  // null: no MDIO adapter of its own
    std::uint32_t phys;       // PHY addresses 0 .. phys-1
    bool older;               // the older family: board registers, no GPIO
    std::uint32_t mdio = 0, i2c = 0;
};

// The driver functions the library calls, which the faults pick from.
constexpr D2xxOperation kCalledFunctions[] = {
    D2xxOperation::OpenEx,          D2xxOperation::Close,
    D2xxOperation::ResetDevice,     D2xxOperation::SetUSBParameters,
    D2xxOperation::SetChars,        D2xxOperation::SetTimeouts,
    D2xxOperation::SetLatencyTimer, D2xxOperation::SetBitMode,
    D2xxOperation::GetDeviceInfo,   D2xxOperation::StopInTask,
    D2xxOperation::Purge,           D2xxOperation::RestartInTask,
    D2xxOperation::Write,           D2xxOperation::Read,
};

// Resident memory may grow this much between the first quarter and the end of
// a run (allocator and sanitizer bookkeeping settling), no more.
constexpr std::uint64_t kAllowedGrowthKib = 8 * 1024;
#if defined(SOAK_UNDER_ADDRESS_SANITIZER)
// Under AddressSanitizer its allocator keeps growing its own bookkeeping
// slowly while the live heap stays flat (0.1 to 0.3 MiB per 100 s measured
// in ten-minute runs), so an hours-long run gets that much more room; our
// own growth is caught by the live heap check, which has no such allowance.
constexpr std::uint64_t kAllowedSanitizerCreepKibPer100s = 512;
// Its quarantine of freed blocks fills for about the first minute, which in a
// short run is still inside the last quarter: resident memory is compared
// from this point on, and a run too short to reach it is not judged on it.
constexpr double kSanitizerSettledSeconds = 60;
#else
constexpr std::uint64_t kAllowedSanitizerCreepKibPer100s = 0;
constexpr double kSanitizerSettledSeconds = 0;
#endif
// The live heap may grow this much from its highest in the first quarter to
// its highest in the last. The session holds about 1.2 MiB, and those highs
// differ by a few KiB between quarters; a leak of a hundred bytes or two per
// step crosses the bound even in the two-minute run.
constexpr std::uint64_t kAllowedHeapGrowthBytes = 256 * 1024;

class Session {
  public:
    explicit Session(unsigned seed) : random(seed) {}

    bool start() {
        // The bench would record every bus transaction for tests to inspect;
        // the soak checks values instead, and without the records (whose
        // buffer grows to the largest burst between two clearings) the live
        // heap is the library's and the bench's state alone.
        mdiosim::bench()->log().setRecording(false);
        mdiosim::bench()->log().clear();
        HW_Initialize();
        if (HW_NumberOfDevices() != 4) return problem("the default bench should list 4 adapters");
        fillRegisterFiles();
        for (BoardUnderTest& board : boards) {
            if (board.mdioAdapter) board.mdio = HW_DeviceNumber(board.mdioAdapter);
            if (!open(board.mdio)) return false;
        }
        boards[0].i2c = HW_DeviceNumber("K8A00001:I2C");
        return open(boards[0].i2c);
    }

    // One step: mostly plain work on every board, sometimes a fault episode.
    void step() {
        const unsigned choice = pick(100);
        BoardUnderTest& board = boards[pick(3)];
        // E: fault episode, C: close and reopen, W: work; then the board's initial.
        history.push_back(std::string(choice < 8    ? "E"
                                      : choice < 10 ? "C"
                                                    : "W") +
                          board.serialNumber[0]);
        if (history.size() > 6) history.erase(history.begin());
        if (choice < 8) {
            faultEpisode(board);
        } else if (choice < 10) {
            HW_Initialize();
            HW_CloseAdapter(board.mdio);
            expectNoFailure(board, "close");
            open(board.mdio);
        } else {
            HW_Initialize();
            work(board, false);
        }
        ++operations;
        if (operations % kStepsBetweenClearing == 0) forgetBusRecords();
    }

    std::uint64_t operations = 0;
    unsigned violations = 0;

  private:
    // Each board's I2C devices record their transfers, with no switch to
    // stop them; the soak lets the records go now and then.
    static constexpr std::uint64_t kStepsBetweenClearing = 256;
    static void forgetBusRecords() {
        auto bench = mdiosim::bench();
        for (std::size_t board = 0; board < bench->boardCount(); ++board)
            bench->board(board).clearI2cTraffic();
    }

    // The Clause 45 registers the work uses: a single access at one of
    // kRegisters addresses from kFirstRegister, a batch of up to
    // kLongestBatch reads from one of them on.
    static constexpr std::uint16_t kFirstRegister = 0x8000;
    static constexpr unsigned kRegisters = 0x100;
    static constexpr unsigned kLongestBatch = 300;

    // A bench PHY stores a Clause 45 register when it is first written. The
    // work picks addresses at random from a bounded set, so the bench's heap
    // would keep growing ever more slowly as the last few are hit for the
    // first time; given a value up front, every register the soak can reach
    // is stored from the start, and later growth of the live heap is real.
    void fillRegisterFiles() {
        auto bench = mdiosim::bench();
        for (const BoardUnderTest& board : boards) {
            for (std::uint32_t phy = 0; phy < board.phys; ++phy) {
                mdiosim::Phy& registers = bench->board(board.serialNumber).phy(phy);
                for (unsigned offset = 0; offset < kRegisters + kLongestBatch; ++offset) {
                    const auto address = static_cast<std::uint16_t>(kFirstRegister + offset);
                    registers.setClause45(1, address, 0);
                    registers.setClause45(3, address, 0);
                }
            }
        }
    }

    unsigned pick(unsigned below) { return static_cast<unsigned>(random() % below); }

    bool problem(const std::string& what) {
        ++violations;
        std::string steps;
        for (const std::string& step : history)
            steps += " " + step;
        std::fprintf(stderr, "soak: %s%s%s [last steps:%s]\n", what.c_str(), armed.c_str(),
                     armed.empty() ? "" : ")", steps.c_str());
        return false;
    }

    static std::string failure() { return HW_Fail() && HW_Error() ? HW_Error() : ""; }

    bool open(std::uint32_t adapter) {
        HW_Initialize();
        if (HW_OpenAdapter(adapter) == 1) return true;
        return problem("opening adapter " + std::to_string(adapter) + ": " + failure());
    }

    void expectNoFailure(const BoardUnderTest& board, const char* what) {
        if (HW_Fail()) problem(std::string(board.serialNumber) + " " + what + ": " + failure());
    }

    // Checks a value unless a failure was recorded (then only that it has text).
    bool check(const BoardUnderTest& board, bool faulted, const char* what, std::uint32_t got,
               std::uint32_t expected) {
        if (HW_Fail()) {
            if (!faulted)
                return problem(std::string(board.serialNumber) + " " + what +
                               " failed with no fault armed: " + failure());
            if (failure().empty()) return problem(std::string(what) + ": a failure without text");
            return false;
        }
        if (got != expected) {
            char text[128];
            std::snprintf(text, sizeof text, "%s %s read 0x%X, the bench holds 0x%X",
                          board.serialNumber, what, got, expected);
            return problem(text);
        }
        return true;
    }

    // One piece of work on `board`; false once a failure was recorded.
    bool work(BoardUnderTest& board, bool faulted) {
        auto bench = [] { return mdiosim::bench(); };
        const std::uint32_t phy = pick(board.phys);
        const auto address = static_cast<std::uint16_t>(kFirstRegister + pick(kRegisters));
        const auto value = static_cast<std::uint16_t>(random());
        switch (pick(6)) {
            case 0: {  // a single read
                bench()->board(board.serialNumber).phy(phy).setClause45(1, address, value);
                return check(board, faulted, "read", HW_Read(board.mdio, phy, 1, address), value);
            }
            case 1: {  // a single write, read back on the bench
                HW_Write(board.mdio, phy, 1, address, value);
                return check(board, faulted, "write",
                             bench()->board(board.serialNumber).phy(phy).clause45(1, address),
                             value);
            }
            case 2: {  // a batch of reads
                const unsigned count = 1 + pick(kLongestBatch);
                std::vector<std::uint16_t> values(count);
                for (unsigned index = 0; index < count; ++index) {
                    values[index] = static_cast<std::uint16_t>(random());
                    bench()
                        ->board(board.serialNumber)
                        .phy(phy)
                        .setClause45(3, static_cast<std::uint16_t>(address + index), values[index]);
                    HW_BlockReadAdapter(board.mdio, phy, 3, address + index);
                }
                const auto* got = reinterpret_cast<const std::uint32_t*>(
                    HW_BlockOperationExecuteAdapter(board.mdio, phy));
                for (unsigned index = 0; index < count; ++index) {
                    if (!check(board, faulted, "batch", got ? got[index] : 0, values[index])) {
                        return false;
                    }
                }
                return true;
            }
            case 3:
                if (board.older) {  // board registers
                    const auto boardRegister = 0x10 + pick(0x10);
                    Board_WriteAdapter(board.mdio, boardRegister, value & 0xFF);
                    return check(board, faulted, "board register",
                                 Board_ReadAdapter(board.mdio, boardRegister), value & 0xFF);
                }
                if (board.mdioAdapter == std::string("AA000001")) {  // GPIO on the spare pins
                    const std::uint8_t level = value & 1;
                    HW_GpioSetAdapter(board.mdio, 13, level);
                    std::uint8_t readBack = 0xFF;
                    HW_GpioGetAdapter(board.mdio, 13, &readBack);
                    return check(board, faulted, "GPIO", readBack, level);
                }
                [[fallthrough]];
            case 4:
                if (board.i2c != 0) {  // the EEPROM over I2C
                    const std::uint8_t offset = static_cast<std::uint8_t>(0x40 + pick(0x40));
                    const auto data = static_cast<unsigned char>(value);
                    std::vector<unsigned char> write = {offset, data};  // pointer, then data
                    i2c_WriteAdapter(board.i2c, 0x50, write);
                    const std::vector<unsigned char> got =
                        i2c_ReadAdapter(board.i2c, 0x50, offset, 1, 1);
                    return check(board, faulted, "EEPROM", got.empty() ? 0x100 : got[0], data);
                }
                [[fallthrough]];
            default:  // Clause 22
                bench()->board(board.serialNumber).phy(phy).setClause22(pick(16), value);
                return true;
        }
    }

    // One to three faults armed on `board`, some work on it and on the others,
    // then the board power-cycled with its faults cleared and reopened.
    void faultEpisode(BoardUnderTest& victim) {
        {
            auto bench = mdiosim::bench();
            mdiosim::Board& board = bench->board(victim.serialNumber);
            armed = std::string(" (faults on ") + victim.serialNumber + ":";
            for (unsigned fault = 0, faults = 1 + pick(3); fault < faults; ++fault) {
                const unsigned a = pick(64), b = pick(30);
                switch (pick(5)) {
                    case 0: {
                        const D2xxOperation function =
                            kCalledFunctions[pick(std::size(kCalledFunctions))];
                        bench->failCall(function, 1 + a % 4, 1 + b % 20, victim.serialNumber);
                        note(std::string(mdiosim::d2xxName(function)) + " call " +
                             number(1 + a % 4) + " fails with " + number(1 + b % 20));
                        break;
                    }
                    case 1:
                        board.shortReads(1 + a % 4, b % 3);
                        note(number(1 + a % 4) + " reads short to " + number(b % 3) + " bytes");
                        break;
                    case 2:
                        board.chunkWrites(1 + a);
                        note("writes taken " + number(1 + a) + " bytes at a time");
                        break;
                    case 3:
                        board.wrongSyncAnswers(1 + a % 2);
                        note(number(1 + a % 2) + " wrong sync answers");
                        break;
                    default:
                        bench->scheduleUnplug(victim.serialNumber, b);
                        note("unplugged after " + number(b) + " calls");
                        break;
                }
            }
        }
        for (unsigned piece = 0, pieces = 1 + pick(4); piece < pieces; ++piece) {
            HW_Initialize();
            if (!work(victim, true)) break;  // the board is in an unknown state now
        }
        for (BoardUnderTest& other : boards) {
            if (&other == &victim) continue;
            HW_Initialize();
            work(other, false);
        }
        recover(victim);
        armed.clear();
    }

    void note(const std::string& fault) { armed += " " + fault + ";"; }
    static std::string number(unsigned value) { return std::to_string(value); }

    void recover(BoardUnderTest& victim) {
        HW_Initialize();
        HW_CloseAdapter(victim.mdio);
        if (victim.i2c != 0) HW_CloseAdapter(victim.i2c);
        {
            auto bench = mdiosim::bench();
            bench->clearFaults();  // every board's faults, short reads and sync answers too
            mdiosim::Board& board = bench->board(victim.serialNumber);
            board.unplug();
            board.replug();
        }
        open(victim.mdio);
        if (victim.i2c != 0) open(victim.i2c);
        // An unplug can cut an MDIO frame short; the PHYs (powered apart from
        // the USB side) are then still inside it, and the next frame's
        // preamble goes to finish it. One throwaway read per PHY puts every
        // PHY back in step before values are checked again.
        for (std::uint32_t phy = 0; phy < victim.phys; ++phy)
            HW_Read(victim.mdio, phy, 1, 2);
        HW_Initialize();
    }

    std::mt19937 random;
    std::vector<std::string> history;  // the last few steps, for messages
    std::string armed;                 // the faults of the running episode, for messages
    std::vector<BoardUnderTest> boards = {
        {"K8A00001", "K8A00001:MDIO", 4, false},
        {"AA000001", "AA000001", 2, false},
        {"TV00001B", "TV00001B", 2, true},
    };
};

using Samples = std::vector<soak::RssSampler::Sample>;

// The highest of `measure` over samples [from, to).
template <typename Measure>
std::uint64_t highest(const Samples& samples, std::size_t from, std::size_t to, Measure measure) {
    std::uint64_t most = 0;
    for (std::size_t index = from; index < to; ++index)
        most = std::max<std::uint64_t>(most, measure(samples[index]));
    return most;
}

bool residentStayedFlat(const Samples& samples) {
    const std::size_t lastQuarter = samples.size() * 3 / 4;
    std::size_t settled = samples.size() / 4;
    while (settled < lastQuarter && samples[settled].seconds < kSanitizerSettledSeconds)
        ++settled;
    if (samples.size() < 8 || settled == lastQuarter) {
        std::printf("soak: too short to judge resident memory\n");
        return true;
    }
    const std::uint64_t most = highest(samples, lastQuarter, samples.size(),
                                       [](const auto& sample) { return sample.kib; });
    const double sinceSettled = samples.back().seconds - samples[settled].seconds;
    const std::uint64_t allowed =
        kAllowedGrowthKib +
        static_cast<std::uint64_t>(sinceSettled / 100 * kAllowedSanitizerCreepKibPer100s);
    std::printf(
        "soak: resident %llu KiB after %.0f s, at most %llu KiB in the last quarter "
        "(%llu KiB of growth allowed)\n",
        static_cast<unsigned long long>(samples[settled].kib), samples[settled].seconds,
        static_cast<unsigned long long>(most), static_cast<unsigned long long>(allowed));
    return most <= samples[settled].kib + allowed;
}

bool liveHeapStayedFlat(const Samples& samples) {
    if (samples.size() < 8) return true;
    if (!samples.front().heapBytes) {
        std::printf("soak: this allocator does not tell its live heap\n");
        return true;
    }
    const std::size_t quarter = samples.size() / 4;
    const auto heap = [](const auto& sample) { return sample.heapBytes.value_or(0); };
    const std::uint64_t first = highest(samples, 0, quarter, heap);
    const std::uint64_t last = highest(samples, samples.size() - quarter, samples.size(), heap);
    std::printf(
        "soak: live heap at most %llu KiB in the first quarter, at most %llu KiB in the "
        "last\n",
        static_cast<unsigned long long>(first / 1024),
        static_cast<unsigned long long>(last / 1024));
    return last <= first + kAllowedHeapGrowthBytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SECONDS SAMPLES.csv [SEED]\n", argv[0]);
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 0))
                                   : std::random_device{}();
    testing_support::setEnvironment("MDIOHOST_D2XX", MDIOSIM_PATH);
    // A sample every second of a short run, about 600 samples of a long one.
    const auto interval = std::chrono::milliseconds(
        std::max<long long>(1000, static_cast<long long>(seconds * 1000 / 600)));
    soak::RssSampler sampler(argv[2], interval);
    if (!sampler.usable()) {
        std::fprintf(stderr, "soak: cannot write %s\n", argv[2]);
        return 2;
    }
    std::printf("soak: %.0f s, seed %u\n", seconds, seed);
    std::fflush(stdout);

    Session session(seed);
    if (!session.start()) return 1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end && session.violations < 20) {
        session.step();
        sampler.poll(session.operations);
    }
    sampler.poll(session.operations, true);
    HW_Close();

    std::printf("soak: %llu operations, %u violations\n",
                static_cast<unsigned long long>(session.operations), session.violations);
    const bool residentFlat = residentStayedFlat(sampler.samples);
    if (!residentFlat) std::fprintf(stderr, "soak: resident memory grew\n");
    const bool heapFlat = liveHeapStayedFlat(sampler.samples);
    if (!heapFlat) std::fprintf(stderr, "soak: the live heap grew\n");
    return session.violations == 0 && residentFlat && heapFlat ? 0 : 1;
}
