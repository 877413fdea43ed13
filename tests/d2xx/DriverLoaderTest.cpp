// The production driver: the D2XX C API loaded from a shared library at run time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "Environment.h"
#include "ScriptedDriver.h"
#include "boards/Device.h"
#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/DriverSearch.h"
#include "ftdi/d2xx/DynamicLibrary.h"
#include "ftdi/d2xx/SharedLibraryDriver.h"
#include "mdiohost_ext.h"

using namespace FTDI::D2xx;

TEST(DriverLoader, EnvironmentChoosesTheLibraryForTheWholeStackAndTheExtensionNamesIt) {
    testing_support::setEnvironment(kDriverVariable, FAKE_D2XX_PATH);
    // The first use of the driver loads it; a device then talks through it.
    FTDI::Device device("FAKE1", "FAKE1", "K8U MDIO");
    ASSERT_EQ(driver().openBySerialNumber("FAKE1", device.handle), kOk);
    const std::uint8_t out[2] = {1, 2};
    device.writeBytes(out, 2);
    std::uint8_t in[2] = {};
    device.readBytes(in, 2);
    EXPECT_EQ(in[1], 2);
#if defined(_WIN32)
    EXPECT_STREQ(mdiohost_driver_path(), FAKE_D2XX_PATH);
#else
    EXPECT_EQ(std::string(mdiohost_driver_path()), FAKE_D2XX_PATH);
#endif
    // A test double is no driver file.
    installDriver(std::make_unique<testing_support::ScriptedDriver>());
    EXPECT_STREQ(mdiohost_driver_path(), "");
}

TEST(DriverLoader, MissingLibraryIsOneClearLineAndNoDevices) {
    testing::internal::CaptureStderr();
    SharedLibraryDriver missing("/nonexistent/libno_such_driver.so");
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(missing.loaded());
    EXPECT_NE(message.find("/nonexistent/libno_such_driver.so"), std::string::npos) << message;
    EXPECT_NE(message.find("MDIOHOST_D2XX"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);

    std::uint32_t count = 99;
    EXPECT_EQ(missing.createDeviceInfoList(count), kDriverMissingStatus);
    Handle handle = nullptr;
    EXPECT_EQ(missing.openBySerialNumber("X", handle), kDriverMissingStatus);
    std::uint32_t received = 0;
    std::uint8_t byte = 0;
    EXPECT_EQ(missing.read(nullptr, &byte, 1, received), kDriverMissingStatus);
}

TEST(DriverLoader, LibraryLackingAFunctionIsRefusedByName) {
    testing::internal::CaptureStderr();
    SharedLibraryDriver incomplete(FAKE_D2XX_INCOMPLETE_PATH);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(incomplete.loaded());
    EXPECT_NE(message.find("FT_Read"), std::string::npos) << message;
    std::uint32_t count = 0;
    EXPECT_EQ(incomplete.createDeviceInfoList(count), kDriverMissingStatus);
}

TEST(DriverLoader, FirstFileThatLoadsCompletelyWinsQuietlyAndCallsReachIt) {
    testing::internal::CaptureStderr();
    SharedLibraryDriver chosen(std::vector<std::string>{"/nonexistent/libftd2xx.so",
                                                        FAKE_D2XX_INCOMPLETE_PATH, FAKE_D2XX_PATH});
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(chosen.loaded());
#if !defined(_WIN32)
    // The file that holds the functions, as a path.
    EXPECT_EQ(chosen.file(), FAKE_D2XX_PATH);
#endif
    std::uint32_t count = 0;
    ASSERT_EQ(chosen.createDeviceInfoList(count), kOk);
    ASSERT_EQ(count, 2u);
    DeviceListNode nodes[2] = {};
    ASSERT_EQ(chosen.getDeviceInfoList(nodes, count), kOk);
    EXPECT_EQ(std::string(nodes[0].SerialNumber) + "/" + nodes[1].Description, "FAKE1/Talvik");
    Handle handle = nullptr;
    EXPECT_EQ(chosen.openBySerialNumber("NOPE", handle), kDeviceNotFound);
    ASSERT_EQ(chosen.openBySerialNumber("FAKE1", handle), kOk);
    std::uint32_t type = 0, id = 0;
    char serial[kSerialNumberSize] = {}, description[kDescriptionSize] = {};
    EXPECT_EQ(chosen.getDeviceInfo(handle, type, id, serial, description), kOk);
    EXPECT_EQ(type, kChipTypeFt232h);
}

TEST(DriverLoader, NothingLoadsIsOneLineNamingEveryFileTried) {
    testing::internal::CaptureStderr();
    SharedLibraryDriver none(
        std::vector<std::string>{"/nonexistent/a.so", FAKE_D2XX_INCOMPLETE_PATH});
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(none.loaded());
    EXPECT_EQ(none.file(), "");
    EXPECT_NE(message.find("'/nonexistent/a.so' ("), std::string::npos) << message;
    EXPECT_NE(message.find(std::string(" nor '") + FAKE_D2XX_INCOMPLETE_PATH + "' ("),
              std::string::npos)
        << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
}

TEST(DriverLoader, DefaultsAreTheVendorsFileThenTheOpenDriverBesideTheLibrary) {
    const std::vector<std::string> files = defaultDriverFiles();
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files[0], kDefaultDriverFile);
#if !defined(_WIN32)
    ASSERT_EQ(files.size(), 2u);
    // Linked statically here, so "beside the library" is beside this program.
    EXPECT_EQ(files[1], ownDirectory() + kOpenDriverFile);
    EXPECT_EQ(files[1].front(), '/');
#endif
}

#if defined(_WIN32)
// On Windows the loader finds every function by its number alone. A stand-in
// for the driver that puts a function under the wrong number would have the
// loader call, say, FT_Read where it means FT_Write; looking each number up
// against the name catches that.
TEST(DriverLoader, EveryOrdinalIsTheFunctionOfThatName) {
    const std::pair<const char*, unsigned> vendorOrdinals[] = {
        {"FT_CreateDeviceInfoList", kOrdinalCreateDeviceInfoList},
        {"FT_GetDeviceInfoList", kOrdinalGetDeviceInfoList},
        {"FT_OpenEx", kOrdinalOpenEx},
        {"FT_Close", kOrdinalClose},
        {"FT_ResetDevice", kOrdinalResetDevice},
        {"FT_SetUSBParameters", kOrdinalSetUSBParameters},
        {"FT_SetChars", kOrdinalSetChars},
        {"FT_SetTimeouts", kOrdinalSetTimeouts},
        {"FT_SetLatencyTimer", kOrdinalSetLatencyTimer},
        {"FT_SetBitMode", kOrdinalSetBitMode},
        {"FT_GetDeviceInfo", kOrdinalGetDeviceInfo},
        {"FT_StopInTask", kOrdinalStopInTask},
        {"FT_Purge", kOrdinalPurge},
        {"FT_RestartInTask", kOrdinalRestartInTask},
        {"FT_Write", kOrdinalWrite},
        {"FT_Read", kOrdinalRead},
    };
    for (const char* file : {FAKE_D2XX_PATH, SIMULATED_FTD2XX}) {
        std::string error;
        std::unique_ptr<DynamicLibrary> library = DynamicLibrary::open(file, error);
        ASSERT_TRUE(library) << file << ": " << error;
        for (const auto& [name, ordinal] : vendorOrdinals) {
            void* byName = library->symbol(name);
            ASSERT_NE(byName, nullptr) << file << " lacks " << name;
            EXPECT_EQ(library->symbolByOrdinal(ordinal), byName)
                << file << ": ordinal " << ordinal << " is not " << name;
        }
    }
}
#endif
