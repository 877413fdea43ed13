// Writes the wires the bench models as a Value Change Dump (IEEE 1364 VCD),
// for a waveform viewer: on every K8 board the low byte of the FTDI chip, MDC
// and MDIO (the same wires are SCL and SDA to the I2C bus) and ADBUS3..7.
//
// Time is modeled, in nanoseconds: each clock edge comes half a period of the
// programmed clock after the previous one, a data change half-way between
// two clock edges (where the chip sets data up), and a USB round trip or
// other modeled wait shows as the gap it would be on the wire. The file is a
// C stream, so it is complete when the process exits normally even though
// the process-wide bench is never destroyed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "LineListener.h"

namespace mdiosim {

class Board;
class MpsseEngine;
struct Counters;

class WaveformRecorder {
  public:
    // Opens `path` and watches the wires of every K8 board in `boards`.
    // Throws std::runtime_error when the file cannot be written.
    WaveformRecorder(const std::string& path, const std::vector<Board*>& boards);
    ~WaveformRecorder();
    WaveformRecorder(const WaveformRecorder&) = delete;
    WaveformRecorder& operator=(const WaveformRecorder&) = delete;

  private:
    class Probe;
    friend class Probe;

    void header(const std::vector<Board*>& boards);
    // Writes the changed wires of probe `index` at `nanoseconds` (never
    // before the last time written: the boards' clocks run apart).
    void record(std::size_t index, std::uint64_t nanoseconds, std::uint8_t previous,
                std::uint8_t current);

    std::FILE* file;
    std::uint64_t written = 0;  // the last time stamp in the file
    std::vector<std::unique_ptr<Probe>> probes;
};

}  // namespace mdiosim
