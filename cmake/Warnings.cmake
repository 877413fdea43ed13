# Warnings are errors on our own code. Targets opt in by linking this
# interface library, so third-party code built alongside is not affected.
add_library(mdiohost_warnings INTERFACE)
target_compile_options(mdiohost_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2 -Werror
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>)
