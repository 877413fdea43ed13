# The libFuzzer targets (fuzz/) live in a build tree of their own, built with
# clang: every library of that tree is instrumented for coverage and checked
# by AddressSanitizer and UndefinedBehaviorSanitizer, so a finding deep in the
# library or the bench stops the run where it happens.
option(MDIOHOST_FUZZ "Build the libFuzzer targets (clang only, a build tree of its own)" OFF)
if(MDIOHOST_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MDIOHOST_FUZZ needs clang: configure with CC=clang-14 CXX=clang++-14")
  endif()
  if(MDIOHOST_SANITIZE OR MDIOHOST_SANITIZE_THREAD)
    message(FATAL_ERROR "MDIOHOST_FUZZ brings its own sanitizers; build it in a tree of its own")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # The conventional switch of fuzzing builds: waits that only pace real
  # hardware (settling times, the patience of a look-up by name) are cut
  # short, so that one input takes microseconds rather than a tenth of a second.
  add_compile_definitions(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
endif()
