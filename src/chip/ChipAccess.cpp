#include "chip/ChipAccess.h"

#include "base/Guard.h"
#include "base/TraceLog.h"
#include "chip/QualifiedPhyId.h"
#include "registry/TalvikControl.h"

namespace mdiohost::chip {

ChipPort ChipPort::qualified(std::uint32_t qualifiedPhyId, std::uint32_t defaultAdapter) {
    const QualifiedPhyId target = decodeQualifiedPhyId(qualifiedPhyId, defaultAdapter);
    return {target.adapter, target.phyId, defaultAdapter, qualifiedPhyId};
}

std::uint32_t readRegister(const ChipPort& port, std::uint32_t mmd, std::uint32_t registerAddress) {
    const std::uint32_t value = guarded(Echo::ToStderr, 0u, [&] {
        return registry().read(port.adapter, port.phyId, mmd, registerAddress);
    });
    trace::MR(port.tracedAdapter, port.tracedPhyId, mmd, registerAddress, value);
    return value;
}

void writeRegister(const ChipPort& port, std::uint32_t mmd, std::uint32_t registerAddress,
                   std::uint32_t value) {
    guarded(Echo::ToStderr,
            [&] { registry().write(port.adapter, port.phyId, mmd, registerAddress, value); });
    trace::MW(port.tracedAdapter, port.tracedPhyId, mmd, registerAddress, value);
}

std::uint32_t readClause22(const ChipPort& port, std::uint32_t registerAddress) {
    return guarded(Echo::ToStderr, 0u,
                   [&] { return registry().readC22(port.adapter, port.phyId, registerAddress); });
}

void writeClause22(const ChipPort& port, std::uint32_t registerAddress, std::uint32_t value) {
    guarded(Echo::ToStderr,
            [&] { registry().writeC22(port.adapter, port.phyId, registerAddress, value); });
}

}  // namespace mdiohost::chip
