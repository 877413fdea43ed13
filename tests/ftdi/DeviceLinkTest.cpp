// The locked USB write and read every byte of an adapter goes through.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ScriptedDriver.h"
#include "api/Exceptions.h"
#include "ftdi/Device.h"
#include "ftdi/UsbLock.h"

using testing_support::Bytes;
using testing_support::installScriptedDriver;
using testing_support::ScriptedDriver;

namespace {

class DeviceLink : public testing::Test {
  protected:
    ScriptedDriver& driver = installScriptedDriver();
    FTDI::Device device{"FT1234:MDIO", "FT1234", "K8U MDIO"};

    std::string failureOf(void (*action)(FTDI::Device&)) {
        try {
            action(device);
        } catch (const FTDI::Exceptions::DeviceConnection& error) {
            return error.what();
        }
        return "no failure";
    }
};

}  // namespace

TEST_F(DeviceLink, WriteContinuesAfterPartialAcceptance) {
    driver.writeSizes = {2, 3};
    const Bytes bytes{1, 2, 3, 4, 5};
    device.writeBytes(bytes.data(), 5);
    EXPECT_EQ(driver.writes(), (std::vector<Bytes>{{1, 2}, {3, 4, 5}}));
}

TEST_F(DeviceLink, WriteFailureNamesTheSerialNumberAndStatus) {
    driver.failNext("FT_Write", 4);
    EXPECT_EQ(failureOf([](FTDI::Device& d) {
                  const std::uint8_t byte = 0;
                  d.writeBytes(&byte, 1);
              }),
              "Device Communication problem: FT1234: Error writing to the device.: IO Error.");
}

TEST_F(DeviceLink, WriteThatNeverMakesProgressGivesUp) {
    driver.writeSizes = std::deque<std::uint32_t>(20, 0);
    EXPECT_EQ(failureOf([](FTDI::Device& d) {
                  const std::uint8_t byte = 0;
                  d.writeBytes(&byte, 1);
              }),
              "Device Communication problem: FT1234: Timed out writing data.");
    EXPECT_EQ(driver.count("FT_Write"), FTDI::kMaxStalledWrites + 1);
}

TEST_F(DeviceLink, ReadCollectsChunksAndToleratesEmptyReads) {
    driver.readChunks = {{}, {1, 2, 3, 4}, {}, {5, 6, 7, 8, 9}};
    std::uint8_t buffer[9] = {};
    device.readBytes(buffer, 9);
    EXPECT_EQ(Bytes(buffer, buffer + 9), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(driver.count("FT_Read"), 4u);
}

TEST_F(DeviceLink, SixEmptyReadsInOneCallTimeOut) {
    // Empty reads count across the whole call, not only in a row.
    driver.readChunks = {{}, {1}, {}, {}, {}, {}, {}};
    EXPECT_EQ(failureOf([](FTDI::Device& d) {
                  std::uint8_t buffer[4];
                  d.readBytes(buffer, 4);
              }),
              "Device Communication problem: FT1234: Timed out reading data.");
    EXPECT_EQ(driver.count("FT_Read"), 7u);
}

TEST_F(DeviceLink, ReadFailureNamesTheStatus) {
    driver.failNext("FT_Read", 1);
    EXPECT_EQ(
        failureOf([](FTDI::Device& d) {
            std::uint8_t buffer[2];
            d.readBytes(buffer, 2);
        }),
        "Device Communication problem: FT1234: Error reading from the device.: Invalid handle.");
}

TEST_F(DeviceLink, ZeroCountsMakeNoDriverCallAndReleaseTheLock) {
    device.writeBytes(nullptr, 0);
    device.readBytes(nullptr, 0);
    EXPECT_TRUE(driver.calls.empty());
    // The lock is free again: another thread can take it.
    bool taken = false;
    std::thread other([&] {
        taken = FTDI::usbLock().try_lock();
        if (taken) FTDI::usbLock().unlock();
    });
    other.join();
    EXPECT_TRUE(taken);
}

TEST_F(DeviceLink, FailureReleasesTheLock) {
    driver.failNext("FT_Write", 4);
    failureOf([](FTDI::Device& d) {
        const std::uint8_t byte = 0;
        d.writeBytes(&byte, 1);
    });
    bool taken = false;
    std::thread other([&] {
        taken = FTDI::usbLock().try_lock();
        if (taken) FTDI::usbLock().unlock();
    });
    other.join();
    EXPECT_TRUE(taken);
}

TEST(DeviceNames, LowerNameFollowsTheName) {
    FTDI::Device device("AbC123:MDIO", "AbC123", "K8D MDIO");
    EXPECT_EQ(device.lowerName, "abc123:mdio");
    EXPECT_EQ(device.handle, nullptr);
    EXPECT_EQ(device.engine, nullptr);
}
