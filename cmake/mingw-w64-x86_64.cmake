# Cross build for 64-bit Windows with Debian's mingw-w64 GCC 12:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The posix thread model of the compiler is chosen by name (the win32 model,
# Debian's default alternative, has no std::thread or std::mutex). The C++
# runtime, libgcc and winpthreads are linked statically, so mdiohost.dll and
# the test programs need nothing but system DLLs next to them.
#
# Test programs run under Wine (the emulator below); its prefix lives in the
# build directory and is created once per build directory.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MDIOHOST_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MDIOHOST_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MDIOHOST_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MDIOHOST_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${MDIOHOST_MINGW_TRIPLE}-objdump)

# Look for libraries and headers only in the target's sysroot, never in the
# build machine's /usr/include or /usr/lib; programs come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${MDIOHOST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static makes the linker take libstdc++, libgcc and libwinpthread from their
# archives; the result is still a DLL or an executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# ctest and gtest_discover_tests run every .exe through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
