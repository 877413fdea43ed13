#include "base/TraceLog.h"

namespace mdiohost::trace {
namespace {

std::FILE* gStream = nullptr;
// Set only for a stream the host handed in; only such a stream may be closed.
bool gOwned = false;

constexpr const char* kHeader = "adapter,phy,op,mmd,address,value,\n";

}  // namespace

void enable(std::FILE* stream, bool owned) {
    gOwned = owned;
    gStream = stream;
    if (gStream != nullptr) std::fputs(kHeader, gStream);
}

void disable(bool closeStream) {
    if (closeStream && gStream != nullptr && gOwned) std::fclose(gStream);
    gStream = nullptr;
    gOwned = false;
}

void message(const char* text) {
    if (gStream == nullptr) return;
    std::fprintf(gStream, "%s\n", text);
    std::fflush(gStream);
}

bool enabled() {
    return gStream != nullptr;
}

void MW(u32 adapter, u32 phy, u32 mmd, u32 address, u32 value) {
    if (gStream)
        std::fprintf(gStream, "%u,%u,MW,%02X,%04X,%04X\n", adapter, phy, mmd, address, value);
}

void MR(u32 adapter, u32 phy, u32 mmd, u32 address, u32 value) {
    if (gStream)
        std::fprintf(gStream, "%u,%u,MR,%02X,%04X,%04X\n", adapter, phy, mmd, address, value);
}

void AR(u32 adapter, u32 phy, u32 mmd, u32 address) {
    if (gStream) std::fprintf(gStream, "%u,%u,AR,%02X,%04X,\n", adapter, phy, mmd, address);
}

void AW(u32 adapter, u32 phy, u32 mmd, u32 address, u32 value) {
    if (gStream)
        std::fprintf(gStream, "%u,%u,AW,%02X,%04X,%04X\n", adapter, phy, mmd, address, value);
}

void AF(u32 adapter, u32 phy, u32 value) {
    if (gStream) std::fprintf(gStream, "%u,%u,AF,,,%04X\n", adapter, phy, value);
}

void MW32(u32 adapter, u32 phy, u32 address, u32 value) {
    if (gStream) std::fprintf(gStream, "%u,%u,MW,%06X,%08X\n", adapter, phy, address, value);
}

void MR32(u32 adapter, u32 phy, u32 address, u32 value) {
    if (gStream) std::fprintf(gStream, "%u,%u,MR,%06X,%08X\n", adapter, phy, address, value);
}

void AR32(u32 adapter, u32 phy, u32 address) {
    if (gStream) std::fprintf(gStream, "%u,%u,AR,,%02X,\n", adapter, phy, address);
}

void AW32(u32 adapter, u32 phy, u32 address, u32 value) {
    if (gStream) std::fprintf(gStream, "%u,%u,AW,%06X,%08X\n", adapter, phy, address, value);
}

}  // namespace mdiohost::trace
