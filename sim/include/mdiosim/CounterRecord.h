/* The bench's counters as a plain C record, for programs that load the bench
 * at run time and look the function up by name (mdioctl's bench command)
 * rather than link its C++ interface. Fields are only ever appended. */
#ifndef MDIOSIM_COUNTER_RECORD_H
#define MDIOSIM_COUNTER_RECORD_H

#include <stdint.h>

struct MdiosimCounters {
    uint64_t usbWrites;
    uint64_t usbReads;
    uint64_t bytesWritten;
    uint64_t bytesRead;
    uint64_t mdcCycles;
    uint64_t roundTrips;
    double modeledSeconds;
};

/* The name and type of the exported function: it fills the record with the
 * totals over every board since the bench was built and returns 0, or -1 for
 * a null record. */
#define MDIOSIM_READ_COUNTERS_NAME "mdiosim_read_counters"
typedef int (*MdiosimReadCounters)(struct MdiosimCounters* record);

#endif
