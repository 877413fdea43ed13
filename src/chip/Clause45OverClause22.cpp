#include "chip/Clause45OverClause22.h"

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {
namespace {

namespace C22 = registers::Clause22;

}  // namespace

void Clause45OverClause22::selectRegister(std::uint32_t mmd, std::uint32_t registerAddress) {
    const std::uint32_t device = mmd & kMmdMask;
    writeClause22(port, C22::kMmdAccessControl, C22::kFunctionAddress | device);
    writeClause22(port, C22::kMmdAccessAddressData, registerAddress);
    writeClause22(port, C22::kMmdAccessControl, C22::kFunctionData | device);
}

std::uint32_t Clause45OverClause22::read(std::uint32_t mmd, std::uint32_t registerAddress) {
    selectRegister(mmd, registerAddress);
    return readClause22(port, C22::kMmdAccessAddressData);
}

void Clause45OverClause22::write(std::uint32_t mmd, std::uint32_t registerAddress,
                                 std::uint32_t value) {
    selectRegister(mmd, registerAddress);
    writeClause22(port, C22::kMmdAccessAddressData, value);
}

}  // namespace mdiohost::chip
