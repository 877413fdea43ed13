// The frame of every D2XX call on a handle: count the call, apply an armed
// fault, refuse unknown handles and handles of unplugged boards, then do the
// work. The caller holds the bench's mutex.
#pragma once

#include "BoardHardware.h"
#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"

namespace mdiosim::d2xx {

template <typename Work>
FTDI::D2xx::Status onDevice(Bench& bench, D2xxOperation operation, FTDI::D2xx::Handle handle,
                            Work work) {
    bench.startCall();
    const Bench::HandleTarget target = bench.resolve(handle);
    if (const auto fault = bench.injectedFault(operation, target.board)) return *fault;
    if (target.board == nullptr) return FTDI::D2xx::kInvalidHandle;
    if (target.stale) return FTDI::D2xx::kIoError;
    return work(*target.board, target.board->hardware());
}

}  // namespace mdiosim::d2xx
