// Host CPU cost of the K8 MDIO engine: operations queued and executed in
// batches of 1000 against a driver that answers instantly, so only the
// library's own work is measured (the wire time of one Clause 45 read at
// 5 MHz is 25.6 us). Global operator new is replaced by a counting one to
// show that steady-state batches allocate nothing per operation.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "CountingAllocator.h"
#include "ftdi/K8Device.h"
#include "ftdi/MpsseCommands.h"
#include "ftdi/d2xx/Driver.h"
#include "mdio/K8MDIO.h"

namespace {

using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

// Accepts every write whole and answers every read at once: zeros, or FA AB
// after the sync probe.
class InstantDriver : public FTDI::D2xx::Driver {
  public:
    Status createDeviceInfoList(std::uint32_t& count) override {
        count = 0;
        return 0;
    }
    Status getDeviceInfoList(FTDI::D2xx::DeviceListNode*, std::uint32_t& count) override {
        count = 0;
        return 0;
    }
    Status openBySerialNumber(const char*, Handle&) override { return 0; }
    Status close(Handle) override { return 0; }
    Status resetDevice(Handle) override { return 0; }
    Status setUsbParameters(Handle, std::uint32_t, std::uint32_t) override { return 0; }
    Status setChars(Handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {
        return 0;
    }
    Status setTimeouts(Handle, std::uint32_t, std::uint32_t) override { return 0; }
    Status setLatencyTimer(Handle, std::uint8_t) override { return 0; }
    Status setBitMode(Handle, std::uint8_t, std::uint8_t) override { return 0; }
    Status getDeviceInfo(Handle, std::uint32_t& type, std::uint32_t& id, char*, char*) override {
        type = FTDI::D2xx::kChipTypeFt232h;
        id = 0;
        return 0;
    }
    Status stopInTask(Handle) override { return 0; }
    Status purge(Handle, std::uint32_t) override { return 0; }
    Status restartInTask(Handle) override { return 0; }
    Status write(Handle, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t& written) override {
        syncProbed = count == 1 && bytes[0] == FTDI::Mpsse::kSyncProbe;
        written = count;
        return 0;
    }
    Status read(Handle, std::uint8_t* buffer, std::uint32_t count,
                std::uint32_t& received) override {
        std::fill(buffer, buffer + count, 0);
        if (syncProbed && count == 2) {
            buffer[0] = FTDI::Mpsse::kBadCommandReply;
            buffer[1] = FTDI::Mpsse::kSyncProbe;
        }
        received = count;
        return 0;
    }

  private:
    bool syncProbed = false;
};

constexpr int kBatch = 1000;
constexpr std::uint32_t kPhy = 3;

struct Bench {
    Bench() {
        FTDI::D2xx::installDriver(std::make_unique<InstantDriver>());
        device.handle = &device;  // any non-null handle
        device.engine = std::make_unique<FTDI::K8::MDIO>(&device);
    }
    FTDI::K8::Device device{"BENCH", "BENCH", "K8D MDIO", "MDIO"};
    FTDI::MDIO& engine() { return *device.engine; }
};

template <typename QueueOne>
void runBatches(benchmark::State& state, QueueOne queueOne) {
    Bench bench;
    FTDI::MDIO& engine = bench.engine();
    // One batch first: buffers reach their working size.
    for (int i = 0; i < kBatch; ++i)
        queueOne(engine, i);
    benchmark::DoNotOptimize(engine.execute(kPhy));

    const std::uint64_t allocationsBefore = heapAllocations();
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i)
            queueOne(engine, i);
        FTDI::Values values = engine.execute(kPhy);
        benchmark::DoNotOptimize(values.data());
    }
    const auto operations = static_cast<double>(state.iterations()) * kBatch;
    state.counters["ns_per_op"] =
        benchmark::Counter(operations, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_op"] =
        static_cast<double>(heapAllocations() - allocationsBefore) / operations;
    state.counters["allocs_per_batch"] =
        static_cast<double>(heapAllocations() - allocationsBefore) /
        static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(operations));
}

void Clause45ReadBatch(benchmark::State& state) {
    runBatches(state, [](FTDI::MDIO& engine, int i) {
        engine.queueRead(kPhy, 1, static_cast<std::uint16_t>(i));
    });
}

void Clause45WriteBatch(benchmark::State& state) {
    runBatches(state, [](FTDI::MDIO& engine, int i) {
        engine.queueWrite(kPhy, 1, static_cast<std::uint16_t>(i), 0x1234);
    });
}

void Clause22ReadBatch(benchmark::State& state) {
    runBatches(state, [](FTDI::MDIO& engine, int i) {
        engine.queueReadC22(kPhy, static_cast<std::uint8_t>(i & 0x1F));
    });
}

void Register32ReadBatch(benchmark::State& state) {
    runBatches(state, [](FTDI::MDIO& engine, int i) {
        engine.queueRead32(kPhy, static_cast<std::uint32_t>(i) * 4);
    });
}

}  // namespace

BENCHMARK(Clause45ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Clause45WriteBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Clause22ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Register32ReadBatch)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
