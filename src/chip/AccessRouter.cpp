#include "chip/AccessRouter.h"

#include "chip/ChipAccess.h"
#include "chip/ChipRegisters.h"
#include "chip/Clause45OverClause22.h"
#include "chip/DelegationTables.h"
#include "chip/MemoryWindow.h"
#include "chip/PagedMmd.h"
#include "chip/PifMailbox.h"
#include "chip/SerdesBridge.h"
#include "chip/TgeBlocks.h"

namespace mdiohost::chip {

AccessPath mmd11Path(std::uint32_t adapter) {
    return isDelegated(DelegationType::Mmd11Access, adapter) ? AccessPath::PifMailbox
                                                             : AccessPath::TgeBlocks;
}

AccessPath mmd27Path(std::uint32_t adapter) {
    return isDelegated(DelegationType::Mmd27Access, adapter) ? AccessPath::PifMailbox
                                                             : AccessPath::SerdesBridge;
}

namespace {

bool delegatedRead(std::uint32_t adapter, std::uint32_t mmd, std::uint32_t registerAddress) {
    if (mmd == Mmd::kVendor2 && isDelegated(DelegationType::Mmd31Read, adapter))
        return isDelegatedMmd31Register(registerAddress);
    return mmd == Mmd::kPaged && isDelegated(DelegationType::Mmd28Read, adapter);
}

ChipPort directPort(const AccessTarget& target) {
    return ChipPort::onAdapter(target.adapter, target.phyId);
}

ChipPort decodedPort(const AccessTarget& target) {
    return target.qualifiedPhyId ? ChipPort::qualified(target.phyId, target.adapter)
                                 : directPort(target);
}

}  // namespace

AccessPath qualifiedReadPath(std::uint32_t defaultAdapter, std::uint32_t mmd,
                             std::uint32_t registerAddress) {
    if (usesClause45OverClause22(defaultAdapter)) return AccessPath::Clause45OverClause22;
    if (delegatedRead(defaultAdapter, mmd, registerAddress)) return AccessPath::PifMailbox;
    switch (mmd) {
        case Mmd::kSerdesControl:
            return mmd27Path(defaultAdapter);
        case Mmd::kPaged:
            return AccessPath::PagedMmd;
        case Mmd::kMemoryWindow:
            return AccessPath::MemoryWindow;
        case Mmd::kTgeBlocks:
            return mmd11Path(defaultAdapter);
        default:
            return AccessPath::Plain;
    }
}

AccessPath qualifiedWritePath(std::uint32_t defaultAdapter, std::uint32_t mmd) {
    if (usesClause45OverClause22(defaultAdapter)) return AccessPath::Clause45OverClause22;
    if (mmd == Mmd::kPaged && isDelegated(DelegationType::Mmd28Write, defaultAdapter))
        return AccessPath::PifMailbox;
    switch (mmd) {
        case Mmd::kSerdesControl:
            return mmd27Path(defaultAdapter);
        case Mmd::kTgeBlocks:
            return mmd11Path(defaultAdapter);
        case Mmd::kMemoryWindow:
            return AccessPath::MemoryWindow;
        case Mmd::kPaged:
            return AccessPath::PagedMmd;
        default:
            return AccessPath::Plain;
    }
}

std::uint32_t readThrough(AccessPath path, const AccessTarget& target, std::uint32_t mmd,
                          std::uint32_t registerAddress) {
    switch (path) {
        case AccessPath::None:
            return 0;
        case AccessPath::Plain:
            return readRegister(decodedPort(target), mmd, registerAddress);
        case AccessPath::PifMailbox:
            return PifMailbox(directPort(target)).read(mmd, registerAddress);
        case AccessPath::SerdesBridge:
            return SerdesBridge(directPort(target)).read(registerAddress);
        case AccessPath::TgeBlocks:
            return TgeBlocks(directPort(target)).read(registerAddress);
        case AccessPath::MemoryWindow:
            return MemoryWindow(decodedPort(target)).read(registerAddress);
        case AccessPath::PagedMmd:
            return PagedMmd(decodedPort(target)).read(registerAddress);
        case AccessPath::Clause45OverClause22:
            return Clause45OverClause22(decodedPort(target)).read(mmd, registerAddress);
    }
    return 0;
}

void writeThrough(AccessPath path, const AccessTarget& target, std::uint32_t mmd,
                  std::uint32_t registerAddress, std::uint32_t value) {
    switch (path) {
        case AccessPath::None:
            return;
        case AccessPath::Plain:
            return writeRegister(decodedPort(target), mmd, registerAddress, value);
        case AccessPath::PifMailbox:
            return PifMailbox(directPort(target)).write(mmd, registerAddress, value);
        case AccessPath::SerdesBridge:
            return SerdesBridge(directPort(target)).write(registerAddress, value);
        case AccessPath::TgeBlocks:
            return TgeBlocks(directPort(target)).write(registerAddress, value);
        case AccessPath::MemoryWindow:
            return MemoryWindow(decodedPort(target)).write(registerAddress, value);
        case AccessPath::PagedMmd:
            return PagedMmd(decodedPort(target)).write(registerAddress, value);
        case AccessPath::Clause45OverClause22:
            return Clause45OverClause22(decodedPort(target)).write(mmd, registerAddress, value);
    }
}

}  // namespace mdiohost::chip
