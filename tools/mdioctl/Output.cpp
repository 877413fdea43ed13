#include "Output.h"

#include <cstdio>
#include <iostream>

namespace mdioctl {

void Output::line(const std::string& text) const {
    if (!json) std::cout << text << '\n';
}

void Output::finish() const {
    if (json && documentWanted) std::cout << document.dump(2) << '\n';
    std::cout.flush();
}

std::string hex16(std::uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFF);
    return text;
}

}  // namespace mdioctl
