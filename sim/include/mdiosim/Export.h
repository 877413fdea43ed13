// MDIOSIM_API marks the C++ test interface of the simulated bench. Everything
// else in the library is hidden, except the D2XX C functions, which carry
// their own export marking in the one file that defines them.
#pragma once

#if defined(_WIN32)
#if defined(MDIOSIM_BUILDING)
#define MDIOSIM_API __declspec(dllexport)
#else
#define MDIOSIM_API __declspec(dllimport)
#endif
#else
#define MDIOSIM_API __attribute__((visibility("default")))
#endif
