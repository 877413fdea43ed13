// The shared library on a machine without the vendor's driver: with
// MDIOHOST_D2XX unset it loads the libftdi1 driver from its own directory.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(DriverChoice, SharedLibraryFallsBackToTheOpenDriverBesideIt) {
    unsetenv("MDIOHOST_D2XX");
    void* library = dlopen(MDIOHOST_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using PathFunction = const char* (*)();
    auto driverPath = reinterpret_cast<PathFunction>(dlsym(library, "mdiohost_driver_path"));
    ASSERT_NE(driverPath, nullptr);
    // This machine has no libftd2xx.so: the test would not mean anything if it had.
    if (void* vendor = dlopen("libftd2xx.so", RTLD_NOW | RTLD_LOCAL); vendor != nullptr) {
        GTEST_SKIP() << "the vendor's driver is installed here";
    }
    const std::string expected = std::string(MDIOHOST_LIBRARY_PATH)
                                     .substr(0, std::string(MDIOHOST_LIBRARY_PATH).rfind('/')) +
                                 "/libmdiohost-ftdi.so";
    EXPECT_EQ(driverPath(), expected);
}
