// Bench files: the documented example, mistakes reported with their place,
// and an unusable MDIOSIM_BENCH. (A usable one with a faults section is run
// by mdioctl --sim=FILE in tests/mdioctl.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "Environment.h"
#include "Failure.h"
#include "SimHarness.h"
#include "TemporaryPath.h"

using namespace simtest;

namespace {

// The JSON example of the README, so the documentation stays true.
std::string readmeExample() {
    const std::string text = testing_support::fileText(MDIOSIM_README);
    const std::size_t start = text.find("```json\n");
    const std::size_t end = text.find("```", start + 8);
    return text.substr(start + 8, end - start - 8);
}

std::string failureOf(const std::string& json) {
    return testing_support::failureOf<mdiosim::BenchFileError>(
        [&] { mdiosim::parseBenchJson(json); });
}

}  // namespace

TEST(BenchFile, TheDocumentedExampleBuildsItsBench) {
    mdiosim::loadBenchJson(readmeExample());
    auto bench = mdiosim::bench();
    ASSERT_EQ(bench->boardCount(), 2u);
    mdiosim::Board& k8 = bench->board("K8B00042");
    EXPECT_EQ(k8.phyAddresses(), (std::vector<unsigned>{0, 5, 6}));
    EXPECT_EQ(k8.phy(0).clause22(1), 0x796D);
    EXPECT_EQ(k8.phy(0).clause45(30, 0xC47C), 7);
    EXPECT_EQ(k8.phy(0).register32(0x100), 0xDEADBEEFu);
    EXPECT_EQ(k8.phy(5).requiredPreamble(), 64u);
    mdiosim::Board& older = bench->board("TV00042B");
    EXPECT_TRUE(older.isControllerBoard() && older.openElsewhere());
    EXPECT_EQ(older.boardRegister(5), 2);
    EXPECT_DOUBLE_EQ(bench->usbLatencySeconds(), 125e-6);
    EXPECT_DOUBLE_EQ(bench->timing().mpsseCommandSeconds, 150e-9);
    EXPECT_DOUBLE_EQ(bench->timing().usbPacketSeconds, 10e-6);  // from the pessimistic setting
    // PHY 0's status register shows preamble suppression, PHY 5 says nothing.
    EXPECT_TRUE(k8.phy(0).acceptsPreambleSuppression());
    EXPECT_FALSE(k8.phy(5).acceptsPreambleSuppression());
    EXPECT_FALSE(k8.phy(6).implementsPostReadIncrement());
    EXPECT_TRUE(k8.phy(0).implementsPostReadIncrement());
}

TEST(BenchFile, AStatedAbilityWinsOverTheStatusRegister) {
    const mdiosim::BenchDescription described = mdiosim::parseBenchJson(
        R"({"boards": [{"serialNumber": "A1", "phys": [
              {"address": 0, "clause22": {"1": "0x796D"}, "preambleSuppression": false},
              {"address": 1, "clause22": {"1": "0x792D"}, "preambleSuppression": true},
              {"address": 2, "clause22": {"1": "0x792D"}}]}],
            "timing": "ideal"})");
    const std::vector<mdiosim::PhyDescription>& phys = described.boards[0].phys;
    EXPECT_FALSE(phys[0].acceptsPreambleSuppression);
    EXPECT_TRUE(phys[1].acceptsPreambleSuppression);
    EXPECT_FALSE(phys[2].acceptsPreambleSuppression);
    EXPECT_EQ(described.timing.mpsseCommandSeconds, 0);
    EXPECT_FALSE(described.timing.latencyTimer);
}

// One row per way the loader refuses a value (a wrong type, a number out of
// range, an unknown key...), each at a different depth so the place it names
// is checked too; the fuzz target feeds it everything else.
TEST(BenchFile, MistakesNameWhereAndWhat) {
    const struct {
        const char* json;
        const char* message;
    } rows[] = {
        {R"({"boards": [})", "syntax error"},
        {R"([1, 2])", "bench: expected an object"},
        {R"({"board": []})", "bench: unknown key \"board\""},
        {R"({"boards": [{"description": "K8U MDIO"}]})",
         "boards[0]: a board needs a \"serialNumber\""},
        {R"({"boards": [{"serialNumber": "K8ABCDEFGHIJKLMNO"}]})",
         "boards[0].serialNumber: \"K8ABCDEFGHIJKLMNO\" is longer than 15 characters"},
        {R"({"boards": [{"serialNumber": "A1"}, {"serialNumber": "A1"}]})",
         "boards[1].serialNumber: a second board with serial number \"A1\""},
        {R"({"boards": [{"serialNumber": "A1", "phys": [{"address": 1}, {"address": 1}]}]})",
         "boards[0].phys[1]: a second PHY at address 1"},
        {R"({"boards": [{"serialNumber": "A1", "phys": [{"address": 0, "clause45": {"1": {"2": "0x1FFFF"}}}]}]})",
         "boards[0].phys[0].clause45.1.2: 131071 is out of range (at most 65535)"},
        {R"({"boards": [{"serialNumber": "A1", "phys": [{"address": "two"}]}]})",
         "boards[0].phys[0].address: \"two\" is not a number"},
        {R"({"boards": [{"serialNumber": "A1", "boardRegisters": {"5": 1}}]})",
         "boards[0].boardRegisters: only boards of the older family"},
        {R"({"faults": [{"kind": "unplug", "serialNumber": "X"}]})",
         "faults[0].serialNumber: no board has the serial number \"X\""},
        {R"({"faults": [{"kind": "failCall", "operation": "FT_Frobnicate"}]})",
         "faults[0].operation: no D2XX operation is called \"FT_Frobnicate\""},
        {R"({"faults": [{"kind": "melt"}]})", "faults[0].kind: unknown fault kind \"melt\""},
        {R"({"usbLatencyMicroseconds": -3})", "bench.usbLatencyMicroseconds: expected a number"},
        {R"({"timing": "fast"})",
         "bench.timing: \"fast\" is not \"ideal\", \"optimistic\", \"typical\" or \"pessimistic\""},
        {R"({"timing": {"preset": 2}})", "bench.timing.preset: expected \"ideal\""},
        {R"({"timing": {"mpsseCommandNanoseconds": -1}})",
         "bench.timing.mpsseCommandNanoseconds: expected a number of nanoseconds, 0 or more"},
        {R"({"timing": {"latencyTimer": 1}})", "bench.timing.latencyTimer: expected true or false"},
    };
    for (const auto& row : rows) {
        const std::string message = failureOf(row.json);
        EXPECT_NE(message.find(row.message), std::string::npos) << row.json << "\n" << message;
    }
}

TEST(BenchFile, ValuesTheParserCannotHoldAreNamedByPlace) {
    const struct {
        const char* json;
        const char* message;
    } rows[] = {
        {R"(1e999)", "bench: number overflow parsing '1e999'"},
        {R"([0, -1e999])", "bench[1]: number overflow parsing '-1e999'"},
        {R"({"usbLatencyMicroseconds": 1e999})",
         "bench.usbLatencyMicroseconds: number overflow parsing '1e999'"},
        {R"({"boards": [{"serialNumber": "A1"}, {"serialNumber": "A2", "chipType": 1e400}]})",
         "boards[1].chipType: number overflow parsing '1e400'"},
        {R"({"boards": [{"serialNumber": "A1", "phys": [{"address": 0}, {"address": 1E+999}]}]})",
         "boards[0].phys[1].address: number overflow parsing '1E+999'"},
        {R"({"faults": [{"kind": "unplug"}, {"kind": "failCall", "status": [1, 2, 1e999]}]})",
         "faults[1].status[2]: number overflow parsing '1e999'"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(failureOf(row.json), row.message) << row.json;
    }
}

TEST(BenchFile, UnusableFileIsOneMessageAndNoDevices) {
    const std::string path = testing_support::temporaryPath("mdiosim_bad_bench", ".json");
    std::ofstream(path) << R"({"boards": [{"serialNumber": "A1", "phys": [{"address": 99}]}]})";
    testing_support::setEnvironment("MDIOSIM_BENCH", path);
    testing::internal::CaptureStderr();
    mdiosim::reloadBench();
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("boards[0].phys[0].address: 99 is out of range"), std::string::npos);
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    std::uint32_t count = 99;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), FTDI::D2xx::kOk);
    EXPECT_EQ(count, 0u);

    testing_support::setEnvironment("MDIOSIM_BENCH", path + ".missing");
    testing::internal::CaptureStderr();
    mdiosim::reloadBench();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);
    std::remove(path.c_str());
}
