// Values written through each of the chip's paths land in the simulated
// chip's register and read back through the same path, on both board
// families; delegations switch between paths to the same register; and
// 32-bit registers work through the shared library.
#include <string>
#include <vector>

#include "ChipBench.h"

namespace {

// Where in the simulated chip an access must land.
enum class Store { Tge, Serdes, MemoryUpper, MemoryLower, Paged, Clause45 };

std::uint32_t stored(mdiosim::Phy& phy, Store store, std::uint32_t mmd, std::uint32_t address) {
    switch (store) {
        case Store::Tge:
            return phy.chip().tge(address);
        case Store::Serdes:
            return phy.chip().serdes(address);
        case Store::MemoryUpper:
            return phy.chip().memoryWord(0x3FFE0484) >> 16;  // odd register
        case Store::MemoryLower:
            return phy.chip().memoryWord(0x3FFF0480) & 0xFFFF;  // even
        case Store::Paged:
            return phy.chip().paged(address);
        case Store::Clause45:
            return phy.clause45(mmd, address);
    }
    return 0;
}

class EachPath : public ChipBench, public testing::WithParamInterface<std::uint32_t> {};

}  // namespace

TEST_P(EachPath, WritesLandInTheChipAndReadBack) {
    const struct {
        std::vector<std::uint32_t> delegations;  // delegation types turned on
        std::uint32_t mmd, address;
        bool hwFunctions;  // HW_Read/HW_Write; otherwise ZM_API_MDIO_ on the default adapter
        Store store;
    } cases[] = {
        {{}, 11, 0x0003, true, Store::Tge},          {{}, 11, 0x3010, true, Store::Tge},
        {{3}, 11, 0x2005, true, Store::Tge},         {{}, 27, 0x0042, true, Store::Serdes},
        {{4}, 27, 0xA0B1, false, Store::Serdes},     {{}, 10, 3, false, Store::MemoryUpper},
        {{}, 10, 0x8000, false, Store::MemoryLower}, {{}, 28, 0x05FE, false, Store::Paged},
        {{1, 2}, 28, 0x0123, false, Store::Paged},   {{}, 1, 0x1234, false, Store::Clause45},
    };
    const std::uint32_t adapter = GetParam();
    HW_SetDefaultAdapter(adapter);
    std::uint16_t value = 0x1111;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mmd << "." << c.address);
        for (std::uint32_t type = 0; type < 5; ++type)
            HW_SetDelegationType(type, adapter, 0);
        for (const std::uint32_t type : c.delegations)
            HW_SetDelegationType(type, adapter, 1);
        value = static_cast<std::uint16_t>(value + 0x0101);
        if (c.hwFunctions) {
            HW_Write(adapter, 2, c.mmd, c.address, value);
            EXPECT_EQ(HW_Read(adapter, 2, c.mmd, c.address), value);
        } else {
            ZM_API_MDIO_Write(2, c.mmd, c.address, value);
            EXPECT_EQ(ZM_API_MDIO_Read(2, c.mmd, c.address), value);
        }
        EXPECT_EQ(stored(phy(adapter, 2), c.store, c.mmd, c.address), value);
    }
    EXPECT_EQ(HW_Fail(), 0) << (HW_Error() ? HW_Error() : "");
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, EachPath,
                         testing::Values(ChipBench::kK8, ChipBench::kOlder));

TEST_F(ChipBench, MemoryWindowWriteKeepsTheOtherHalfOfTheWord) {
    chip(kK8, 2).setMemoryWord(0x3FFE0484, 0x11112222);
    chip(kK8, 2).knobs.memoryWindowBusyPolls = 40;  // the last poll the host makes
    ZM_API_MDIO_Write(2, 10, 3, 0xAAAA);
    EXPECT_EQ(chip(kK8, 2).memoryWord(0x3FFE0484), 0xAAAA2222u);
    ZM_API_MDIO_Write(2, 10, 2, 0xBBBB);
    EXPECT_EQ(chip(kK8, 2).memoryWord(0x3FFE0484), 0xAAAABBBBu);
    chip(kK8, 2).knobs.memoryWindowBusyPolls = 41;
    EXPECT_EQ(ZM_API_MDIO_Read(2, 10, 3), 0u) << "busy for every poll";
    chip(kK8, 2).knobs.memoryWindowBusyPolls = 0;
    EXPECT_EQ(ZM_API_MDIO_Read(2, 10, 3), 0xAAAAu);
}

TEST_F(ChipBench, PagedSelectorAnswersTwelveBitsOfTheSelectedRegister) {
    chip(kK8, 2).setPaged(0x419, 0x0ABC);
    chip(kK8, 2).setPaged(0x101, 0xF123);
    chip(kK8, 2).setPaged(0x0B, 0x7777);
    EXPECT_EQ(ZM_API_MDIO_Read(2, 28, 0x8419), 0xABCu);
    EXPECT_EQ(ZM_API_MDIO_Read(2, 28, 0x8101), 0x123u);
    // The window still reads whole registers afterwards.
    EXPECT_EQ(ZM_API_MDIO_Read(2, 28, 0x0101), 0xF123u);
    EXPECT_EQ(chip(kK8, 2).paged(0x0B), 0x7777u) << "a selector read changes no register";
}

TEST_F(ChipBench, DelegationsSwitchPathsToTheSameRegister) {
    mdiosim::Phy& target = phy(kK8, 2);
    target.chip().setTge(0x2005, 0x0011);
    target.chip().setSerdes(0x0042, 0x0027);
    target.chip().setPaged(0x0101, 0x0028);
    target.setClause45(31, 0x8037, 0x0031);
    struct Case {
        std::uint32_t type, mmd, address, value;
        const char* mailboxCommand;
    };
    for (const Case& c : std::vector<Case>{{3, 11, 0x2005, 0x11, "W 1E C47E 010B"},
                                           {4, 27, 0x0042, 0x27, "W 1E C47E 011B"},
                                           {2, 28, 0x8101, 0x28, "W 1E C47E 011C"},
                                           {0, 31, 0x8037, 0x31, "W 1E C47E 011F"}}) {
        SCOPED_TRACE(c.mmd);
        for (const std::uint32_t state : {0u, 1u}) {
            HW_SetDelegationType(c.type, kK8, state);
            mdiosim::bench()->log().clear();
            EXPECT_EQ(ZM_API_MDIO_Read(2, c.mmd, c.address), c.value);
            EXPECT_EQ(count(accesses(kK8), c.mailboxCommand), state);
        }
    }
}

TEST_F(ChipBench, Registers32ThroughTheExports) {
    mdiosim::Phy& target = phy(kK8, 2);
    HW_Write32(kK8, 2, 0x000100, 0xDEADBEEF);
    EXPECT_EQ(target.register32(0x000100), 0xDEADBEEFu);
    EXPECT_EQ(HW_Read32(kK8, 2, 0x000100), 0xDEADBEEFu);
    target.setRegister32(0x000104, 0x01020304);
    EXPECT_EQ(HW_Read32PreIncrementAddress(kK8, 2), 0x01020304u);
    HW_Write32CurrentAddress(kK8, 2, 0x0A0B0C0D);
    EXPECT_EQ(target.register32(0x000104), 0x0A0B0C0Du);
    EXPECT_EQ(HW_API_Read32(0x80000002, 0x000100), 0xDEADBEEFu);
    HW_BlockWrite32(2, 0x000200, 0x12345678);
    HW_BlockRead32(2, 0x000200);
    ZM_API_BlockRead32(2, 0x000100);
    const std::uint64_t result = HW_BlockOperationExecute(2);
    ASSERT_NE(result, 0u);
    const auto* values =
        reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(result));
    EXPECT_EQ(values[0], 0x12345678u);
    EXPECT_EQ(values[1], 0xDEADBEEFu);
    EXPECT_EQ(HW_Fail(), 0) << (HW_Error() ? HW_Error() : "");
}
