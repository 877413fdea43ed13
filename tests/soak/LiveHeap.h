// The bytes the program holds on the heap right now: what it has allocated
// and not yet freed, as the allocator counts them. Resident memory also holds
// what the allocator keeps for reuse and, under AddressSanitizer, freed blocks
// waiting in its quarantine and one stack trace per allocation site, so it can
// creep while the program holds no more than before; the live heap cannot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// clang says so through __has_feature, GCC through __SANITIZE_ADDRESS__.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(SOAK_UNDER_ADDRESS_SANITIZER)
#define SOAK_UNDER_ADDRESS_SANITIZER 1
#endif

#if defined(SOAK_UNDER_ADDRESS_SANITIZER)
#if __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#else
// GCC's sanitizer runtime has the function but ships no header declaring it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif
#elif defined(__GLIBC__) && __GLIBC_PREREQ(2, 33)
#include <malloc.h>
#define SOAK_GLIBC_MALLINFO2 1
#endif

namespace soak {

// Nothing where the allocator does not say.
inline std::optional<std::uint64_t> liveHeapBytes() {
#if defined(SOAK_UNDER_ADDRESS_SANITIZER)
    // The sanitizer's allocator replaces malloc; a freed block stops counting
    // when it is freed, not when it leaves the quarantine.
    return __sanitizer_get_current_allocated_bytes();
#elif defined(SOAK_GLIBC_MALLINFO2)
    // Blocks in the arenas plus the large ones glibc maps on their own (a
    // batch of a few hundred values can be one of those).
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return std::nullopt;
#endif
}

}  // namespace soak
