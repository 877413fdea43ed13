#include "WaveformRecorder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "BoardHardware.h"
#include "mdiosim/Board.h"
#include "mpsse/MpsseCommands.h"

namespace mdiosim {
namespace {

using FTDI::Mpsse::kPinClock;
using FTDI::Mpsse::kPinDataOut;

constexpr double kNanosecondsPerSecond = 1e9;

// The wires a viewer shows, each with its names: the clock and data wires
// carry MDIO frames and I2C transfers alike. ADBUS2 is joined to ADBUS1.
struct Wire {
    std::uint8_t pin;
    std::vector<const char*> names;
};
const std::vector<Wire> kWires = {
    {kPinClock, {"MDC", "SCL"}}, {kPinDataOut, {"MDIO", "SDA"}},
    {0x08, {"ADBUS3"}},          {0x10, {"GPIOL0"}},
    {0x20, {"GPIOL1"}},          {0x40, {"GPIOL2"}},
    {0x80, {"GPIOL3"}},
};

// VCD identifiers are printable characters from '!': one per wire and board.
std::string identifier(std::size_t board, std::size_t wire) {
    const std::size_t code = board * kWires.size() + wire;
    std::string id;
    for (std::size_t rest = code;; rest = rest / 94 - 1) {
        id += static_cast<char>('!' + rest % 94);
        if (rest < 94) break;
    }
    return id;
}

}  // namespace

// One board's watcher: sees every move of every wire and pulls nothing.
class WaveformRecorder::Probe : public LineListener {
  public:
    Probe(WaveformRecorder& owner, std::size_t index, const MpsseEngine& engine,
          const Counters& counters)
        : LineListener(0xFF, 0xFF),
          recorder(owner),
          position(index),
          mpsse(engine),
          counted(counters) {}

    bool linesChanged(std::uint8_t previous, std::uint8_t current) override {
        ChipState state;
        mpsse.describe(state);
        const double halfPeriod = kNanosecondsPerSecond / (2.0 * state.clockHz);
        // The chip's modeled time moves on after each command; within one
        // the edges step by half periods.
        const double modeled = counted.modeledSeconds() * kNanosecondsPerSecond;
        const bool clockEdge = ((previous ^ current) & kPinClock) != 0;
        if (clockEdge) {
            lastEdge = std::max({lastEdge + halfPeriod, at + halfPeriod / 2, modeled});
            at = lastEdge;
        } else {
            at = std::max({at, lastEdge + halfPeriod / 2, modeled});
        }
        recorder.record(position, static_cast<std::uint64_t>(std::llround(at)), previous, current);
        return false;
    }

  private:
    WaveformRecorder& recorder;
    std::size_t position;
    const MpsseEngine& mpsse;
    const Counters& counted;
    double lastEdge = 0;
    double at = 0;
};

WaveformRecorder::WaveformRecorder(const std::string& path, const std::vector<Board*>& boards)
    : file(std::fopen(path.c_str(), "w")) {
    if (file == nullptr) throw std::runtime_error("cannot write the waveform file '" + path + "'");
    std::vector<Board*> k8;
    for (Board* board : boards) {
        if (!board->isControllerBoard()) k8.push_back(board);
    }
    header(k8);
    for (std::size_t index = 0; index < k8.size(); ++index) {
        BoardHardware& parts = k8[index]->hardware();
        probes.push_back(std::make_unique<Probe>(*this, index, parts.chip.mpsse(), parts.counters));
        parts.chip.lowByte().attach(*probes.back());
    }
    std::fflush(file);
}

WaveformRecorder::~WaveformRecorder() {
    std::fclose(file);
}

void WaveformRecorder::header(const std::vector<Board*>& boards) {
    std::fputs("$version mdiosim $end\n$timescale 1 ns $end\n", file);
    for (std::size_t board = 0; board < boards.size(); ++board) {
        std::fprintf(file, "$scope module %s $end\n", boards[board]->serialNumber().c_str());
        for (std::size_t wire = 0; wire < kWires.size(); ++wire) {
            for (const char* name : kWires[wire].names) {
                std::fprintf(file, "$var wire 1 %s %s $end\n", identifier(board, wire).c_str(),
                             name);
            }
        }
        std::fputs("$upscope $end\n", file);
    }
    std::fputs("$enddefinitions $end\n#0\n$dumpvars\n", file);
    for (std::size_t board = 0; board < boards.size(); ++board) {
        const std::uint8_t levels = boards[board]->hardware().chip.lowByte().levels();
        for (std::size_t wire = 0; wire < kWires.size(); ++wire) {
            std::fprintf(file, "%d%s\n", (levels & kWires[wire].pin) != 0 ? 1 : 0,
                         identifier(board, wire).c_str());
        }
    }
    std::fputs("$end\n", file);
}

void WaveformRecorder::record(std::size_t index, std::uint64_t nanoseconds, std::uint8_t previous,
                              std::uint8_t current) {
    const auto changed = static_cast<std::uint8_t>(previous ^ current);
    bool stamped = false;
    for (std::size_t wire = 0; wire < kWires.size(); ++wire) {
        if ((changed & kWires[wire].pin) == 0) continue;
        if (!stamped) {
            const std::uint64_t time = std::max(nanoseconds, written);
            if (time != written)
                std::fprintf(file, "#%llu\n", static_cast<unsigned long long>(time));
            written = time;
            stamped = true;
        }
        std::fprintf(file, "%d%s\n", (current & kWires[wire].pin) != 0 ? 1 : 0,
                     identifier(index, wire).c_str());
    }
}

}  // namespace mdiosim
