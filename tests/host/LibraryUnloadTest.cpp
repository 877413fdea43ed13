// A Windows host that loads the library at run time and frees it again.
#include <gtest/gtest.h>

#include <windows.h>

// Unloading would run the registry's destructors under the loader lock, where
// joining an LED blink thread deadlocks; the library stays loaded instead.
TEST(LibraryUnload, FreeLibraryLeavesThePinnedLibraryLoaded) {
    ASSERT_EQ(GetModuleHandleA("mdiohost.dll"), nullptr);
    HMODULE library = LoadLibraryA("mdiohost.dll");
    ASSERT_NE(library, nullptr);
    ASSERT_NE(GetProcAddress(library, "HW_Initialize"), nullptr);
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(GetModuleHandleA("mdiohost.dll"), library);
}
