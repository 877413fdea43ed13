# Our own code builds with a wide set of warnings. Targets opt in by linking
# this interface library, so third-party code built alongside is not affected.
#
# Warnings become errors only when asked: every stage of make test and CI
# turns MDIOHOST_WARNINGS_AS_ERRORS on, so no warning lands; a user's or a
# packager's build with another compiler version is not stopped by a warning
# that compiler adds.
option(MDIOHOST_WARNINGS_AS_ERRORS "Treat compiler warnings in mdiohost's own code as errors" OFF)
add_library(mdiohost_warnings INTERFACE)
target_compile_options(mdiohost_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2
  $<$<BOOL:${MDIOHOST_WARNINGS_AS_ERRORS}>:-Werror>
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>)
