#include "boards/TalvikFactory.h"

#include <algorithm>
#include <memory>
#include <string>

#include "boards/TalvikDevice.h"

namespace FTDI::Talvik {
namespace {

// The last character of the serial number that marks a board of this family.
constexpr char kSerialNumberMark = 'B';

// The driver fills these fixed-size fields; a field filled to the brim has no
// terminating zero, so the length is bounded by the field.
template <std::size_t Size>
std::string fieldText(const char (&field)[Size]) {
    return std::string(field, std::find(field, field + Size, '\0'));
}

}  // namespace

bool factory(AdapterTable& adapters, const D2xx::DeviceListNode& node) {
    const std::string serialNumber = fieldText(node.SerialNumber);
    if (serialNumber.empty() || serialNumber.back() != kSerialNumberMark) return false;
    if (hasAdapterNamed(adapters, serialNumber)) return true;
    adapters.push_back(
        std::make_unique<Device>(serialNumber, serialNumber, fieldText(node.Description)));
    return true;
}

}  // namespace FTDI::Talvik
