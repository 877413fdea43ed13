// Which device-list nodes are K8 boards, and the adapters each one yields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "boards/K8Device.h"
#include "boards/K8Factory.h"
#include "boards/LED_4BitRGB.h"

namespace {

FTDI::D2xx::DeviceListNode node(const std::string& serialNumber, const std::string& description) {
    FTDI::D2xx::DeviceListNode listed{};
    std::memcpy(listed.SerialNumber, serialNumber.data(),
                std::min(serialNumber.size(), sizeof listed.SerialNumber));
    std::memcpy(listed.Description, description.data(),
                std::min(description.size(), sizeof listed.Description));
    return listed;
}

// "name protocol led" for each adapter, in table order.
std::vector<std::string> describe(const FTDI::AdapterTable& adapters) {
    std::vector<std::string> lines;
    for (const auto& adapter : adapters) {
        const auto& k8 = dynamic_cast<const FTDI::K8::Device&>(*adapter);
        const bool rgb = dynamic_cast<const FTDI::K8::LED_4BitRGB*>(k8.leds.get()) != nullptr;
        lines.push_back(k8.name + " " + k8.protocol + (rgb ? " rgb" : " none"));
    }
    return lines;
}

}  // namespace

TEST(K8Factory, BoardsAndTheirAdapters) {
    const std::string full = "ABCDEFGHIJKLMNOP";  // 16 characters, no terminator
    // clang-format off
    const std::vector<std::tuple<std::string, std::string, bool, std::vector<std::string>>> cases{
        {"S1", "K8U MDIO I2C", true, {"S1:I2C I2C rgb", "S1:MDIO MDIO rgb"}},
        {"S2", "K8U MDIO", true, {"S2 MDIO rgb"}},
        {"S3", "K8D JTAG", true, {"S3 JTAG none"}},
        {"S4", "K8x  MDIO MDIO", true, {"S4 MDIO none"}},
        {full, "K8U I2C JTAG", true, {full + ":I2C I2C rgb", full + ":JTAG JTAG rgb"}},
        {"S5", "K8", false, {}},
        {"", "K8U MDIO", false, {}},
        {"S6", "XK8U MDIO", false, {}},
    };
    // clang-format on
    for (const auto& [serialNumber, description, isK8, expected] : cases) {
        FTDI::AdapterTable adapters;
        EXPECT_EQ(FTDI::K8::factory(adapters, node(serialNumber, description)), isK8)
            << description;
        EXPECT_EQ(describe(adapters), expected);
        for (const auto& adapter : adapters)
            EXPECT_EQ(adapter->serialNumber, serialNumber);
    }

    for (const char* description : {"K8U USB", "K8U mdio", "K8U"}) {
        FTDI::AdapterTable adapters;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(FTDI::K8::factory(adapters, node("S1", description)));
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "\nZM FTDI device found without any supported protocols.\n");
    }
}

TEST(K8Factory, EnumeratingAgainAddsOnlyMissingAdapters) {
    FTDI::AdapterTable adapters;
    adapters.push_back(std::make_unique<FTDI::K8::Device>("S1:MDIO", "S1", "K8U MDIO I2C", "MDIO"));
    EXPECT_TRUE(FTDI::K8::factory(adapters, node("S1", "K8U MDIO I2C")));
    EXPECT_TRUE(FTDI::K8::factory(adapters, node("S1", "K8U MDIO I2C")));
    EXPECT_EQ(describe(adapters),
              (std::vector<std::string>{"S1:MDIO MDIO none", "S1:I2C I2C rgb"}));
}
