#include "ExportCalls.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Verdict.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace fuzzing {
namespace {

// The MMDs with a path of their own (10 memory window, 11 TGE blocks, 27
// SERDES, 28 paged, 29 Clause 22 extension, 30 and 31 vendor) and plain ones.
constexpr std::uint32_t kInterestingMmds[] = {0, 1, 3, 7, 10, 11, 27, 28, 29, 30, 31};
constexpr std::uint32_t kQualifiedPhyId = 0x80000000;

// Arguments drawn from the input: mostly values a host would pass, so that
// calls get past the first check, and now and then any 32-bit value.
class Arguments {
  public:
    explicit Arguments(FuzzedDataProvider& source) : in(source) {}

    bool anyValue() { return in.ConsumeIntegralInRange<int>(0, 7) == 0; }
    std::uint32_t any() { return in.ConsumeIntegral<std::uint32_t>(); }

    std::uint32_t adapter() { return anyValue() ? any() : in.ConsumeIntegralInRange(0u, 7u); }
    std::uint32_t phy() {
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                return kQualifiedPhyId | (in.ConsumeIntegralInRange(0u, 7u) << 16) |
                       in.ConsumeIntegralInRange(0u, 3u);
            case 1:
                return any();
            default:
                return in.ConsumeIntegralInRange(0u, 3u);
        }
    }
    std::uint32_t mmd() { return anyValue() ? any() : in.PickValueInArray(kInterestingMmds); }
    std::uint32_t address() { return anyValue() ? any() : in.ConsumeIntegral<std::uint16_t>(); }
    std::uint32_t value() { return any(); }
    std::uint32_t count() {
        // Refused sizes sit just above what the exports accept.
        constexpr std::uint32_t kEdges[] = {0, 1, 4, 5, 65536, 0xFFFFFFFF};
        return anyValue() ? in.PickValueInArray(kEdges) : in.ConsumeIntegralInRange(0u, 40u);
    }
    std::uint8_t byte() { return in.ConsumeIntegral<std::uint8_t>(); }
    bool nullPointer() { return in.ConsumeIntegralInRange(0, 9) == 0; }
    std::vector<std::uint8_t> bytes(std::uint32_t size) {
        std::vector<std::uint8_t> data = in.ConsumeBytes<std::uint8_t>(size);
        data.resize(size);
        return data;
    }

    FuzzedDataProvider& in;
};

// Reads every value a block execute returned: a result shorter than the
// count it announces is caught by AddressSanitizer here.
void readBlockResult(std::uint64_t result) {
    const std::uint32_t size = HW_BlockReadQueueSize();
    if (result == 0) return;
    const auto* values = reinterpret_cast<const volatile std::uint32_t*>(result);
    std::uint32_t sum = 0;
    for (std::uint32_t index = 0; index < size; ++index)
        sum += values[index];
    (void)sum;
}

std::string adapterName(Arguments& with, const char* const* names) {
    std::size_t known = 0;
    while (names[known] != nullptr)
        ++known;
    if (known == 0 || with.anyValue()) return with.in.ConsumeRandomLengthString(40);
    return names[with.in.ConsumeIntegralInRange<std::size_t>(0, known - 1)];
}

using Call = std::function<void(Arguments&, const char* const*)>;

// Functions that never throw.
const std::vector<Call>& guardedCalls() {
    static const std::vector<Call> calls = {
        // --- adapter list, open and close
        [](Arguments&, const char* const*) { HW_NumberOfDevices(); },
        [](Arguments&, const char* const*) {
            char** list = HW_DeviceList();
            for (int slot = 0; list != nullptr && slot < 64 && list[slot] != nullptr; ++slot)
                require(std::strlen(list[slot]) < 4096, "device list holds strings");
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t index = with.adapter();
            const char* name = HW_Device(index);
            const char* fullName = HW_Device_FullName(index);
            if (name != nullptr) (void)std::strlen(name);
            if (fullName != nullptr) (void)std::strlen(fullName);
        },
        [](Arguments& with, const char* const* names) {
            if (with.nullPointer()) {
                HW_Open(nullptr);
                return;
            }
            HW_Open(adapterName(with, names).c_str());
        },
        [](Arguments& with, const char* const* names) {
            if (with.nullPointer()) {
                HW_DeviceNumber(nullptr);
                return;
            }
            HW_DeviceNumber(adapterName(with, names).c_str());
        },
        [](Arguments& with, const char* const*) { HW_OpenAdapter(with.adapter()); },
        [](Arguments& with, const char* const*) { HW_OpenAdapter(with.adapter()); },
        [](Arguments& with, const char* const*) { HW_CloseAdapter(with.adapter()); },
        [](Arguments&, const char* const*) { HW_Close(); },
        [](Arguments&, const char* const*) { HW_Initialize(); },
        [](Arguments&, const char* const*) { mdiohost_clear_failure(); },
        [](Arguments& with, const char* const*) { HW_SetDefaultAdapter(with.adapter()); },
        [](Arguments& with, const char* const*) { HW_SetDefault_PHY_ID(with.phy()); },
        [](Arguments& with, const char* const*) {
            HW_SetDeviceParameters(with.adapter(), with.any(), with.any());
        },
        [](Arguments& with, const char* const*) { HW_GetDeviceParameters(with.adapter(), 0); },
        // --- tracing, into the null device
        [](Arguments&, const char* const*) {
            static FILE* sink = std::fopen("/dev/null", "w");
            HW_EnableLogging(sink);
        },
        [](Arguments&, const char* const*) { HW_DisableLogging(0); },
        [](Arguments& with, const char* const*) {
            HW_LogMsg(with.nullPointer() ? nullptr : with.in.ConsumeRandomLengthString(40).c_str());
        },
        // --- delegations and Clause 45 over Clause 22
        [](Arguments&, const char* const*) { HW_InitializeDelegations(); },
        [](Arguments& with, const char* const*) {
            const std::uint32_t type = with.anyValue() ? with.any() : with.byte() % 6;
            HW_SetDelegationType(type, with.adapter(), with.byte() % 3);
        },
        [](Arguments& with, const char* const*) {
            HW_GetDelegationType(with.byte() % 6, with.adapter());
        },
        [](Arguments&, const char* const*) { HW_InitializeClause22(); },
        [](Arguments& with, const char* const*) { HW_EnableClause45OverClause22(with.adapter()); },
        [](Arguments& with, const char* const*) { HW_DisableClause45OverClause22(with.adapter()); },
        // --- single registers
        [](Arguments& with, const char* const*) {
            HW_Read(with.adapter(), with.phy(), with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            HW_Write(with.adapter(), with.phy(), with.mmd(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_MDIO_Read(with.phy(), with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_MDIO_Write(with.phy(), with.mmd(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_MDIO_Read_Default_PHY_ID(with.mmd(), with.address());
            HW_Read_Default_PHY_ID(with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_MDIO_Write_Default_PHY_ID(with.mmd(), with.address(), with.value());
            HW_Write_Default_PHY_ID(with.mmd(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t count = with.count() % 8;
            std::vector<std::uint32_t> phys(count);
            for (std::uint32_t& phy : phys)
                phy = with.phy();
            ZM_API_MDIO_Write_Multi(with.nullPointer() ? nullptr : phys.data(), count, with.mmd(),
                                    with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            HW_Read_C22(with.adapter(), with.phy(), with.address() % 40);
            ZM_API_MDIO_Read_C22(with.phy(), with.address() % 40);
        },
        [](Arguments& with, const char* const*) {
            HW_Write_C22(with.adapter(), with.phy(), with.address() % 40, with.value());
            ZM_API_MDIO_Write_C22(with.phy(), with.address() % 40, with.value());
        },
        // --- 32-bit registers, guarded
        [](Arguments& with, const char* const*) {
            HW_Write32(with.adapter(), with.phy(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            HW_Read32(with.adapter(), with.phy(), with.address());
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t adapter = with.adapter();
            const std::uint32_t phy = with.phy();
            HW_Read32PreIncrementAddress(adapter, phy);
            HW_Read32CurrentAddress(adapter, phy);
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t adapter = with.adapter();
            const std::uint32_t phy = with.phy();
            HW_Write32PreIncrementAddress(adapter, phy, with.value());
            HW_Write32CurrentAddress(adapter, phy, with.value());
        },
        [](Arguments& with, const char* const*) {
            mdiohost_block_read32(with.adapter(), with.phy(), with.address());
        },
        [](Arguments& with, const char* const*) {
            mdiohost_block_write32(with.adapter(), with.phy(), with.address(), with.value());
        },
        // --- queued registers
        [](Arguments& with, const char* const*) {
            HW_BlockRead(with.phy(), with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            HW_BlockReadAdapter(with.adapter(), with.phy(), with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            HW_BlockRead_Default_PHY_ID(with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            HW_BlockWrite(with.phy(), with.mmd(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            HW_BlockWriteAdapter(with.adapter(), with.phy(), with.mmd(), with.address(),
                                 with.value());
        },
        [](Arguments& with, const char* const*) {
            HW_BlockWrite_Default_PHY_ID(with.mmd(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_MDIO_BlockRead(with.phy(), with.mmd(), with.address());
            ZM_API_MDIO_BlockRead_Default_PHY_ID(with.mmd(), with.address());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_MDIO_BlockWrite(with.phy(), with.mmd(), with.address(), with.value());
            ZM_API_MDIO_BlockWrite_Default_PHY_ID(with.mmd(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            readBlockResult(HW_BlockOperationExecute(with.phy()));
        },
        [](Arguments& with, const char* const*) {
            readBlockResult(HW_BlockOperationExecuteAdapter(with.adapter(), with.phy()));
        },
        [](Arguments& with, const char* const*) {
            readBlockResult(HW_BlockOperationExecuteAdapter_C22(with.adapter(), with.phy()));
        },
        [](Arguments& with, const char* const*) {
            readBlockResult(HW_BlockOperationExecute_C22(with.phy()));
        },
        [](Arguments& with, const char* const*) {
            readBlockResult(ZM_API_MDIO_BlockOperationExecute(with.phy()));
        },
        // --- board services
        [](Arguments& with, const char* const*) { Board_Read(with.address()); },
        [](Arguments& with, const char* const*) { Board_Write(with.address(), with.value()); },
        [](Arguments& with, const char* const*) {
            Board_ReadAdapter(with.adapter(), with.address());
        },
        [](Arguments& with, const char* const*) {
            Board_WriteAdapter(with.adapter(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            HW_GpioSetAdapter(with.adapter(), with.byte() % 20, with.byte());
        },
        [](Arguments& with, const char* const*) {
            std::uint8_t level = 0;
            HW_GpioGetAdapter(with.adapter(), with.byte() % 20,
                              with.nullPointer() ? nullptr : &level);
        },
        // --- raw I2C
        [](Arguments& with, const char* const*) {
            std::vector<unsigned char> bytes = with.bytes(with.count() % 64);
            i2c_WriteAdapter(with.adapter(), with.byte(), bytes);
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t adapter = with.adapter();
            const std::uint32_t address = with.byte();
            const std::uint32_t registerAddress = with.any();
            const auto registerLength = static_cast<unsigned char>(with.byte() % 6);
            i2c_ReadAdapter(adapter, address, registerAddress, registerLength, with.count() % 64);
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t count = with.count();
            const bool withBuffer = !with.nullPointer();
            std::vector<std::uint8_t> bytes = with.bytes(withBuffer && count < 64 ? count : 0);
            mdiohost_i2c_write(with.adapter(), with.byte(),
                               withBuffer && count < 64 ? bytes.data() : nullptr, count);
        },
        [](Arguments& with, const char* const*) {
            const std::uint32_t count = with.count();
            const bool withBuffer = !with.nullPointer() && count < 64;
            std::vector<std::uint8_t> data(withBuffer ? count : 0);
            mdiohost_i2c_read(with.adapter(), with.byte(), with.any(), with.byte() % 6,
                              withBuffer ? data.data() : nullptr, count);
        },
        [](Arguments& with, const char* const*) { mdiohost_i2c_acknowledged(with.adapter()); },
        // --- answers without arguments
        [](Arguments&, const char* const*) {
            HW_GetDefaultAdapter();
            HW_GetDefault_PHY_ID();
            HW_BlockReadQueueSize();
            HW_Device_Revision();
            ZM_API_MDIO_SupportsBlockOperations();
            ZM_API_MDIO_MaxBlockOperations();
            (void)std::strlen(mdiohost_version());
            HW_CallException();
        },
    };
    return calls;
}

// Functions marked THROWS.
const std::vector<Call>& throwingCalls() {
    static const std::vector<Call> calls = {
        [](Arguments& with, const char* const*) {
            HW_API_Write32(with.phy(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) { HW_API_Read32(with.phy(), with.address()); },
        [](Arguments& with, const char* const*) {
            HW_BlockRead32Adapter(with.adapter(), with.phy(), with.address());
        },
        [](Arguments& with, const char* const*) {
            HW_BlockWrite32Adapter(with.adapter(), with.phy(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) { HW_BlockRead32(with.phy(), with.address()); },
        [](Arguments& with, const char* const*) {
            HW_BlockWrite32(with.phy(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) {
            ZM_API_BlockRead32(with.phy(), with.address());
            ZM_API_BlockWrite32(with.phy(), with.address(), with.value());
        },
        [](Arguments& with, const char* const*) { HW_Read16(with.adapter(), with.phy(), 0); },
        [](Arguments& with, const char* const*) { HW_API_Write64(with.phy(), 0, with.any()); },
    };
    return calls;
}

void checkFailureText() {
    if (!HW_Fail()) return;
    const char* text = HW_Error();
    require(text != nullptr && text[0] != '\0', "a recorded failure has its text");
}

}  // namespace

void runOneExportCall(FuzzedDataProvider& input, const char* const* adapterNames,
                      CallTally& tally) {
    Arguments with(input);
    const std::vector<Call>& guarded = guardedCalls();
    const std::vector<Call>& throwing = throwingCalls();
    const std::size_t choice =
        input.ConsumeIntegralInRange<std::size_t>(0, guarded.size() + throwing.size() - 1);
    const bool wasFailing = HW_Fail() != 0;
    ++tally.calls;
    if (choice < guarded.size()) {
        try {
            guarded[choice](with, adapterNames);
        } catch (const std::exception& escaped) {
            broken("only THROWS functions throw:", escaped.what());
        } catch (...) {
            broken("only THROWS functions throw:", "(not a std::exception)");
        }
    } else {
        try {
            throwing[choice - guarded.size()](with, adapterNames);
        } catch (const std::exception&) {
            ++tally.thrown;
        } catch (...) {
            broken("THROWS functions throw standard exceptions:", "(not a std::exception)");
        }
    }
    if (!wasFailing && HW_Fail()) ++tally.failed;
    checkFailureText();
}

}  // namespace fuzzing
