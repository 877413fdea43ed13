// A plain C view of the bench's counters, for programs that load the bench
// at run time (mdioctl's bench command) and cannot use the C++ interface.
#include <cstdint>
#include <mutex>

#include "ProcessBench.h"

#if defined(_WIN32)
#define MDIOSIM_C_EXPORT extern "C" __declspec(dllexport)
#else
#define MDIOSIM_C_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Field for field what mdioctl expects; append only.
struct MdiosimCounters {
    std::uint64_t usbWrites;
    std::uint64_t usbReads;
    std::uint64_t bytesWritten;
    std::uint64_t bytesRead;
    std::uint64_t mdcCycles;
    std::uint64_t roundTrips;
    double modeledSeconds;
};

// The totals over every board since the bench was built; 0 on success, -1
// for a null record.
MDIOSIM_C_EXPORT int mdiosim_read_counters(MdiosimCounters* record) {
    if (record == nullptr) return -1;
    const std::lock_guard<std::recursive_mutex> guard(mdiosim::benchMutex());
    const mdiosim::Counters totals = mdiosim::lockedBench().totals();
    *record = {totals.usbWrites, totals.usbReads,   totals.bytesWritten,    totals.bytesRead,
               totals.mdcCycles, totals.roundTrips, totals.modeledSeconds()};
    return 0;
}
