// Instructions the host spends per operation, counted with callgrind rather
// than timed: the count does not depend on the machine's load. Each measured
// function runs whole batches after a warm-up outside it, and callgrind
// collects only inside it:
//
//   valgrind --tool=callgrind --callgrind-out-file=/dev/null
//            --toggle-collect=measured_* build/bench/bench_instructions engine
//
// and the "Collected" total divided by the operations printed gives
// instructions per operation. bench/count_instructions.sh runs all three.
#include <cstdio>
#include <cstring>
#include <memory>

#include "InstantDriver.h"
#include "boards/K8Device.h"
#include "mdio/K8MDIO.h"
#include "mdiohost.h"

namespace {

constexpr int kBatch = 1000;
constexpr int kBatches = 20;
constexpr std::uint32_t kPhy = 3;

}  // namespace

// Queued Clause 45 reads and their execute, on the engine.
extern "C" __attribute__((noinline)) void measured_engine(FTDI::MDIO& engine,
                                                          FTDI::Values& values) {
    for (int batch = 0; batch < kBatches; ++batch) {
        for (int i = 0; i < kBatch; ++i)
            engine.queueRead(kPhy, 1, static_cast<std::uint16_t>(i));
        engine.execute(kPhy, values);
    }
}

// The same through the exported block functions.
extern "C" __attribute__((noinline)) void measured_exports(std::uint32_t adapter) {
    for (int batch = 0; batch < kBatches; ++batch) {
        for (int i = 0; i < kBatch; ++i)
            HW_BlockReadAdapter(adapter, kPhy, 1, static_cast<std::uint32_t>(i));
        HW_BlockOperationExecuteAdapter(adapter, kPhy);
    }
}

// Single reads, each a round trip of its own.
extern "C" __attribute__((noinline)) void measured_single(std::uint32_t adapter) {
    for (int i = 0; i < kBatch; ++i)
        HW_Read(adapter, kPhy, 1, 2);
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    FTDI::D2xx::installDriver(std::make_unique<bench::InstantDriver>());
    if (std::strcmp(mode, "engine") == 0) {
        FTDI::K8::Device device{"BENCH", "BENCH", bench::kBoardDescription, "MDIO"};
        device.handle = &device;
        device.engine = std::make_unique<FTDI::K8::MDIO>(&device);
        FTDI::Values values;
        for (int i = 0; i < kBatch; ++i)  // warm-up: buffers reach their size
            device.engine->queueRead(kPhy, 1, static_cast<std::uint16_t>(i));
        device.engine->execute(kPhy, values);
        measured_engine(*device.engine, values);
        std::printf("operations: %d\n", kBatch * kBatches);
        return 0;
    }
    HW_Initialize();
    HW_Open(bench::kBoardSerialNumber);
    const std::uint32_t adapter = HW_GetDefaultAdapter();
    if (std::strcmp(mode, "exports") == 0) {
        for (int i = 0; i < kBatch; ++i)
            HW_BlockReadAdapter(adapter, kPhy, 1, static_cast<std::uint32_t>(i));
        HW_BlockOperationExecuteAdapter(adapter, kPhy);
        measured_exports(adapter);
        std::printf("operations: %d\n", kBatch * kBatches);
    } else if (std::strcmp(mode, "single") == 0) {
        HW_Read(adapter, kPhy, 1, 2);
        measured_single(adapter);
        std::printf("operations: %d\n", kBatch);
    } else {
        std::fprintf(stderr, "usage: bench_instructions engine|exports|single\n");
        return 2;
    }
    const int failed = static_cast<int>(HW_Fail());
    HW_Close();
    return failed;
}
