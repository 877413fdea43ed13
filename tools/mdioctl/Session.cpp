#include "Session.h"

#include <algorithm>
#include <cstdio>

#include "mdiohost.h"

namespace mdioctl {
namespace {

// MMDs the library serves through indirect paths rather than plain MDIO;
// block reads skip or misroute them, so they are read one at a time.
bool isIndirectMmd(std::uint32_t mmd) {
    return mmd == 10 || mmd == 11 || mmd == 27 || mmd == 28;
}

// An adapter-qualified PHY id: bit 31 set, the adapter in bits 30..16.
constexpr std::uint32_t kQualifiedFlag = 0x80000000u;

bool isNumber(const std::string& text) {
    try {
        parseNumber(text, "adapter");
        return true;
    } catch (const UsageError&) {
        return false;
    }
}

}  // namespace

Session::Session(const SessionOptions& chosen) : options(chosen) {
    HW_Initialize();
    if (options.trace) {
        if (options.traceFile.empty()) {
            HW_EnableLoggingStdout();
        } else {
            traceStream = std::fopen(options.traceFile.c_str(), "w");
            if (traceStream == nullptr) {
                throw LibraryError("cannot write the trace file '" + options.traceFile + "'");
            }
            HW_EnableLogging(traceStream);
        }
    }
    check();
}

Session::~Session() {
    HW_Close();
    // Closes the trace file we handed in; never standard output.
    HW_DisableLogging(1);
}

void Session::check() {
    if (HW_Fail() != 0) {
        const char* text = HW_Error();
        throw LibraryError(text != nullptr ? text : "unknown failure");
    }
}

std::uint32_t Session::adapterCount() {
    const std::uint32_t count = HW_NumberOfDevices();
    check();
    return count;
}

std::uint32_t Session::open(const std::string& adapter) {
    std::uint32_t index = 0;
    if (isNumber(adapter)) {
        index = parseNumber(adapter, "adapter");
        // Opening by index never looks for boards by itself.
        adapterCount();
    } else {
        index = HW_DeviceNumber(adapter.c_str());
        check();
    }
    HW_OpenAdapter(index);
    check();
    if (options.clause22Tunnel) HW_EnableClause45OverClause22(index);
    return index;
}

std::uint32_t Session::qualified(std::uint32_t adapter, std::uint32_t phy) const {
    return kQualifiedFlag | (adapter << 16) | (phy & 0xFFFF);
}

std::uint16_t Session::read(std::uint32_t adapter, std::uint32_t phy, bool clause22,
                            std::uint32_t mmd, std::uint32_t registerAddress) {
    std::uint32_t value = 0;
    if (clause22) {
        value = HW_Read_C22(adapter, phy, registerAddress);
    } else if (options.clause22Tunnel) {
        // Only the default-adapter functions honour the tunnel; `open` made
        // this adapter the default.
        value = ZM_API_MDIO_Read(qualified(adapter, phy), mmd, registerAddress);
    } else {
        value = HW_Read(adapter, phy, mmd, registerAddress);
    }
    check();
    return static_cast<std::uint16_t>(value);
}

void Session::write(std::uint32_t adapter, std::uint32_t phy, bool clause22, std::uint32_t mmd,
                    std::uint32_t registerAddress, std::uint16_t value) {
    if (clause22) {
        HW_Write_C22(adapter, phy, registerAddress, value);
    } else if (options.clause22Tunnel) {
        ZM_API_MDIO_Write(qualified(adapter, phy), mmd, registerAddress, value);
    } else {
        HW_Write(adapter, phy, mmd, registerAddress, value);
    }
    check();
}

bool Session::batchable(bool clause22, std::uint32_t mmd) const {
    return !clause22 && !options.clause22Tunnel && !isIndirectMmd(mmd);
}

std::vector<std::uint16_t> Session::readRange(std::uint32_t adapter, std::uint32_t phy,
                                              const RegisterRange& range, std::uint32_t batchSize,
                                              const std::function<void(std::uint32_t)>& progress) {
    std::vector<std::uint16_t> values;
    values.reserve(range.count);
    if (!batchable(range.clause22, range.mmd)) {
        for (std::uint32_t offset = 0; offset < range.count; ++offset) {
            values.push_back(read(adapter, phy, range.clause22, range.mmd, range.first + offset));
            if (progress) progress(offset + 1);
        }
        return values;
    }
    for (std::uint32_t done = 0; done < range.count;) {
        const std::uint32_t batch = std::min(batchSize, range.count - done);
        for (std::uint32_t i = 0; i < batch; ++i) {
            HW_BlockReadAdapter(adapter, phy, range.mmd, range.first + done + i);
        }
        check();
        const std::uint64_t first = HW_BlockOperationExecuteAdapter(adapter, phy);
        check();
        const std::uint32_t count = HW_BlockReadQueueSize();
        if (count != batch || first == 0) {
            throw LibraryError("a batch of " + std::to_string(batch) + " reads returned " +
                               std::to_string(count) + " values");
        }
        const auto* read =
            reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(first));
        for (std::uint32_t i = 0; i < count; ++i)
            values.push_back(static_cast<std::uint16_t>(read[i]));
        done += batch;
        if (progress) progress(done);
    }
    return values;
}

}  // namespace mdioctl
