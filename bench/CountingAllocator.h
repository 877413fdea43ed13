// Global operator new, replaced in the benchmark binary by one that counts
// every heap allocation, so a benchmark can report allocations per operation.
#pragma once

#include <cstdint>

std::uint64_t heapAllocations();
