// The queued 32-bit accesses with a status instead of an exception, for
// hosts that cannot catch C++ exceptions (C programs, language bindings).
// Same registry calls and trace records as HW_BlockRead32Adapter and
// HW_BlockWrite32Adapter; the record is written only once the access is
// queued, as there.
#include <cstdint>

#include "base/Guard.h"
#include "base/TraceLog.h"
#include "mdiohost_ext.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;
namespace trace = mdiohost::trace;

namespace {

constexpr int kQueued = 0;
constexpr int kFailed = -1;

}  // namespace

extern "C" {

MDIOHOST_API int mdiohost_block_read32(uint32_t adapter, uint32_t phy, uint32_t address) {
    return guarded(Echo::ToStderr, kFailed, [=] {
        registry().blockRead32(adapter, phy, address);
        trace::AR32(adapter, phy, address);
        return kQueued;
    });
}

MDIOHOST_API int mdiohost_block_write32(uint32_t adapter, uint32_t phy, uint32_t address,
                                        uint32_t value) {
    return guarded(Echo::ToStderr, kFailed, [=] {
        registry().blockWrite32(adapter, phy, address, value);
        trace::AW32(adapter, phy, address, value);
        return kQueued;
    });
}

}  // extern "C"
