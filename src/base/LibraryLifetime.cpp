#include "base/LibraryLifetime.h"

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
// The DLL's entry point. The mingw-w64 start-up code calls it after the
// static constructors on attach and before the static destructors on detach.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        // Pinned: the module stays loaded whatever FreeLibrary calls follow.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&mdiohost::gProcessEnding), &self);
    } else if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
        // A non-null `reserved` on detach: the process is ending, rather
        // than a FreeLibrary.
        mdiohost::gProcessEnding.store(true);
    }
    return TRUE;
}
#endif
