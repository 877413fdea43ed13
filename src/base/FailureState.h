// The process-wide failure state that HW_Fail and HW_Error report. It is sticky:
// once a failure is recorded the flag stays set until HW_Initialize clears it,
// and the text stays until the next failure overwrites it.
#pragma once

#include <cstddef>

namespace mdiohost {

bool failureFlag();
void clearFailureFlag();

// The most recent failure text, or null before the first failure and after an
// allocation failure while saving one.
const char* errorMessage();

// Sets the flag and keeps a copy of `text`.
void saveErrorMessage(const char* text);

// The allocator of the error buffer. Tests replace it to see what happens
// when a message cannot be kept; the library always uses std::realloc.
using Reallocate = void* (*)(void* block, std::size_t size);
void useErrorBufferAllocator(Reallocate reallocate);

// Records the exception in flight; call only from inside a catch handler.
// With `echo`, the message also goes to standard error behind "Error: ",
// unless the host has turned the echo off.
void recordFailure(bool echo);

// The host's switch for that echo (on by default). Tools and language
// bindings that print failures themselves turn it off so each prints once.
void setErrorEcho(bool enabled);
bool errorEcho();

}  // namespace mdiohost
