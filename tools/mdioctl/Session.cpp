#include "Session.h"

#include <algorithm>
#include <cstdio>

#include "AdapterLookup.h"
#include "DriverList.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace mdioctl {
namespace {

// MMDs the library serves through indirect paths rather than plain MDIO;
// block reads skip or misroute them, so they are read one at a time.
bool isIndirectMmd(std::uint32_t mmd) {
    return mmd == 10 || mmd == 11 || mmd == 27 || mmd == 28;
}

// The library serves the indirect MMDs and the tunnel only on its default
// adapter; this makes the adapter the default for one access and puts the
// previous default back.
class DefaultAdapterScope {
  public:
    explicit DefaultAdapterScope(std::uint32_t adapter) : previous(HW_GetDefaultAdapter()) {
        HW_SetDefaultAdapter(adapter);
    }
    ~DefaultAdapterScope() { HW_SetDefaultAdapter(previous); }
    DefaultAdapterScope(const DefaultAdapterScope&) = delete;
    DefaultAdapterScope& operator=(const DefaultAdapterScope&) = delete;

  private:
    std::uint32_t previous;
};

}  // namespace

Session::Session(const SessionOptions& chosen) : options(chosen) {
    // The tool reports each failure itself, once, as "mdioctl: <text>".
    mdiohost_set_error_echo(0);
    HW_Initialize();
    if (options.trace) {
        if (options.traceFile.empty()) {
            HW_EnableLoggingStderr();
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

std::uint32_t Session::find(const std::string& adapter, const AdapterNeed& need) {
    const std::uint32_t count = adapterCount();
    const auto boards = readDriverList();
    std::vector<ListedAdapter> adapters;
    families.clear();
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::string name = HW_Device(index);
        adapters.push_back({name, adapterFamily(name, boards)});
        families.push_back(adapters.back().family);
    }
    check();
    return chooseAdapter(adapter, adapters, need);
}

std::uint32_t Session::open(const std::string& adapter, const AdapterNeed& need) {
    const std::uint32_t index = find(adapter, need);
    HW_OpenAdapter(index);
    check();
    if (options.clause22Tunnel) HW_EnableClause45OverClause22(index);
    return index;
}

std::string Session::family(std::uint32_t adapter) const {
    return adapter < families.size() ? families[adapter] : "unknown";
}

bool Session::throughDefaultAdapter(bool clause22, std::uint32_t mmd) const {
    return !clause22 && (options.clause22Tunnel || isIndirectMmd(mmd));
}

std::uint16_t Session::read(std::uint32_t adapter, std::uint32_t phy, bool clause22,
                            std::uint32_t mmd, std::uint32_t registerAddress) {
    std::uint32_t value = 0;
    if (clause22) {
        value = HW_Read_C22(adapter, phy, registerAddress);
    } else if (throughDefaultAdapter(clause22, mmd)) {
        // HW_Read leaves MMDs 10 and 28 alone and ignores the tunnel. The PHY
        // id stays unqualified: the mailbox, SERDES and TGE paths pass a
        // qualified id on unchanged, and the registry would refuse it.
        const DefaultAdapterScope scope(adapter);
        value = ZM_API_MDIO_Read(phy, mmd, registerAddress);
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
    } else if (throughDefaultAdapter(clause22, mmd)) {
        const DefaultAdapterScope scope(adapter);
        ZM_API_MDIO_Write(phy, mmd, registerAddress, value);
    } else {
        HW_Write(adapter, phy, mmd, registerAddress, value);
    }
    check();
}

bool Session::batchable(bool clause22, std::uint32_t mmd) const {
    return !clause22 && !throughDefaultAdapter(clause22, mmd);
}

bool Session::wireSpeedAdapter(std::uint32_t adapter) const {
    return family(adapter) == "K8 MDIO";
}

bool Session::burstable(std::uint32_t adapter, const RegisterRange& range) const {
    return wireSpeedAdapter(adapter) && batchable(range.clause22, range.mmd);
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
