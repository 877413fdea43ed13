include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  # No GoogleTest binaries exist for the target: build it from the sources of
  # Debian's googletest package, under the names find_package(GTest) gives.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(MDIOHOST_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  add_subdirectory(${MDIOHOST_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest 1.12 defines the GTest:: aliases itself; older sources do not.
  foreach(library IN ITEMS gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()

# mdiohost_test_suite(<name> SOURCES ... [LIBS ...] [DEFINITIONS ...])
# One executable per test area. Every test runs in its own process (ctest runs
# each discovered test separately), so process-wide library state starts fresh.
function(mdiohost_test_suite name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main
                        mdiohost_warnings)
  target_compile_definitions(${name} PRIVATE ${ARG_DEFINITIONS})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 120)
endfunction()

if(CMAKE_CROSSCOMPILING_EMULATOR)
  # Creates the emulator's Wine prefix at build time, once per build
  # directory, so that the first test does not pay for it.
  list(GET CMAKE_CROSSCOMPILING_EMULATOR 1 _prefix)
  add_custom_command(OUTPUT ${_prefix}/system.reg
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit 0
    COMMENT "Creating the Wine prefix for the Windows tests")
  add_custom_target(wine_prefix ALL DEPENDS ${_prefix}/system.reg)
  unset(_prefix)
endif()
