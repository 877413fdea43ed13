// The 24C family of serial EEPROMs as their data sheets give them: size,
// memory address bytes, page size, and the longest write cycle (5 ms).
#include <array>

#include "mdiosim/I2cDevice.h"

namespace mdiosim {

namespace {

struct EepromModel {
    const char* name;
    unsigned size;
    unsigned addressBytes;
    unsigned pageSize;
};

constexpr double kWriteCycleSeconds = 5e-3;

constexpr std::array<EepromModel, 10> kModels{{
    {"24C01", 128, 1, 8},
    {"24C02", 256, 1, 8},
    {"24C04", 512, 1, 16},  // one address byte: the ninth bit is in the I2C address
    {"24C08", 1024, 1, 16},
    {"24C16", 2048, 1, 16},
    {"24C32", 4096, 2, 32},  // two address bytes, most significant first
    {"24C64", 8192, 2, 32},
    {"24C128", 16384, 2, 64},
    {"24C256", 32768, 2, 64},
    {"24C512", 65536, 2, 128},
}};

}  // namespace

bool applyEepromModel(I2cDeviceDescription& description, std::string_view model) {
    for (const EepromModel& candidate : kModels) {
        if (model != candidate.name) continue;
        description.size = candidate.size;
        description.addressBytes = candidate.addressBytes;
        description.pageSize = candidate.pageSize;
        description.writeCycleSeconds = kWriteCycleSeconds;
        return true;
    }
    return false;
}

std::string eepromModelNames() {
    std::string names;
    for (const EepromModel& model : kModels) {
        if (!names.empty()) names += ", ";
        names += model.name;
    }
    return names;
}

}  // namespace mdiosim
