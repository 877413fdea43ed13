// How long the library stays loaded, and whether it is being unloaded
// because the whole process ends.
//
// On Windows the library's static destructors run in DLL_PROCESS_DETACH,
// under the loader lock, which brings two hazards for the registry's
// destruction of its adapters, whose K8 LED controllers join their blink
// threads:
//
// - FreeLibrary while the process goes on: every thread is still alive, but
//   a thread that ends needs the loader lock to leave, so joining it from a
//   destructor deadlocks. The library therefore pins itself when it is
//   loaded: FreeLibrary never unloads it, and its static destructors run
//   only when the process ends.
//
// - The end of the process (ExitProcess, or returning from main): Windows has
//   by then already terminated every other thread where it stood, perhaps a
//   blink thread inside its condition variable's wait or holding its LED's
//   mutex. The adapter table asks processIsEnding() when it is destroyed, and
//   when it is true leaves its adapters undestroyed: no thread is joined, no
//   lock a dead thread may hold is taken, no device is talked to; the
//   operating system reclaims the memory and handles.
//
// Elsewhere the library is unloaded normally, processIsEnding() is always
// false, and static destructors run from exit() while every thread still
// runs.
#pragma once

namespace mdiohost {

bool processIsEnding();

}  // namespace mdiohost
