// The mdioctl binary as a user runs it, on the default simulated bench.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "TemporaryPath.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

// Runs `mdioctl --sim <arguments>` through the shell, after `environment`
// (NAME=VALUE ...).
ToolRun mdioctl(const std::string& arguments, const std::string& globalOptions = "--sim",
                const std::string& environment = "") {
    const std::string base = testing_support::temporaryPath("mdioctl", "");
    const std::string command = environment + " " + std::string(MDIOCTL_PATH) + " " +
                                globalOptions + " " + arguments + " >" + base + ".out 2>" + base +
                                ".err";
    const int raw = std::system(command.c_str());
    ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing_support::fileText(base + ".out"),
                testing_support::fileText(base + ".err")};
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return run;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A bench file, removed with the test; sim() is the option that loads it.
class BenchFile {
  public:
    explicit BenchFile(const std::string& json)
        : path(testing_support::temporaryPath("bench", ".json")) {
        std::ofstream(path) << json;
    }
    ~BenchFile() { std::remove(path.c_str()); }
    std::string sim() const { return "--sim=" + path; }

    const std::string path;
};

// A bench of one K8 MDIO board with the given PHYs, after any bench settings
// (`"name": value, `).
std::string k8Board(const std::string& phys, const std::string& settings = "") {
    return "{" + settings +
           R"("boards": [{"serialNumber": "K8E00001", "description": "K8D MDIO", "phys": [)" +
           phys + "]}]}";
}

}  // namespace

TEST(CommandLine, ListShowsEveryAdapterWithItsFamily) {
    const ToolRun run = mdioctl("list");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              " 0  AA000001                 K8 MDIO       free\n"
              " 1  K8A00001:I2C             K8 I2C        free\n"
              " 2  K8A00001:MDIO            K8 MDIO       free\n"
              " 3  TV00001B                 older family  free\n");

    const ToolRun json = mdioctl("--json list");
    ASSERT_EQ(json.status, 0);
    const auto document = nlohmann::json::parse(json.out);
    ASSERT_EQ(document["adapters"].size(), 4u);
    EXPECT_EQ(document["adapters"][3]["family"], "older family");
    EXPECT_EQ(document["adapters"][1]["name"], "K8A00001:I2C");
}

// What each command prints on standard output and standard error, and its
// exit status (1: the bench or the library said no). Each run is a fresh
// bench, so a write is shown by what it reports.
TEST(CommandLine, CommandsPrintTheirResultsAndEachFailureOnce) {
    // An absent device leaves SDA high: only its missing acknowledge tells it
    // from a device holding FF bytes.
    const std::string noAnswer =
        "mdioctl: no acknowledge from I2C address 0x33 on adapter 1: no device answers there, "
        "or it is busy\n";
    const struct {
        std::string arguments;
        int status;
        std::string out, err;
    } cases[] = {
        {"read k8a00001:mdio 3 1.0x0002+2", 0, "1.0x0002 = 0x7C0A\n1.0x0003 = 0x4C21\n", ""},
        {"read 3 1 1.2-3", 0, "1.0x0002 = 0x7C0A\n1.0x0003 = 0x4B02\n", ""},  // the older family
        {"read 2 0 c22:2", 0, "c22:2 = 0x7C0A\n", ""},
        // Through the Clause 22 tunnel the same identity comes back.
        {"--clause22-tunnel read 2 0 1.0x0003", 0, "1.0x0003 = 0x4C21\n", ""},
        {"read 2 03 1.010", 0, "1.0x000A = 0x0000\n", ""},  // a leading zero is decimal
        {"read32 K8A00001 3 0 2", 0, "0x00000000 = 0x7C0A4C21\n0x00000004 = 0x00010002\n", ""},
        {"write 2 3 1.0x0000 0x1234", 0, "1.0x0000: 0x1234\n", ""},
        {"write 3 1 7.0x0010 0xBEEF --verify", 0, "7.0x0010: 0xBEEF (read back 0xBEEF)\n", ""},
        // MASK names the bits to keep: the low-power bit set, every other bit kept.
        {"write 2 3 1.0x0000 0x0800/0xF7FF", 0, "1.0x0000: 0x2040 -> 0x2840\n", ""},
        // No PHY answers at address 9: the line floats high.
        {"write 2 9 1.0x0000 0x1234 --verify", 1, "1.0x0000: 0x1234 (read back 0xFFFF)\n",
         "mdioctl: 1.0x0000: wrote 0x1234, read back 0xFFFF\n"},
        {"write32 2 3 0x100 0x12345678 --verify", 0,
         "0x00000100: 0x12345678 (read back 0x12345678)\n", ""},
        {"dump 2 0 1.0-0xF", 0,
         "adapter 2, PHY 0, MMD 1, registers 0x0000-0x000F\n"
         "0x0000: 2040 0006 7C0A 4C21 0000 008B C000 0000\n"
         "0x0008: 0000 0000 0000 0000 0000 0000 0000 0000\n",
         ""},
        {"gpio 0 13 1", 0, "pin 13 := 1\n", ""},
        {"gpio 0 3 1", 1, "", "mdioctl: This pin isn't set as output.\n"},
        {"board 3 1", 0, "board register 1 = 0x13\n", ""},
        {"i2c 1 0x50 write 0 0xAA", 0, "wrote 2 bytes\n", ""},
        {"i2c 1 0x50 read 0 1 4", 0, "4B 38 55 20\n", ""},
        {"i2c 1 0x33 read 0 1 4", 1, "", noAnswer},
        {"i2c 1 0x33 write 0 0xAA", 1, "", noAnswer},
        // The default bench's K8U board: the MDIO bridge and the EEPROM.
        {"i2c K8A00001 scan", 0, "0x10\n0x50\n", ""},
        // A service asked of an adapter without it names both.
        {"board 2 1", 1, "",
         "mdioctl: board needs an adapter of the older family; K8A00001:MDIO is a K8 MDIO "
         "adapter\n"},
        {"gpio TV00001B 3", 1, "",
         "mdioctl: gpio needs a K8 adapter; TV00001B is an adapter of the older family\n"},
        {"i2c 2 0x50 read 0 1 2", 1, "",
         "mdioctl: i2c needs a K8 I2C adapter; K8A00001:MDIO is a K8 MDIO adapter\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = mdioctl(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

// The same results as JSON documents, compared whole (values in decimal).
TEST(CommandLine, JsonDocumentsCarryTheResults) {
    const struct {
        std::string arguments;
        int status;
        const char* document;
    } cases[] = {
        {"--json read 2 3 1.2", 0,
         R"({"adapter": 2, "phy": 3, "registers": [{"mmd": 1, "register": 2, "value": 31754}]})"},
        {"--json read32 2 3 0x100", 0,
         R"({"adapter": 2, "phy": 3, "registers": [{"address": 256, "value": 42405}]})"},
        // Clears bit 15 only: 0x1140 stays.
        {"--json write 2 3 c22:0 0x0000/0x7FFF", 0,
         R"({"adapter": 2, "phy": 3,
             "written": {"before": 4416, "clause": 22, "register": 0, "value": 4416}})"},
        {"--json write 2 9 1.0x0000 0x1234 --verify", 1,
         R"({"adapter": 2, "phy": 9, "written": {"mmd": 1, "readBack": 65535, "register": 0,
                                                 "value": 4660, "verified": false}})"},
        {"--json i2c 1 0x50 read 0 1 2", 0,
         R"({"adapter": 1, "address": 80, "bytes": [75, 56], "register": 0})"},
        {"--json i2c 1 scan", 0, R"({"adapter": 1, "addresses": [16, 80]})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = mdioctl(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(c.document));
    }
}

// The tool routes the MMDs the library reaches indirectly through its default
// adapter, one read for each; every path itself is checked in tests/chipbench.
TEST(CommandLine, IndirectMmdsReachTheChip) {
    const BenchFile bench(k8Board(R"({"address": 3, "chip": {"paged": {"0x0001": "0x0ABC"},
        "serdes": {"0x0005": "0x1234"}, "tge": {"0x0002": "0x5678"},
        "memory": {"0x3FFE0480": "0xCAFEF00D"}}})"));
    const std::vector<std::pair<std::string, std::string>> reads = {
        {"28.0x8001", "0x0ABC"},  // paged MMD, compact selector
        {"27.0x0005", "0x1234"},  // SERDES bridge
        {"11.0x0002", "0x5678"},  // TGE block 0
        {"10.0x0001", "0xCAFE"},  // memory window, high half
    };
    for (const auto& [target, value] : reads) {
        const ToolRun run = mdioctl("read 0 3 " + target, bench.sim());
        EXPECT_EQ(run.out, target + " = " + value + "\n") << run.err;
    }
    const ToolRun run = mdioctl("write 0 3 27.0x0005 0x0042 --verify", bench.sim());
    EXPECT_EQ(run.status, 0) << run.err;
}

// The default bench's K8U PHYs share their wires with I2C and do not take
// frames without preamble; their status register says so: --fast checks,
// says so, and prints the values the plain dump prints. (Clause 22 registers
// are read one at a time, a known register both ways first; each decision
// of an MMD dump is in InProcessTest.)
TEST(CommandLine, FastDumpChecksThePhyAndKeepsThePlainValues) {
    const ToolRun fast = mdioctl("dump 2 0 c22 --fast");
    ASSERT_EQ(fast.status, 0) << fast.err;
    EXPECT_EQ(fast.out, mdioctl("dump 2 0 c22").out);
    EXPECT_EQ(fast.err,
              "mdioctl: note: PHY 0 does not accept frames without preamble (status bit 6); read "
              "the plain way\n");
}

TEST(CommandLine, ScanAndBench) {
    ToolRun run = mdioctl("scan 2");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "PHY 3: Clause 22 id 7C0A:4C21; Clause 45 MMDs 1 (7C0A:4C21)"))
        << run.out;
    EXPECT_FALSE(contains(run.out, "PHY 4"));
    run = mdioctl("scan 2 --vendor-mmds");
    EXPECT_TRUE(contains(run.out, " 30 (")) << run.out;

    run = mdioctl("--json bench 0 1 --reads 200");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto document = nlohmann::json::parse(run.out);
    EXPECT_EQ(document["single"]["reads"], 200);
    EXPECT_EQ(document["single"]["roundTrips"], 200);
    EXPECT_EQ(document["batched"]["roundTrips"], 1);
    EXPECT_LT(document["batched"]["ratioToWireLimit"].get<double>(), 1.1);
}

// A 24C32 takes its two-byte memory address high byte first; the library
// sends a register address low byte first unless mdioctl reverses it.
TEST(CommandLine, I2cReadSendsTheAddressInTheChosenOrder) {
    const BenchFile bench(R"({"boards": [{"serialNumber": "EE000001", "description": "K8U I2C",
        "i2cDevices": [{"kind": "eeprom", "address": "0x50", "model": "24C32",
                        "contents": {"0x0123": "0x5A", "0x0301": "0x3C"}}]}]})");
    const ToolRun msbFirst = mdioctl("i2c 0 0x50 read 0x0123 2 1 --addr-msb-first", bench.sim());
    const ToolRun lsbFirst = mdioctl("i2c 0 0x50 read 0x0123 2 1", bench.sim());
    ASSERT_EQ(msbFirst.status, 0) << msbFirst.err;
    EXPECT_EQ(msbFirst.out, "5A\n");
    EXPECT_EQ(lsbFirst.out, "3C\n");  // 23 01 on the bus: address 0x2301, 0x301 in 4 KiB
}

TEST(CommandLine, UsageErrorsNameTheBadArgument) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"read 2 3 1.0x1G", "mdioctl: bad register '0x1G'"},
        {"read 2 x3 1.2", "mdioctl: bad PHY 'x3'"},
        {"read 2 3 32.2", "mdioctl: bad MMD '32'"},
        {"read 2 3 1.5-2", "mdioctl: bad range '1.5-2'"},
        {"write 2 3 1.2-4 0", "mdioctl: bad register '1.2-4'"},
        {"write 2 3 1.2 0x10000", "mdioctl: bad value '0x10000'"},
        {"read 2 3", "mdioctl: REGISTER is required"},
        {"frobnicate", "mdioctl: unknown command 'frobnicate'\n"},
        {"lst", "mdioctl: unknown command 'lst' (did you mean 'list'?)"},
        {"--bogus list", "mdioctl: unknown option '--bogus'"},
        {"read 2 3 1.2 --bogus", "mdioctl: unknown option '--bogus'"},
        {"", "mdioctl: a command is required"},
        {"--mdc-clock 2.5 list", "mdioctl: bad --mdc-clock '2.5'"},  // the others: Arguments
        // The mask written the other way round is refused, not misread.
        {"write 2 3 1.0x0000 0x0800/0x0800", "MASK names the bits to keep"},
        {"i2c 1 scan extra", "mdioctl: i2c scan takes no arguments"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun run = mdioctl(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_TRUE(contains(run.err, message)) << arguments << ": " << run.err;
        EXPECT_TRUE(contains(run.err, "Usage: mdioctl")) << arguments;
    }
}

TEST(CommandLine, SubcommandHelpHasADescriptionAndAnExample) {
    for (const char* command : {"read", "write", "dump", "diff", "show", "scan", "read32",
                                "write32", "run", "watch", "bench", "gpio", "i2c", "board"}) {
        const ToolRun run = mdioctl(std::string(command) + " --help", "");
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_TRUE(contains(run.out, "Example:\n  mdioctl ")) << command << run.out;
    }
    EXPECT_TRUE(contains(mdioctl("write --help", "").out, "0x8000/0x7FFF"));
}

TEST(CommandLine, UnknownAdaptersAreListedWithoutWaiting) {
    // The library's look-up by name keeps trying for four seconds; the tool
    // asks once. The bound leaves room for a slow sanitized build on a
    // loaded machine and still catches the wait.
    const auto start = std::chrono::steady_clock::now();
    const ToolRun run = mdioctl("read k8a0001:mdio 3 1.2");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "mdioctl: no adapter 'k8a0001:mdio'; adapters found: 0 AA000001, 1 K8A00001:I2C, "
              "2 K8A00001:MDIO, 3 TV00001B\n");
}

TEST(CommandLine, MdcClockIsCheckedAndSetBeforeTheAdapterOpens) {
    // Every form is parsed in Arguments.
    const ToolRun run = mdioctl("--mdc-clock 400k --json bench 0 1 --reads 100");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto document = nlohmann::json::parse(run.out);
    EXPECT_EQ(document["mdcHz"].get<double>(), 4e5);
    // The bench models the MDC the adapter was given: a batch stays near
    // the wire time at that clock.
    EXPECT_LT(document["batched"]["ratioToWireLimit"].get<double>(), 1.1);
}

TEST(CommandLine, AClockVariableTheLibraryMisreadsIsPointedOut) {
    ToolRun run = mdioctl("list", "--sim", "MDIO_CLOCK_HZ=1MHz");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(contains(run.err, "mdioctl: warning: MDIO_CLOCK_HZ='1MHz' is not a whole number"))
        << run.err;
    run = mdioctl("list", "--sim", "MDIO_CLOCK_HZ=2500000");
    EXPECT_EQ(run.err, "");
}

TEST(CommandLine, LibraryFailuresExitWithItsText) {
    // A board that disappears after its first few driver calls.
    const BenchFile bench(R"({"boards": [{"serialNumber": "TV00009B", "description": "Talvik MDIO",
        "chipType": 5, "phys": [{"address": 0}]}],
        "faults": [{"kind": "unplug", "serialNumber": "TV00009B", "afterCalls": 4}]})");
    const ToolRun run = mdioctl("read 0 0 1.2", bench.sim());
    EXPECT_EQ(run.status, 1);
    // Once, from the tool: the library's own echo is switched off.
    EXPECT_EQ(run.err.rfind("mdioctl: Device Communication problem: TV00009B", 0), 0u) << run.err;
    EXPECT_FALSE(contains(run.err, "Error:")) << run.err;
}

TEST(CommandLine, TraceGoesToTheNamedFileOrStandardErrorNeverIntoResults) {
    const std::string trace = testing_support::temporaryPath("mdioctl_trace", ".csv");
    ToolRun run = mdioctl("write 2 1 7.0x10 5", "--sim --trace=" + trace);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(testing_support::fileText(trace),
              "adapter,phy,op,mmd,address,value,\n2,1,MW,07,0010,0005\n");
    std::remove(trace.c_str());

    run = mdioctl("--trace --json read 2 1 7.0x10");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["registers"][0]["value"], 0);
    EXPECT_EQ(run.err,
              "adapter,phy,op,mmd,address,value,\n2,1,AR,07,0010,\n");  // queued: no value yet
}

TEST(CommandLine, ShowDecodesTheStandardRegisters) {
    // 100 Mb/s full duplex forced, link down; a partner that offers pause;
    // Clause 45 PMA/PMD at 1000 Mb/s with its receive link up.
    const BenchFile bench(k8Board(R"({"address": 4, "phyId": "0x01410DD1",
        "clause22": {"0": "0x2100", "1": "0x7949", "4": "0x0DE1", "5": "0x45E1",
                     "9": "0x1A00", "10": "0x4000"},
        "clause45": {"1": {"0": "0x0040", "1": "0x0006", "5": "0x0003", "6": "0x0000"}}})"));
    const ToolRun run = mdioctl("show 0 4", bench.sim());
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"c22:0 control = 0x2100\n", "    speed selection                          100 Mb/s\n",
          "    auto-negotiation enable                  no\n",
          "    duplex                                   full\n", "c22:1 status = 0x7949\n",
          "    link status                              down\n",
          "    OUI bits 3..18                           0x141\n",
          "    model number                             29\n",
          "    revision number                          1\n",
          "    asymmetric pause                         yes\n",
          "    master-slave configuration               master\n",
          "    master-slave resolution                  master\n",
          "1.0x0000 PMA/PMD control 1 = 0x0040\n",
          "    speed selection                          1000 Mb/s\n",
          "    receive link status                      up\n"}) {
        EXPECT_TRUE(contains(run.out, line)) << line;
    }
    // Only the MMDs in the package: no PCS, no AN.
    EXPECT_FALSE(contains(run.out, "PCS")) << run.out;

    const auto document = nlohmann::json::parse(mdioctl("--json show 0 4", bench.sim()).out);
    const auto& control = document["registers"][0];
    EXPECT_EQ(control["name"], "control");
    EXPECT_EQ(control["fields"]["speed selection"], "100 Mb/s");
    EXPECT_EQ(document["registers"][2]["fields"]["OUI bits 3..18"], 0x0141);

    const ToolRun absent = mdioctl("show 0 9", bench.sim());
    EXPECT_EQ(absent.status, 1);
    EXPECT_TRUE(contains(absent.err, "PHY 9 on adapter 0 does not answer")) << absent.err;
}

TEST(CommandLine, ScanShowsTheLink) {
    const BenchFile bench(k8Board(R"({"address": 0, "clause22": {"1": "0x796D"}},
                                     {"address": 1, "clause22": {"1": "0x7969"}})"));
    const ToolRun run = mdioctl("scan 0", bench.sim());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "PHY 0: Clause 22 id 0000:0000; link up\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "PHY 1: Clause 22 id 0000:0000; link down\n")) << run.out;
}

TEST(CommandLine, ScriptsRunInOneSessionAndStopAtAFailedExpect) {
    const std::string script = testing_support::temporaryPath("init", ".mdio");
    std::ofstream(script) << "# low power on, then check it held\n"
                             "write K8A00001:MDIO 3 1.0x0000 0x0800/0xF7FF\n"
                             "sleep 1ms\n"
                             "expect 2 3 1.0x0000 0x2840\n"
                             "expect 2 3 c22:1 0x0004/0xFFFB   # link up, other bits ignored\n"
                             "read 2 3 1.0x0000\n"
                             "expect 2 3 1.0x0000 0x1234\n"
                             "write 2 3 1.0x0000 0x0000\n";
    ToolRun run = mdioctl("run " + script);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "1.0x0000: 0x2040 -> 0x2840\n"
              "1.0x0000 = 0x2840 as expected\n"
              "c22:1 = 0x792D as expected\n"
              "1.0x0000 = 0x2840\n");
    EXPECT_EQ(run.err, "mdioctl: line 7: expected 1.0x0000 = 0x1234, read 0x2840\n");

    run = mdioctl("--json run " + script);
    const auto steps = nlohmann::json::parse(run.out)["steps"];
    ASSERT_EQ(steps.size(), 6u);  // the failed expect is the last step
    EXPECT_EQ(steps[5]["line"], 7);
    EXPECT_EQ(steps[5]["met"], false);

    // A mistake anywhere stops the script before its first step.
    std::ofstream(script) << "write 2 3 1.0x0000 0\nread 2 3 1.0x0000 extra\n";
    run = mdioctl("run " + script);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "mdioctl: line 2: read takes ADAPTER PHY REGISTER")) << run.err;
    std::remove(script.c_str());
}

TEST(CommandLine, DiffComparesSavedDumps) {
    const std::string first = testing_support::temporaryPath("dump", ".txt");
    const std::string second = testing_support::temporaryPath("dump", ".json");
    std::ofstream(first) << mdioctl("dump 2 3 1.0-7").out;                 // the K8 board's PHY
    std::ofstream(second) << mdioctl("--json dump TV00001B 1 1.0-7").out;  // the older board's
    ToolRun run = mdioctl("diff " + first + " " + second, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "1.0x0003: 0x4C21 -> 0x4B02\n");
    EXPECT_EQ(run.err, "mdioctl: 1 register differs\n");
    run = mdioctl("diff " + first + " " + first, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "no differences\n");
    run = mdioctl("--json diff " + second + " " + first, "");
    const auto document = nlohmann::json::parse(run.out);
    EXPECT_EQ(document["changed"][0]["before"], 0x4B02);
    run = mdioctl("diff " + first + " /nonexistent", "");
    EXPECT_EQ(run.status, 2);
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(CommandLine, WatchStopsAfterItsPolls) {
    const auto start = std::chrono::steady_clock::now();
    const ToolRun run = mdioctl("watch 2 3 c22:1 1.0x0001-2 --count 5 --interval 20");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));
    EXPECT_EQ(run.out,
              "[   0.000] c22:1 = 0x792D\n"
              "[   0.000] 1.0x0001 = 0x0006\n"
              "[   0.000] 1.0x0002 = 0x7C0A\n");
}

TEST(CommandLine, EveryReadmeExampleRuns) {
    // Lines of the README that start with "$ mdioctl" are examples of the tool.
    std::ifstream readme(README_PATH);
    int examples = 0;
    for (std::string line; std::getline(readme, line);) {
        const std::string prompt = "$ mdioctl ";
        if (line.rfind(prompt, 0) != 0) continue;
        ++examples;
        const ToolRun run = mdioctl(line.substr(prompt.size()), "");
        EXPECT_EQ(run.status, 0) << line << "\n" << run.err;
    }
    EXPECT_GE(examples, 8);
}

TEST(CommandLine, EveryWorkflowPageExampleRuns) {
    // Each page's "$ " lines run in order in a directory of their own that
    // holds the example files, with mdioctl on the PATH, as a user types them.
    namespace fs = std::filesystem;
    const fs::path pages(DOCS_PATH);
    const std::string tool = fs::path(MDIOCTL_PATH).parent_path().string();
    int examples = 0;
    for (const auto& page : fs::directory_iterator(pages)) {
        if (page.path().extension() != ".md") continue;
        const fs::path directory = testing_support::temporaryPath("workflow", "");
        fs::create_directories(directory);
        fs::copy(pages / "examples", directory);
        std::ifstream text(page.path());
        bool inBlock = false;
        for (std::string line; std::getline(text, line);) {
            if (line.rfind("```", 0) == 0) inBlock = !inBlock;
            if (!inBlock || line.rfind("$ ", 0) != 0) continue;
            ++examples;
            const std::string command = "cd '" + directory.string() + "' && PATH='" + tool +
                                        "':\"$PATH\" && { " + line.substr(2) +
                                        "; } >/dev/null 2>&1";
            const int raw = std::system(command.c_str());
            EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0)
                << page.path().filename() << ": " << line;
        }
        fs::remove_all(directory);
    }
    EXPECT_GE(examples, 20);
}

namespace {

// The MDIO line of `board` sampled at every rising edge of MDC in a VCD
// file, as a PHY sees it: one character per clock.
std::string mdioBitsAtMdcRisingEdges(const std::string& vcd, const std::string& board) {
    std::istringstream lines(vcd);
    std::string line, scope, mdc, mdio;
    while (std::getline(lines, line) && line != "$enddefinitions $end") {
        std::istringstream words(line);
        std::string keyword, kind, width, id, name;
        words >> keyword;
        if (keyword == "$scope") words >> kind >> scope;
        if (keyword != "$var" || scope != board) continue;
        words >> kind >> width >> id >> name;
        if (name == "MDC") mdc = id;
        if (name == "MDIO") mdio = id;
    }
    std::map<std::string, char> level;
    std::string bits;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#' || line[0] == '$') continue;
        const std::string id = line.substr(1);
        if (id == mdc && line[0] == '1' && level[mdc] == '0') bits += level[mdio];
        level[id] = line[0];
    }
    return bits;
}

}  // namespace

TEST(CommandLine, TheBenchWritesItsWiresAsVcd) {
    const std::string vcd = testing_support::temporaryPath("wires", ".vcd");
    ToolRun run = mdioctl("read K8A00001 3 1.0x0002", "--sim --vcd " + vcd);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = testing_support::fileText(vcd);
    EXPECT_EQ(text.rfind("$version mdiosim $end\n$timescale 1 ns $end\n", 0), 0u) << text;
    const std::string preamble(32, '1');
    // IEEE 802.3 Clause 45: an address frame (ST 00, OP 00, PRTAD 3, DEVAD 1,
    // TA 10, the register address 2), then a read frame (OP 11; TA is the
    // released line's 1 and the PHY's 0; then the PHY's data, 0x7C0A).
    const std::string addressFrame =
        preamble + "00" + "00" + "00011" + "00001" + "10" + "0000000000000010";
    const std::string readFrame =
        preamble + "00" + "11" + "00011" + "00001" + "10" + "0111110000001010";
    const std::string bits = mdioBitsAtMdcRisingEdges(text, "K8A00001");
    const std::size_t address = bits.find(addressFrame);
    ASSERT_NE(address, std::string::npos) << bits;
    EXPECT_NE(bits.find(readFrame, address + addressFrame.size()), std::string::npos) << bits;
    // At the 5 MHz default, MDC edges are 100 ns apart.
    EXPECT_NE(text.find("0!\n#"), std::string::npos);

    // The same from a bench file's setting; and --vcd only with the bench.
    const BenchFile bench(k8Board(R"({"address": 3})", R"("vcd": ")" + vcd + R"(", )"));
    std::remove(vcd.c_str());
    run = mdioctl("read 0 3 1.0x0002", bench.sim());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(mdioBitsAtMdcRisingEdges(testing_support::fileText(vcd), "K8E00001")
                  .find(preamble + "00" + "11" + "00011" + "00001" + "10"),
              std::string::npos);
    std::remove(vcd.c_str());
    run = mdioctl("--vcd " + vcd + " list", "");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(contains(run.err, "mdioctl: --vcd needs --sim")) << run.err;
}
