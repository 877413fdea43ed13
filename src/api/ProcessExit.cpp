#include "api/ProcessExit.h"

#include <atomic>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace mdiohost {
namespace {

std::atomic<bool> gProcessEnding{false};

}  // namespace

bool processIsEnding() {
    return gProcessEnding.load();
}

}  // namespace mdiohost

#if defined(_WIN32)
// The DLL's entry point; the mingw-w64 start-up code calls it before it runs
// the static destructors of DLL_PROCESS_DETACH. A non-null `reserved` on
// detach means the process is ending, rather than a FreeLibrary.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
        mdiohost::gProcessEnding.store(true);
    }
    return TRUE;
}
#endif
