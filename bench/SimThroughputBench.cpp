// How fast the simulated bench executes MPSSE bytes: the figure that bounds
// every end-to-end test. The stream is what a host sends to read and write
// PHY registers: Clause 45 address + write pairs, Clause 45 address + read
// pairs and Clause 22 reads to four PHYs, in one USB write per batch, with
// the replies read back.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"

using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

extern "C" {
Status FT_OpenEx(void* argument, std::uint32_t flags, Handle* handle);
Status FT_SetBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode);
Status FT_Write(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* written);
Status FT_Read(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* received);
Status FT_Close(Handle handle);
}

namespace {

using Bytes = std::vector<std::uint8_t>;

void append(Bytes& stream, std::initializer_list<std::uint8_t> bytes) {
    stream.insert(stream.end(), bytes);
}

// One MDIO frame as MPSSE commands: idle, 32 preamble ones, start, op, two
// 5-bit fields, then either a written 16-bit value or a read.
void frame(Bytes& stream, unsigned start, unsigned op, unsigned port, unsigned field, bool read,
           std::uint16_t value) {
    append(stream, {0x80, 0x02, 0x03});
    for (int group = 0; group < 4; ++group)
        append(stream, {0x13, 0x07, 0xFF});
    append(stream,
           {0x80, 0x00, 0x03, 0x13, 0x01, static_cast<std::uint8_t>(start << 6), 0x13, 0x01,
            static_cast<std::uint8_t>(op << 6), 0x13, 0x04, static_cast<std::uint8_t>(port << 3),
            0x13, 0x04, static_cast<std::uint8_t>(field << 3)});
    if (read) {
        append(stream, {0x80, 0x00, 0x01, 0x22, 0x01, 0x20, 0x01, 0x00});
    } else {
        append(stream, {0x13, 0x01, 0x80, 0x11, 0x01, 0x00, static_cast<std::uint8_t>(value >> 8),
                        static_cast<std::uint8_t>(value)});
    }
}

struct Batch {
    Bytes stream;
    std::uint32_t replyBytes = 0;
};

Batch mixedBatch(unsigned operations) {
    Batch batch;
    for (unsigned index = 0; index < operations; ++index) {
        const unsigned port = index % 4;
        switch (index % 3) {
            case 0:  // Clause 45 write
                frame(batch.stream, 0, 0, port, 1, false,
                      static_cast<std::uint16_t>(0x8000 + index));
                frame(batch.stream, 0, 1, port, 1, false, static_cast<std::uint16_t>(index));
                break;
            case 1:  // Clause 45 read
                frame(batch.stream, 0, 0, port, 1, false, 0x0002);
                frame(batch.stream, 0, 3, port, 1, true, 0);
                batch.replyBytes += 3;
                break;
            default:  // Clause 22 read
                frame(batch.stream, 1, 2, port, 2, true, 0);
                batch.replyBytes += 3;
                break;
        }
    }
    append(batch.stream, {0x87, 0x80, 0x03, 0x03});
    return batch;
}

void MpsseBytesPerSecond(benchmark::State& state) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    mdiosim::bench()->log().setRecording(false);
    Handle handle = nullptr;
    char serial[] = "K8A00001";
    FT_OpenEx(serial, FTDI::D2xx::kOpenBySerialNumber, &handle);
    FT_SetBitMode(handle, 0, FTDI::D2xx::kBitModeMpsse);

    Batch batch = mixedBatch(static_cast<unsigned>(state.range(0)));
    Bytes replies(batch.replyBytes);
    for (auto _ : state) {
        std::uint32_t done = 0;
        FT_Write(handle, batch.stream.data(), static_cast<std::uint32_t>(batch.stream.size()),
                 &done);
        FT_Read(handle, replies.data(), batch.replyBytes, &done);
        benchmark::DoNotOptimize(replies.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(batch.stream.size()));
    FT_Close(handle);
}
BENCHMARK(MpsseBytesPerSecond)->Arg(1)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
