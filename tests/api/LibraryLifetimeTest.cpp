// Telling the end of the process apart from an unload by FreeLibrary.
#include <gtest/gtest.h>

#include "base/LibraryLifetime.h"

#if defined(_WIN32)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved);

TEST(LibraryLifetime, OnlyADetachAtTheEndOfTheProcessCounts) {
    int loaderToken = 0;
    EXPECT_TRUE(DllMain(nullptr, DLL_THREAD_DETACH, nullptr));
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr));  // FreeLibrary
    EXPECT_FALSE(mdiohost::processIsEnding());
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, &loaderToken));  // ExitProcess
    EXPECT_TRUE(mdiohost::processIsEnding());
}
#endif
