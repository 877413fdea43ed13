#include "boards/K8BoardTables.h"

#include <algorithm>

namespace FTDI::K8 {

namespace {

// Never destroyed: the blink thread of an adapter the host left open keeps
// looking colours up while the process ends and static objects are torn down.
const std::map<StatusCode, Colour>& immortalLedColours() {
    static const auto* colours = new std::map<StatusCode, Colour>{
        {0, 0x1E}, {1, 0x34}, {2, 0x0F}, {3, 0x39},  {4, 0x07},  {5, 0x0C},  {6, 0x33},
        {7, 0x1D}, {8, 0x07}, {9, 0x33}, {10, 0x0C}, {11, 0x37}, {12, 0x07}, {13, 0x03},
    };
    return *colours;
}

}  // namespace

const std::map<StatusCode, Colour>& ledColours = immortalLedColours();

Colour ledColour(StatusCode code) {
    const std::map<StatusCode, Colour>& colours = immortalLedColours();
    const auto entry = colours.find(code);
    return entry == colours.end() ? Colour{0} : entry->second;
}

bool isProtocolName(std::string_view token) {
    return std::find(protocolNames.begin(), protocolNames.end(), token) != protocolNames.end();
}

}  // namespace FTDI::K8
