include(GoogleTest)
find_package(GTest REQUIRED)

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
