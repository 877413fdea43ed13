// Whether the library is being unloaded because the whole process ends.
//
// On Windows the library's static destructors run in DLL_PROCESS_DETACH,
// under the loader lock. When the process ends (ExitProcess, or returning
// from main), Windows has by then already terminated every other thread where
// it stood: an LED blink thread may have died inside a USB write, holding the
// USB lock. A destructor that then takes the USB lock waits forever, and one
// that joins a thread joins a thread that never said goodbye. So destructors
// that run at unload (the registry closing its adapters) ask this first, and
// when it is true they neither join threads nor talk to devices; the
// operating system reclaims the handles.
//
// When a host unloads the library with FreeLibrary while the process goes on,
// this stays false and every thread is still alive, but the loader lock is
// held: a thread that ends needs that lock to leave, so joining it from a
// destructor deadlocks. Hosts must close their adapters (which stops the
// blink threads on the host's own thread) before they unload the library.
//
// Elsewhere it is always false: static destructors run from exit() while
// every thread still runs.
#pragma once

namespace mdiohost {

bool processIsEnding();

}  // namespace mdiohost
