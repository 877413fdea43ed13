// Every D2XX function the library calls, failing with every status a driver
// can return, under each family of exports: the recorded text is exactly the
// one in the tables below, and a board that is not at fault keeps working,
// including a batch it had queued before the failure.
//
// The rows are generated: a family lists the driver functions it calls and
// the action its failure names; every status of kStatuses is tried on each.
// Each row runs on a freshly opened victim; the bystander stays open through
// the whole family, and the victim is unplugged and plugged back in between
// rows, so a failure or an unplug on one board that reached another would
// show on every later row.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

using mdiosim::D2xxOperation;
using Op = D2xxOperation;

struct StatusRow {
    std::uint32_t status;
    const char* text;  // what the library says after the action
};

// The driver's status codes and the words the library gives each; a code
// outside the driver's list has no words.
const StatusRow kStatuses[] = {
    {1, "Invalid handle."},
    {2, "Device not found."},
    {3, "Device not opened."},
    {4, "IO Error."},
    {5, "Insufficient resources."},
    {6, "Invalid parameter."},
    {7, "Invalid baud rate."},
    {8, "Device not opened for erase."},
    {9, "Device not opened for write."},
    {10, "Failed to write to device."},
    {11, "EEPROM read failed."},
    {12, "EEPROM write failed."},
    {13, "EEPROM erase failed."},
    {14, "EEPROM net present."},
    {15, "EEPROM not programmed."},
    {16, "Invalid arguments."},
    {17, "Not supported."},
    {18, "Unknown error."},
    {19, "Device list not ready."},
    {20, ""},
};

// What a failure of one driver function makes of the family's export.
enum class Outcome {
    Connection,  // "Device Communication problem: <context>: <action>: <status text>"
    Fixed,       // exactly <action>, the driver's status dropped
    Ignored,     // no failure: the library goes on without that call
};

struct FunctionRow {
    Op function;
    Outcome outcome;
    const char* action;
};

constexpr FunctionRow connection(Op function, const char* action) {
    return {function, Outcome::Connection, action};
}
constexpr FunctionRow fixed(Op function, const char* action) {
    return {function, Outcome::Fixed, action};
}
constexpr FunctionRow ignored(Op function) {
    return {function, Outcome::Ignored, ""};
}

constexpr const char* kWriteFailed = "Error writing to the device.";
constexpr const char* kReadFailed = "Error reading from the device.";
constexpr const char* kPhyOfK8 = "AA000001";

struct Family {
    const char* name;
    const char* victim;     // adapter name
    const char* context;    // what the failure text names: serial number or adapter name
    const char* bystander;  // an adapter of another board
    bool opensVictimFirst;
    std::function<void(std::uint32_t adapter)> run;
    std::vector<FunctionRow> functions;
};

const FunctionRow kWriteThenRead[] = {connection(Op::Write, kWriteFailed),
                                      connection(Op::Read, kReadFailed)};

const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {"OpenK8",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         false,
         [](std::uint32_t adapter) { HW_OpenAdapter(adapter); },
         {connection(Op::OpenEx, "Couldn't open device."),
          connection(Op::ResetDevice, "Couldn't reset"),
          connection(Op::SetUSBParameters, "Couldn't initialize USB"),
          connection(Op::SetChars, "Couldn't initialize USB"),
          connection(Op::SetTimeouts, "Couldn't initialize USB"),
          connection(Op::SetLatencyTimer, "Couldn't initialize USB"),
          connection(Op::SetBitMode, "Couldn't initialize USB"),
          connection(Op::GetDeviceInfo, "Couldn't get the device info"),
          connection(Op::StopInTask, "Couldn't stop in task"),
          connection(Op::Purge, "Couldn't purge buffers"),
          connection(Op::RestartInTask, "Couldn't restart in task"), kWriteThenRead[0],
          kWriteThenRead[1]}},
        {"OpenOlderFamily",
         "TV00001B",
         "TV00001B",
         kPhyOfK8,
         false,
         [](std::uint32_t adapter) { HW_OpenAdapter(adapter); },
         {connection(Op::OpenEx, "Couldn't open device."), kWriteThenRead[0]}},
        {"ReadK8",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         true,
         [](std::uint32_t adapter) { HW_Read(adapter, 0, 1, 2); },
         {kWriteThenRead[0], kWriteThenRead[1]}},
        {"WriteK8",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         true,
         [](std::uint32_t adapter) { HW_Write(adapter, 0, 1, 0x20, 0x1234); },
         {kWriteThenRead[0]}},  // a write alone waits for no reply
        {"ReadOlderFamily",
         "TV00001B",
         "TV00001B",
         kPhyOfK8,
         true,
         [](std::uint32_t adapter) { HW_Read(adapter, 0, 1, 2); },
         {kWriteThenRead[0], kWriteThenRead[1]}},
        {"BatchK8",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         true,
         [](std::uint32_t adapter) {
             HW_BlockWriteAdapter(adapter, 0, 1, 0x20, 0x1234);
             HW_BlockReadAdapter(adapter, 0, 1, 2);
             HW_BlockReadAdapter(adapter, 0, 1, 3);
             HW_BlockOperationExecuteAdapter(adapter, 0);
         },
         {kWriteThenRead[0], kWriteThenRead[1]}},
        {"BatchOlderFamily",
         "TV00001B",
         "TV00001B",
         kPhyOfK8,
         true,
         [](std::uint32_t adapter) {
             HW_BlockReadAdapter(adapter, 1, 1, 2);
             HW_BlockReadAdapter(adapter, 1, 1, 3);
             HW_BlockOperationExecuteAdapter(adapter, 1);
         },
         {kWriteThenRead[0], kWriteThenRead[1]}},
        {"I2c",
         "K8A00001:I2C",
         "K8A00001",
         "TV00001B",
         true,
         [](std::uint32_t adapter) { i2c_ReadAdapter(adapter, 0x50, 0, 1, 4); },
         {kWriteThenRead[0], kWriteThenRead[1]}},
        {"GpioSet",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         true,
         [](std::uint32_t adapter) { HW_GpioSetAdapter(adapter, 13, 1); },
         {fixed(Op::Write, "FTDI Write Error")}},
        {"GpioGet",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         true,
         [](std::uint32_t adapter) {
             std::uint8_t level = 0;
             HW_GpioGetAdapter(adapter, 13, &level);
         },
         {fixed(Op::Write, "FTDI Transaction Error"), fixed(Op::Read, "FTDI Transaction Error")}},
        {"BoardRegisterRead",
         "TV00001B",
         "TV00001B",
         kPhyOfK8,
         true,
         [](std::uint32_t adapter) { Board_ReadAdapter(adapter, 1); },
         {kWriteThenRead[0], kWriteThenRead[1]}},
        {"BoardRegisterWrite",
         "TV00001B",
         "TV00001B",
         kPhyOfK8,
         true,
         [](std::uint32_t adapter) { Board_WriteAdapter(adapter, 1, 0x5A); },
         {kWriteThenRead[0]}},
        {"CloseK8",
         kPhyOfK8,
         kPhyOfK8,
         "TV00001B",
         true,
         [](std::uint32_t adapter) { HW_CloseAdapter(adapter); },
         {connection(Op::Close, "Couldn't close."), ignored(Op::ResetDevice),
          ignored(Op::StopInTask), ignored(Op::Purge), ignored(Op::RestartInTask)}},
        {"CloseOlderFamily",
         "TV00001B",
         "TV00001B",
         kPhyOfK8,
         true,
         [](std::uint32_t adapter) { HW_CloseAdapter(adapter); },
         {connection(Op::Close, "Couldn't close."), ignored(Op::ResetDevice)}},
    };
    return all;
}

std::string expectedText(const Family& family, const FunctionRow& row, const StatusRow& status) {
    switch (row.outcome) {
        case Outcome::Connection:
            return std::string("Device Communication problem: ") + family.context + ": " +
                   row.action + ": " + status.text;
        case Outcome::Fixed:
            return row.action;
        case Outcome::Ignored:
            return "";
    }
    return "?";
}

std::string failure() {
    return testing_support::recordedFailure();
}

std::string serialOf(const char* adapterName) {
    const std::string name = adapterName;
    return name.substr(0, name.find(':'));
}

// The PHY and register the bystander reads: PHY 1's identifier of MMD 1.
constexpr std::uint32_t kBystanderPhy = 1;
constexpr std::uint32_t kMmd = 1;
constexpr std::uint32_t kIdentifier = 2;

class FaultTable : public testing::TestWithParam<std::size_t> {
  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        mdiosim::reloadBench();
        HW_Initialize();
        ASSERT_EQ(HW_NumberOfDevices(), 4u);
        bystander = HW_DeviceNumber(family().bystander);
        victim = HW_DeviceNumber(family().victim);
        ASSERT_EQ(HW_OpenAdapter(bystander), 1u) << failure();
        expectedIdentifier = mdiosim::bench()
                                 ->board(serialOf(family().bystander))
                                 .phy(kBystanderPhy)
                                 .clause45(kMmd, kIdentifier);
    }

    static const Family& family() { return families()[GetParam()]; }

    // One row: the victim open (unless opening is what fails), one failing
    // call armed, the export run; then the victim closed and power-cycled.
    void runRow(const FunctionRow& row, const StatusRow& status) {
        const Family& under = family();
        const std::string serial = serialOf(under.victim);
        HW_Initialize();
        if (under.opensVictimFirst) {
            ASSERT_EQ(HW_OpenAdapter(victim), 1u) << failure();
        }
        // Queued on the bystander before the victim fails, run after it.
        HW_BlockReadAdapter(bystander, kBystanderPhy, kMmd, kIdentifier);

        // Aimed at this thread: a board with a status LED has a blink thread
        // writing to the same device, which must not take the failure meant
        // for the export.
        mdiosim::bench()->failCall(row.function, 1, status.status, serial, 1,
                                   std::this_thread::get_id());
        under.run(victim);
        EXPECT_EQ(failure(), expectedText(under, row, status));

        HW_Initialize();
        const auto* queued = reinterpret_cast<const std::uint32_t*>(
            HW_BlockOperationExecuteAdapter(bystander, kBystanderPhy));
        ASSERT_NE(queued, nullptr) << "bystander's batch: " << failure();
        EXPECT_EQ(queued[0], expectedIdentifier);
        EXPECT_EQ(HW_Read(bystander, kBystanderPhy, kMmd, kIdentifier), expectedIdentifier);
        EXPECT_EQ(failure(), "") << "on the bystander";

        HW_CloseAdapter(victim);
        auto bench = mdiosim::bench();
        bench->clearFaults();
        bench->board(serial).unplug();
        bench->board(serial).replug();
    }

    std::uint32_t victim = 0;
    std::uint32_t bystander = 0;
    std::uint32_t expectedIdentifier = 0;
};

TEST_P(FaultTable, EveryFunctionFailingWithEveryStatus) {
    for (const FunctionRow& row : family().functions) {
        for (const StatusRow& status : kStatuses) {
            SCOPED_TRACE(std::string(mdiosim::d2xxName(row.function)) + " returning " +
                         std::to_string(status.status));
            runRow(row, status);
            if (HasFatalFailure()) return;
        }
    }
    // And the victim still works after all that.
    HW_Initialize();
    ASSERT_EQ(HW_OpenAdapter(victim), 1u) << failure();
}

std::string familyName(const testing::TestParamInfo<std::size_t>& info) {
    return families()[info.param].name;
}

INSTANTIATE_TEST_SUITE_P(Families, FaultTable, testing::Range<std::size_t>(0, 14), familyName);

TEST(FaultTableSize, EveryFamilyIsInstantiated) {
    std::size_t rows = 0;
    for (const Family& family : families())
        rows += family.functions.size() * std::size(kStatuses);
    EXPECT_EQ(families().size(), 14u);
    RecordProperty("rows", static_cast<int>(rows));
    std::printf("fault table: %zu rows\n", rows);
}

}  // namespace
