// The IEEE 802.3 management registers `show` decodes, field by field:
// Clause 22 (22.2.4) and the Clause 45 PMA/PMD, PCS and auto-negotiation
// control and status registers (45.2.1, 45.2.3, 45.2.7).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mdioctl {

struct RegisterField {
    const char* name;
    // The field's bits; they need not be adjacent (the speed selection is
    // bits 13 and 6). The value is gathered from the highest bit down.
    std::uint16_t mask;
    // Names of the values 0, 1, ...; empty: the value is shown as a number.
    std::vector<const char*> meanings;
    bool hex = false;  // a number better read in hexadecimal (identifier bits)
};

struct StandardRegister {
    bool clause22;
    std::uint32_t mmd;  // Clause 45 only
    std::uint32_t address;
    const char* name;
    std::vector<RegisterField> fields;
};

const std::vector<StandardRegister>& clause22Registers();
// The MMD's registers that `show` decodes (none for an MMD it does not know).
std::vector<StandardRegister> clause45Registers(std::uint32_t mmd);
// The MMDs clause45Registers knows.
const std::vector<std::uint32_t>& decodedMmds();

std::uint32_t fieldValue(std::uint16_t registerValue, std::uint16_t mask);
// The named meaning, or the number in decimal.
std::string fieldText(const RegisterField& field, std::uint16_t registerValue);

}  // namespace mdioctl
