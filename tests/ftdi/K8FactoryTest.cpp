// Which device-list nodes are K8 boards, and the adapters each one yields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ftdi/K8Device.h"
#include "ftdi/K8Factory.h"
#include "leds/LED_4BitRGB.h"
#include "leds/LED_None.h"

namespace {

FTDI::D2xx::DeviceListNode node(const std::string& serialNumber, const std::string& description) {
    FTDI::D2xx::DeviceListNode listed{};
    std::memcpy(listed.SerialNumber, serialNumber.data(),
                std::min(serialNumber.size(), sizeof listed.SerialNumber));
    std::memcpy(listed.Description, description.data(),
                std::min(description.size(), sizeof listed.Description));
    return listed;
}

// "name/protocol/led" for each adapter, in table order.
std::vector<std::string> describe(const FTDI::AdapterTable& adapters) {
    std::vector<std::string> lines;
    for (const auto& adapter : adapters) {
        const auto& k8 = dynamic_cast<const FTDI::K8::Device&>(*adapter);
        const char* led = dynamic_cast<const FTDI::K8::LED_4BitRGB*>(k8.leds.get()) ? "rgb"
                          : dynamic_cast<const FTDI::K8::LED_None*>(k8.leds.get())  ? "none"
                                                                                    : "missing";
        lines.push_back(k8.name + "/" + k8.protocol + "/" + led + "/" + k8.serialNumber);
    }
    return lines;
}

}  // namespace

TEST(K8Factory, BoardsAndTheirAdapters) {
    struct Case {
        std::string serialNumber, description;
        bool isK8;
        std::vector<std::string> adapters;
    };
    const std::string fullSerial = "ABCDEFGHIJKLMNOP";  // 16 characters, no terminator
    const std::vector<Case> cases{
        {"S1", "K8U MDIO I2C", true, {"S1:I2C/I2C/rgb/S1", "S1:MDIO/MDIO/rgb/S1"}},
        {"S2", "K8U MDIO", true, {"S2/MDIO/rgb/S2"}},
        {"S3", "K8D JTAG", true, {"S3/JTAG/none/S3"}},
        {"S4", "K8x  MDIO MDIO", true, {"S4/MDIO/none/S4"}},
        {fullSerial,
         "K8U I2C JTAG",
         true,
         {fullSerial + ":I2C/I2C/rgb/" + fullSerial, fullSerial + ":JTAG/JTAG/rgb/" + fullSerial}},
        {"S5", "K8", false, {}},
        {"", "K8U MDIO", false, {}},
        {"S6", "XK8U MDIO", false, {}},
        {"S7", "FT232H", false, {}},
    };
    for (const Case& board : cases) {
        SCOPED_TRACE(board.description);
        FTDI::AdapterTable adapters;
        EXPECT_EQ(FTDI::K8::factory(adapters, node(board.serialNumber, board.description)),
                  board.isK8);
        EXPECT_EQ(describe(adapters), board.adapters);
    }
}

TEST(K8Factory, BoardWithoutKnownProtocolWarnsAndIsRefused) {
    for (const char* description : {"K8U USB", "K8U mdio", "K8U"}) {
        FTDI::AdapterTable adapters;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(FTDI::K8::factory(adapters, node("S1", description)));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "\nZM FTDI device found without any supported protocols.\n");
        EXPECT_TRUE(adapters.empty());
    }
}

TEST(K8Factory, EnumeratingAgainAddsOnlyMissingAdapters) {
    FTDI::AdapterTable adapters;
    adapters.push_back(std::make_unique<FTDI::K8::Device>("S1:MDIO", "S1", "K8U MDIO I2C", "MDIO"));
    EXPECT_TRUE(FTDI::K8::factory(adapters, node("S1", "K8U MDIO I2C")));
    EXPECT_TRUE(FTDI::K8::factory(adapters, node("S1", "K8U MDIO I2C")));
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[1]->name, "S1:I2C");
}
