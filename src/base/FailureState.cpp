#include "base/FailureState.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace mdiohost {
namespace {

// Plain globals, not members of the registry: the failure state must work
// before and after every other object of the library. The buffer is a C
// allocation so that an out-of-memory can be reported without throwing; it
// is deliberately never released.
bool gFailed = false;
char* gErrorBuffer = nullptr;
Reallocate gReallocate = &std::realloc;
bool gEchoEnabled = true;

}  // namespace

bool failureFlag() {
    return gFailed;
}

void clearFailureFlag() {
    gFailed = false;
}

const char* errorMessage() {
    return gErrorBuffer;
}

void useErrorBufferAllocator(Reallocate reallocate) {
    gReallocate = reallocate;
}

void saveErrorMessage(const char* text) {
    gFailed = true;
    const std::size_t size = std::strlen(text) + 1;
    void* resized = gReallocate(gErrorBuffer, size);
    if (resized == nullptr) {
        std::fputs("Out of memory. Couldn't save error message.\n", stderr);
        std::fflush(stderr);
        std::free(gErrorBuffer);
        gErrorBuffer = nullptr;
        return;
    }
    gErrorBuffer = static_cast<char*>(resized);
    std::memcpy(gErrorBuffer, text, size);
}

void setErrorEcho(bool enabled) {
    gEchoEnabled = enabled;
}

bool errorEcho() {
    return gEchoEnabled;
}

void recordFailure(bool echo) {
    echo = echo && gEchoEnabled;
    try {
        throw;
    } catch (const std::exception& error) {
        saveErrorMessage(error.what());
        if (echo) {
            std::fprintf(stderr, "Error: %s\n", error.what());
            std::fflush(stderr);
        }
    } catch (...) {
        saveErrorMessage("Unknown error.");
        if (echo) {
            std::fputs("Unknown error.\n", stderr);
            std::fflush(stderr);
        }
    }
}

}  // namespace mdiohost
