// The locked USB write and read every byte of an adapter goes through.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "Failure.h"
#include "ScriptedDriver.h"
#include "boards/Device.h"
#include "ftdi/UsbLock.h"

using testing_support::Bytes;
using testing_support::failureOf;

namespace {

class DeviceLink : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::Device device{"FT1234:MDIO", "FT1234", "K8U MDIO"};
    std::uint8_t buffer[9] = {};

    std::string writeFailure() {
        return failureOf([&] { device.writeBytes(buffer, 1); });
    }
    std::string readFailure(std::size_t count) {
        return failureOf([&] { device.readBytes(buffer, count); });
    }
    static bool lockIsFree() {
        bool taken = false;
        std::thread([&] {
            taken = FTDI::usbLock().try_lock();
            if (taken) FTDI::usbLock().unlock();
        }).join();
        return taken;
    }
};

}  // namespace

TEST_F(DeviceLink, ReadCollectsChunksAndSixEmptyReadsInOneCallTimeOut) {
    driver.readChunks = {{}, {1, 2, 3, 4}, {}, {5, 6, 7, 8, 9}};
    device.readBytes(buffer, 9);
    EXPECT_EQ(Bytes(buffer, buffer + 9), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(driver.count("FT_Read"), 4u);

    // Empty reads count across the whole call, not only in a row.
    driver.forget();
    driver.readChunks = {{}, {1}, {}, {}, {}, {}, {}};
    EXPECT_EQ(readFailure(4), "Device Communication problem: FT1234: Timed out reading data.");
    EXPECT_EQ(driver.count("FT_Read"), 7u);
}

TEST_F(DeviceLink, FailuresNameTheStatusAndReleaseTheLock) {
    driver.failNext("FT_Write", 4);
    EXPECT_EQ(writeFailure(),
              "Device Communication problem: FT1234: Error writing to the device.: IO Error.");
    EXPECT_TRUE(lockIsFree());
    driver.failNext("FT_Read", 1);
    EXPECT_EQ(
        readFailure(2),
        "Device Communication problem: FT1234: Error reading from the device.: Invalid handle.");
    EXPECT_TRUE(lockIsFree());

    // Zero counts make no driver call and leave the lock free too.
    driver.forget();
    device.writeBytes(nullptr, 0);
    device.readBytes(nullptr, 0);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_TRUE(lockIsFree());
}

// The scripted driver is a mock of expected transactions: whatever a test
// scripted and the code never used fails that test.
TEST_F(DeviceLink, ScriptLeftUnusedFailsTheTest) {
    driver.queueReply({0x02, 0x12, 0x34});
    device.readBytes(buffer, 1);
    driver.failNext("FT_Close", FTDI::D2xx::kIoError);
    EXPECT_NONFATAL_FAILURE(driver.failOnUnusedScript(),
                            "2 reply bytes never read: 12 34\nFT_Close status 4 never given");
    EXPECT_EQ(driver.unusedScript(), "");  // reported once

    driver.readChunks = {{0x01}};
    driver.writeSizes = {1};
    EXPECT_NONFATAL_FAILURE(driver.failOnUnusedScript(),
                            "read chunk never returned: [01]\nwrite size 1 never applied");
}
