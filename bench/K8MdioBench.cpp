// Host CPU cost of the K8 MDIO engine: operations queued and executed in
// batches of 1000 against a driver that answers instantly, so only the
// library's own work is measured (the wire time of one Clause 45 read at
// 5 MHz is 25.6 us). Global operator new is replaced by a counting one to
// show that steady-state batches allocate nothing per operation.
#include <benchmark/benchmark.h>

#include "CountingAllocator.h"
#include "InstantDriver.h"
#include "boards/K8Device.h"
#include "mdio/K8MDIO.h"
#include "mdiohost.h"
#include "mpsse/CommandQueue.h"
#include "mpsse/Link.h"

namespace {

constexpr int kBatch = 1000;
constexpr std::uint32_t kPhy = 3;

struct Bench {
    Bench() {
        FTDI::D2xx::installDriver(std::make_unique<bench::InstantDriver>());
        device.handle = &device;  // any non-null handle
        device.engine = std::make_unique<FTDI::K8::MDIO>(&device);
    }
    FTDI::K8::Device device{"BENCH", "BENCH", "K8D MDIO", "MDIO"};
    FTDI::MDIO& engine() { return *device.engine; }
};

template <typename QueueOne>
void runBatches(benchmark::State& state, QueueOne queueOne, bool compact = false) {
    Bench bench;
    FTDI::MDIO& engine = bench.engine();
    static_cast<FTDI::K8::MDIO&>(engine).setCompactEncoding(compact);
    // One batch first: buffers reach their working size.
    for (int i = 0; i < kBatch; ++i)
        queueOne(engine, i);
    engine.execute(kPhy);

    const std::uint64_t allocationsBefore = heapAllocations();
    // The values land in one kept list, as the registry keeps them.
    FTDI::Values values;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; ++i)
            queueOne(engine, i);
        engine.execute(kPhy, values);
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

// The same reads in the compact encoding: fewer bytes to copy per read,
// built bit by bit instead of copied from an image.
void CompactClause45ReadBatch(benchmark::State& state) {
    runBatches(
        state,
        [](FTDI::MDIO& engine, int i) { engine.queueRead(kPhy, 1, static_cast<std::uint16_t>(i)); },
        true);
}

// A whole batch as one burst: one address frame, then post-increment reads.
void Clause45BurstBatch(benchmark::State& state) {
    runBatches(state, [](FTDI::MDIO& engine, int i) {
        if (i == 0) static_cast<FTDI::K8::MDIO&>(engine).queueReadBurst(kPhy, 1, 0, kBatch);
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

// The same batch through the exported block functions, as a host calls them.
void ExportedClause45ReadBatch(benchmark::State& state) {
    FTDI::D2xx::installDriver(std::make_unique<bench::InstantDriver>());
    HW_Initialize();
    HW_Open(bench::kBoardSerialNumber);
    const std::uint32_t adapter = HW_GetDefaultAdapter();
    auto batch = [adapter] {
        for (int i = 0; i < kBatch; ++i)
            HW_BlockReadAdapter(adapter, kPhy, 1, static_cast<std::uint32_t>(i));
        return HW_BlockOperationExecuteAdapter(adapter, kPhy);
    };
    benchmark::DoNotOptimize(batch());  // warm-up
    const std::uint64_t allocationsBefore = heapAllocations();
    for (auto _ : state)
        benchmark::DoNotOptimize(batch());
    const auto operations = static_cast<double>(state.iterations()) * kBatch;
    state.counters["ns_per_op"] =
        benchmark::Counter(operations, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_batch"] =
        static_cast<double>(heapAllocations() - allocationsBefore) /
        static_cast<double>(state.iterations());
    state.counters["failed"] = HW_Fail();
    HW_Close();
}

// One HW_Read: a whole round trip for one register.
void SingleRead(benchmark::State& state) {
    FTDI::D2xx::installDriver(std::make_unique<bench::InstantDriver>());
    HW_Initialize();
    HW_Open(bench::kBoardSerialNumber);
    const std::uint32_t adapter = HW_GetDefaultAdapter();
    benchmark::DoNotOptimize(HW_Read(adapter, kPhy, 1, 2));  // warm-up
    const std::uint64_t allocationsBefore = heapAllocations();
    for (auto _ : state)
        benchmark::DoNotOptimize(HW_Read(adapter, kPhy, 1, 2));
    state.counters["allocs_per_read"] = static_cast<double>(heapAllocations() - allocationsBefore) /
                                        static_cast<double>(state.iterations());
    state.counters["failed"] = HW_Fail();
    HW_Close();
}

// A link that takes every write and reads zeros: what is left is the queue's
// own scatter of replies to their slots.
class NullLink : public FTDI::Mpsse::Link {
  public:
    FTDI::Mpsse::TransferLock& transferLock() override { return lock; }
    void send(const std::uint8_t*, std::uint32_t) override {}
    void receive(std::uint8_t* buffer, std::uint32_t count) override {
        std::fill(buffer, buffer + count, std::uint8_t{0x5A});
    }

  private:
    FTDI::Mpsse::TransferLock lock;
};

void DecodeClause45Replies(benchmark::State& state) {
    NullLink link;
    FTDI::Mpsse::CommandQueue queue;
    FTDI::Mpsse::Values values;
    const FTDI::Mpsse::Framing framing;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kBatch; ++i)
            queue.expect({FTDI::Mpsse::ReplyKind::Mdio16, 3, queue.newValue()});
        state.ResumeTiming();
        queue.sendAndCollect(link, framing);
        queue.takeValues(values);
        benchmark::DoNotOptimize(values.data());
    }
    const auto decoded = static_cast<double>(state.iterations()) * kBatch;
    state.counters["ns_per_value"] =
        benchmark::Counter(decoded, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(Clause45ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(CompactClause45ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Clause45BurstBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Clause45WriteBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Clause22ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(Register32ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExportedClause45ReadBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(SingleRead);
BENCHMARK(DecodeClause45Replies)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
