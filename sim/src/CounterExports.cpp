// A plain C view of the bench's counters, for programs that load the bench
// at run time (mdioctl's bench command) and cannot use the C++ interface.
#include <cstdint>
#include <mutex>

#include "ProcessBench.h"
#include "mdiosim/CounterRecord.h"

#if defined(_WIN32)
#define MDIOSIM_C_EXPORT extern "C" __declspec(dllexport)
#else
#define MDIOSIM_C_EXPORT extern "C" __attribute__((visibility("default")))
#endif

MDIOSIM_C_EXPORT int mdiosim_read_counters(MdiosimCounters* record) {
    if (record == nullptr) return -1;
    const std::lock_guard<std::recursive_mutex> guard(mdiosim::benchMutex());
    const mdiosim::Counters totals = mdiosim::lockedBench().totals();
    *record = {totals.usbWrites, totals.usbReads,   totals.bytesWritten,    totals.bytesRead,
               totals.mdcCycles, totals.roundTrips, totals.modeledSeconds()};
    return 0;
}
