// The pieces of the command line that need no bench: adapter look-up,
// suggestions, scripts and saved dumps.
#include <gtest/gtest.h>

#include "AdapterLookup.h"
#include "DumpFormat.h"
#include "FastRead.h"
#include "Script.h"
#include "Suggestion.h"

using mdioctl::LibraryError;
using mdioctl::UsageError;

namespace {

const std::vector<mdioctl::ListedAdapter> kAdapters = {
    {"AA000001", "K8 MDIO"},      {"K8A00001:I2C", "K8 I2C"},   {"K8A00001:MDIO", "K8 MDIO"},
    {"K8A00001:JTAG", "K8 JTAG"}, {"TV00001B", "older family"},
};

std::string failureOf(const std::string& wanted, const mdioctl::AdapterNeed& need) {
    try {
        mdioctl::chooseAdapter(wanted, kAdapters, need);
    } catch (const LibraryError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(AdapterLookup, IndexesNamesAndSerialNumbers) {
    struct Row {
        const char* wanted;
        mdioctl::AdapterNeed need;
        std::uint32_t index;
    };
    for (const Row& row :
         {Row{"4", mdioctl::boardNeed(), 4}, Row{"k8a00001:mdio", mdioctl::mdioNeed("read"), 2},
          Row{"K8A00001", mdioctl::mdioNeed("read"), 2}, Row{"k8a00001", mdioctl::i2cNeed(), 1},
          Row{"aa000001", mdioctl::gpioNeed(), 0}}) {
        EXPECT_EQ(mdioctl::chooseAdapter(row.wanted, kAdapters, row.need), row.index) << row.wanted;
    }
}

TEST(AdapterLookup, FailuresSayWhatExistsOrWhatIsNeeded) {
    const std::string known =
        "adapters found: 0 AA000001, 1 K8A00001:I2C, 2 K8A00001:MDIO, 3 K8A00001:JTAG, 4 TV00001B";
    EXPECT_EQ(failureOf("5", mdioctl::mdioNeed("read")), "no adapter '5'; " + known);
    EXPECT_EQ(failureOf("K8A00002", mdioctl::mdioNeed("read")), "no adapter 'K8A00002'; " + known);
    // A serial number alone needs a protocol to choose by.
    EXPECT_EQ(failureOf("k8a00001", mdioctl::gpioNeed()),
              "board 'k8a00001' has several adapters (K8A00001:I2C, K8A00001:MDIO, "
              "K8A00001:JTAG); name one");
    EXPECT_EQ(failureOf("K8A00001:JTAG", mdioctl::mdioNeed("read")),
              "read needs an adapter that reaches PHYs (K8 MDIO, K8 I2C or the older family); "
              "K8A00001:JTAG is a K8 JTAG adapter");
    // (The other needs' texts are in the command-line tests.)
    EXPECT_THROW(mdioctl::chooseAdapter("0", {}, {}), LibraryError);
}

// Near and far words as the tool shows them are in the command-line tests.
TEST(Suggestion, NearestCommandWhenNearEnough) {
    const std::vector<std::string> commands = {"list", "read", "write", "dump", "diff", "show"};
    EXPECT_EQ(mdioctl::nearestWord("WRITE", commands), "write");
    EXPECT_EQ(mdioctl::nearestWord("x", commands), "");
}

TEST(Script, ParsesEveryOperationAndNamesTheBadLine) {
    const mdioctl::Script script = mdioctl::parseScript(
        "# bring-up\n"
        "write K8A00001:MDIO 3 1.0x0000 0x8000/0x7FFF   # reset, keep the rest\n"
        "\n"
        "sleep 10ms\n"
        "expect 2 3 c22:1 0x0004/0xFFFB\n"
        "read 2 3 1.2+2\n"
        "sleep 2s\n"
        "sleep 5\n");
    ASSERT_EQ(script.size(), 6u);
    EXPECT_EQ(script[0].line, 2u);
    EXPECT_EQ(script[0].value.keep, 0x7FFF);
    EXPECT_EQ(script[1].pause, std::chrono::milliseconds(10));
    EXPECT_EQ(script[2].kind, mdioctl::StepKind::Expect);
    EXPECT_TRUE(script[2].target.clause22);
    EXPECT_EQ(script[3].target.count, 2u);
    EXPECT_EQ(script[4].pause, std::chrono::seconds(2));
    EXPECT_EQ(script[5].pause, std::chrono::milliseconds(5));

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"read 2 3 1.2\nwrit 2 3 1.0 1\n", "line 2: unknown operation 'writ'"},
        {"write 2 3 1.0\n", "line 1: write takes ADAPTER PHY REGISTER VALUE[/MASK]"},
        {"\n\nexpect 2 3 1.0+2 1\n", "line 3: bad register '1.0+2'"},
        {"sleep 2h\n", "line 1: bad duration '2h'"},
        {"sleep 3601s\n", "line 1: bad duration '3601s'"},
        {"write 2 3 1.0 0x8000/0x8000\n", "line 1: bad value"},
    };
    for (const auto& [text, message] : bad) {
        try {
            mdioctl::parseScript(text);
            ADD_FAILURE() << text;
        } catch (const UsageError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << error.what();
        }
    }
}

TEST(DumpFormat, TextAndJsonReadBack) {
    mdioctl::Dump dump{2, 3, mdioctl::RegisterRange{true, 0, 0, 10}, {}};
    for (std::uint16_t i = 0; i < 10; ++i)
        dump.values.push_back(static_cast<std::uint16_t>(i * 0x1111));
    std::string text;
    for (const std::string& line : mdioctl::dumpText(dump))
        text += line + "\n";
    EXPECT_EQ(text,
              "adapter 2, PHY 3, Clause 22, registers 0x0000-0x0009\n"
              "0x0000: 0000 1111 2222 3333 4444 5555 6666 7777\n"
              "0x0008: 8888 9999\n");
    mdioctl::Dump mmd{0, 1, mdioctl::RegisterRange{false, 7, 0x20, 1}, {0xBEEF}};
    const std::string second = mdioctl::dumpText(mmd)[0] + "\n" + mdioctl::dumpText(mmd)[1] + "\n";
    const auto both = mdioctl::parseDumps(text + second, "t");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].values, dump.values);
    EXPECT_TRUE(both[0].range.clause22);
    EXPECT_EQ(both[1].range.mmd, 7u);
    EXPECT_EQ(both[1].range.first, 0x20u);

    const auto fromJson = mdioctl::parseDumps(mdioctl::dumpJson(mmd).dump(), "j");
    ASSERT_EQ(fromJson.size(), 1u);
    EXPECT_EQ(fromJson[0].values, mmd.values);

    for (const char* bad : {"", "0x0000: 1234\n", "hello\n", "{\"adapter\": 1}",
                            "adapter 0, PHY 1, MMD 7, registers 0x0000-0x0001\n0x0008: 0000\n"}) {
        EXPECT_THROW(mdioctl::parseDumps(bad, "bad"), UsageError) << bad;
    }
}

// A PHY without post-read-increment ignores a burst (all ones), or answers
// each read with the register it was pointed at; either must show against
// the plain reads of the checked registers.
TEST(FastRead, BurstsAPhyGetsWrongDisagreeWithThePlainReads) {
    const std::vector<std::uint32_t> registers{0x2040, 0x0006, 0x7C0A, 0x4C21, 0x0000, 0x008B};
    struct Row {
        const char* what;
        std::vector<std::uint32_t> burst;
        bool agrees;
    };
    const Row rows[] = {
        {"every value right", registers, true},
        {"no increment", std::vector<std::uint32_t>(6, 0x2040), false},
        {"frames ignored", std::vector<std::uint32_t>(6, 0xFFFF), false},
        {"all ones after the first", {0x2040, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, false},
        {"silent at the end", {0x2040, 0x0006, 0x7C0A, 0x4C21, 0x0000, 0xFFFF}, false},
    };
    const std::vector<std::uint32_t> offsets = mdioctl::checkedOffsets(6);
    std::vector<std::uint32_t> plain;
    for (const std::uint32_t offset : offsets)
        plain.push_back(registers[offset]);
    for (const Row& row : rows)
        EXPECT_EQ(mdioctl::burstAgrees(offsets, plain.data(), row.burst.data()), row.agrees)
            << row.what;
}
