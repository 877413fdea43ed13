// The bench's I2C bus decodes whatever the lines do, not the library's byte
// pattern: these streams use one command per bus state and shift bytes as
// eight single bits, and the devices still see START, repeated START, STOP,
// bytes and acknowledges.
#include <gtest/gtest.h>

#include "Failure.h"
#include "SimHarness.h"

using namespace simtest;
using mdiosim::I2cDeviceDescription;
using mdiosim::I2cDeviceKind;
using mdiosim::I2cTransfer;

namespace {

// SCL is ADBUS0, SDA out ADBUS1; a 1 releases SDA.
Bytes lines(std::uint8_t levels) {
    return {0x80, levels, 0x03};
}
const Bytes kStart = lines(0x03) + lines(0x01) + lines(0x00);
const Bytes kRepeatedStart = lines(0x02) + lines(0x03) + lines(0x01) + lines(0x00);
const Bytes kStop = lines(0x00) + lines(0x01) + lines(0x03);

// Eight bits out on the falling edge, then SDA released and the acknowledge
// clocked in: one reply byte, the bit in bit 0.
Bytes byteOut(std::uint8_t byte) {
    return Bytes{0x13, 0x07, byte} + lines(0x02) + Bytes{0x22, 0x00};
}
// Eight bits in, then the master's acknowledge (or not).
Bytes byteIn(bool acknowledge) {
    return lines(0x02) +
           Bytes{0x22, 0x07, 0x13, 0x00, acknowledge ? std::uint8_t{0x00} : std::uint8_t{0xFF}};
}

mdiosim::BenchDescription benchWithI2c() {
    mdiosim::BenchDescription description = k8Bench({1});
    I2cDeviceDescription eeprom;
    eeprom.address = 0x50;
    eeprom.size = 1024;
    eeprom.addressBytes = 2;
    eeprom.contents = {{0x0100, 0x11}};
    description.boards[0].i2cDevices.push_back(eeprom);
    return description;
}

class I2cBus : public testing::Test {
  protected:
    UseBench bench{benchWithI2c()};
    OpenDevice device{"K8T00001"};
    mdiosim::Board& board() { return mdiosim::bench()->board(0); }
};

}  // namespace

// (Writes, with one and two address bytes, are in EepromParts below.)
TEST_F(I2cBus, RepeatedStartReadOfAnEeprom) {
    // Address 0x0100, a repeated START, two bytes in: acknowledged, then not.
    device.write(kStart + byteOut(0xA0) + byteOut(0x01) + byteOut(0x00) + kRepeatedStart +
                 byteOut(0xA1) + byteIn(true) + byteIn(false) + kStop + Bytes{0x87});
    EXPECT_EQ(device.read(5), (Bytes{0, 0, 0, 0, 0x11}));
    EXPECT_EQ(device.read(1), (Bytes{0xFF}));  // offset 0x101 was never written
    EXPECT_EQ(board().i2cTraffic(), (std::vector<I2cTransfer>{{0x50, false, true, {0x01, 0x00}},
                                                              {0x50, true, true, {0x11, 0xFF}}}));
}

// A PHY answering a read changes MDIO while MDC is high, which looks like
// START and STOP to the I2C devices on the same wires. Data that spells the
// EEPROM's read address must not make it answer and spoil the MDIO read.
TEST_F(I2cBus, MdioTrafficOnTheSameWiresLeavesTheDevicesAlone) {
    board().phy(1).setClause22(4, 0xA1A1);
    EXPECT_EQ(device.exchange(clause22Frame(2, 1, 4, 0) + flush(), 3), (Bytes{0x02, 0xA1, 0xA1}));
    for (const I2cTransfer& transfer : board().i2cTraffic()) {
        EXPECT_NE(transfer.address, 0x50);
    }
}

// The fields themselves are read in the README example (tests/sim/BenchFileTest.cpp)
// and in EepromBenchFile below.
TEST(I2cBenchFile, MistakesNameTheDeviceAndTheField) {
    const struct {
        const char* devices;
        const char* message;
    } mistakes[] = {
        {R"([{"kind": "rom", "address": 1}])",
         "boards[0].i2cDevices[0].kind: unknown I2C device kind \"rom\" (mdioBridge, "
         "registers32, eeprom)"},
        {R"([{"kind": "eeprom", "address": 80, "phy": 1}])",
         "boards[0].i2cDevices[0].phy: not a setting of a eeprom"},
        {R"([{"kind": "eeprom", "address": 80, "size": 16, "contents": {"16": 1}}])",
         "boards[0].i2cDevices[0].contents.16: 16 is out of range (at most 15)"},
        {R"([{"kind": "eeprom", "address": 80}, {"kind": "mdioBridge", "address": 80}])",
         "boards[0].i2cDevices[1]: a second I2C device at address 80"},
        {R"([{"kind": "eeprom", "address": 80, "model": "24C03"}])",
         "boards[0].i2cDevices[0].model: unknown EEPROM model \"24C03\" (24C01, 24C02, 24C04, "
         "24C08, 24C16, 24C32, 24C64, 24C128, 24C256, 24C512)"},
        {R"([{"kind": "eeprom", "address": 80, "size": 4096}])",
         "boards[0].i2cDevices[0].size: one address byte reaches at most 2048 bytes"},
        {R"([{"kind": "eeprom", "address": 124, "model": "24C16"}])",
         "boards[0].i2cDevices[0].address: a part of 2048 bytes answers 8 addresses from here, "
         "beyond 127"},
    };
    for (const auto& mistake : mistakes) {
        const std::string json =
            std::string(R"({"boards": [{"serialNumber": "K8X1", "i2cDevices": )") +
            mistake.devices + "}]}";
        EXPECT_EQ(testing_support::failureOf<mdiosim::BenchFileError>(
                      [&] { mdiosim::parseBenchJson(json); }),
                  mistake.message);
    }
    EXPECT_THROW(
        mdiosim::parseBenchJson(R"({"boards": [{"serialNumber": "TV1B", "i2cDevices": []}]})"),
        mdiosim::BenchFileError);
}

namespace {

// A board of I2C parts only: a 24C16 (eight blocks of 256 bytes at
// 0x50-0x57), a 24C32, and at 0x60 a part of 100 bytes in 32-byte pages,
// none with its write cycle.
mdiosim::BenchDescription eepromBoard() {
    mdiosim::BenchDescription description = k8Bench({});
    for (const auto& [model, address] : {std::pair{"24C16", 0x50u}, std::pair{"24C32", 0x58u}}) {
        I2cDeviceDescription part;
        part.address = address;
        EXPECT_TRUE(mdiosim::applyEepromModel(part, model));
        part.writeCycleSeconds = 0;
        description.boards[0].i2cDevices.push_back(part);
    }
    I2cDeviceDescription shortLastPage;
    shortLastPage.address = 0x60;
    shortLastPage.size = 100;
    shortLastPage.pageSize = 32;
    description.boards[0].i2cDevices.push_back(shortLastPage);
    return description;
}

class EepromParts : public testing::Test {
  protected:
    UseBench bench{eepromBoard()};
    OpenDevice device{"K8T00001"};
    mdiosim::I2cDevice& part(unsigned address) {
        return *mdiosim::bench()->board(0).findI2cDevice(address);
    }
};

}  // namespace

TEST_F(EepromParts, OneAddressByteTakesItsBlockFromTheI2cAddress) {
    // 0x53 is block 3 of the 24C16: byte 0x10 of it is memory address 0x310.
    device.write(kStart + byteOut(0xA6) + byteOut(0x10) + byteOut(0x42) + kStop + Bytes{0x87});
    EXPECT_EQ(device.read(3), (Bytes{0, 0, 0}));
    EXPECT_EQ(part(0x50).byte(0x310), 0x42);
    EXPECT_EQ(part(0x50).byte(0x010), 0xFF);
    // 0x58 is the next part, whose address is two bytes, high byte first.
    device.write(kStart + byteOut(0xB0) + byteOut(0x0A) + byteOut(0xBC) + byteOut(0x99) + kStop +
                 Bytes{0x87});
    EXPECT_EQ(device.read(4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(part(0x58).byte(0x0ABC), 0x99);
}

TEST_F(EepromParts, PageWritesWrapInThePageAndOnlyAStopWritesThem) {
    // Four bytes from the last two of a 16-byte page: two wrap to its start.
    device.write(kStart + byteOut(0xA0) + byteOut(0x2E) + byteOut(1) + byteOut(2) + byteOut(3) +
                 byteOut(4) + kStop + Bytes{0x87});
    EXPECT_EQ(device.read(6), Bytes(6, 0));
    EXPECT_EQ((Bytes{part(0x50).byte(0x2E), part(0x50).byte(0x2F), part(0x50).byte(0x20),
                     part(0x50).byte(0x21), part(0x50).byte(0x30)}),
              (Bytes{1, 2, 3, 4, 0xFF}));

    // Data followed by a repeated START instead of a STOP is never written.
    device.write(kStart + byteOut(0xA0) + byteOut(0x40) + byteOut(0x77) + kRepeatedStart +
                 byteOut(0xA1) + byteIn(false) + kStop + Bytes{0x87});
    EXPECT_EQ(device.read(5), (Bytes{0, 0, 0, 0, 0xFF}));
    EXPECT_EQ(part(0x50).byte(0x40), 0xFF);
}

TEST_F(EepromParts, NoMdioBusIsWiredOnABoardWithoutPhys) {
    // After the start bits 01 of the address byte 0x54 (nobody at 0x2A) come
    // the op bits 01 and enough bits to make a Clause 22 write frame out of
    // the I2C traffic. A monitor on wires with no MDIO bus would log it.
    device.write(kStart + byteOut(0x54) + byteOut(0x12) + byteOut(0x34) + byteOut(0x56) + kStop +
                 Bytes{0x87});
    EXPECT_EQ(device.read(4), Bytes(4, 1));  // nobody acknowledges
    EXPECT_TRUE(mdiosim::bench()->transactionsSeen().empty());
}

TEST(EepromBenchFile, ModelsSetSizeAddressBytesPageAndWriteCycle) {
    const auto device = [](const std::string& fields) {
        return mdiosim::parseBenchJson(
                   R"({"boards": [{"serialNumber": "K8X1", "i2cDevices": [{"kind": "eeprom", )" +
                   fields + "}]}]}")
            .boards[0]
            .i2cDevices[0];
    };
    const I2cDeviceDescription part =
        device(R"("address": 80, "model": "24C64", "writeCycleMicroseconds": 3000)");
    EXPECT_EQ(part.size, 8192u);
    EXPECT_EQ(part.addressBytes, 2u);
    EXPECT_EQ(part.pageSize, 32u);
    EXPECT_DOUBLE_EQ(part.writeCycleSeconds, 3e-3);
    EXPECT_DOUBLE_EQ(device(R"("address": 80, "model": "24C02")").writeCycleSeconds, 5e-3);
}

// A part whose memory ends inside a page wraps within what is left of it.
TEST_F(EepromParts, WritesWrapAtTheEndOfTheMemory) {
    device.write(kStart + byteOut(0xC0) + byteOut(98) + byteOut(1) + byteOut(2) + byteOut(3) +
                 kStop + Bytes{0x87});
    EXPECT_EQ(device.read(5), Bytes(5, 0));
    EXPECT_EQ(
        (Bytes{part(0x60).byte(98), part(0x60).byte(99), part(0x60).byte(96), part(0x60).byte(97)}),
        (Bytes{1, 2, 3, 0xFF}));
}

// A part in its write cycle (counted in the bench's modeled time) does not
// acknowledge its address, so a host polls it until it answers; a read that
// runs off the end of the memory goes on at its start.
TEST(EepromWriteCycle, ThePartIsDeafUntilItsWriteCycleEnds) {
    mdiosim::BenchDescription description = k8Bench({});
    I2cDeviceDescription part;
    part.address = 0x50;
    ASSERT_TRUE(mdiosim::applyEepromModel(part, "24C32"));
    description.boards[0].i2cDevices.push_back(part);
    UseBench bench{description};
    OpenDevice device{"K8T00001"};

    device.write(kStart + byteOut(0xA0) + byteOut(0x0F) + byteOut(0xFF) + byteOut(0x5A) + kStop +
                 Bytes{0x87});
    EXPECT_EQ(device.read(4), Bytes(4, 0));
    const Bytes poll = kStart + byteOut(0xA0) + kStop + Bytes{0x87};
    int unanswered = 0;
    while (unanswered < 1000 && device.exchange(poll, 1) == Bytes{1})
        ++unanswered;
    EXPECT_GT(unanswered, 0);
    EXPECT_LT(unanswered, 1000);

    device.write(kStart + byteOut(0xA0) + byteOut(0x0F) + byteOut(0xFF) + kRepeatedStart +
                 byteOut(0xA1) + byteIn(true) + byteIn(false) + kStop + Bytes{0x87});
    EXPECT_EQ(device.read(6), (Bytes{0, 0, 0, 0, 0x5A, 0xFF}));
}
