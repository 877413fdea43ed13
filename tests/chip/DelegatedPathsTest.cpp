// Where ZM_API_MDIO_Read sends a read of MMD 31 while delegation type 0 is
// on: every register of the two delegated sets through the PIF mailbox,
// every other register as a plain read; and an adapter-qualified PHY id on
// the mailbox path, which the mailbox passes on as it is, so the registry
// refuses it rather than reaching the adapter the id names.
#include <iterator>
#include <set>
#include <string>

#include "ChipFixture.h"
#include "chip/AccessRouter.h"

namespace {

constexpr std::uint32_t kVendorMmd = 31;
constexpr std::uint32_t kMailboxMmd = 30;

struct Range {
    std::uint32_t first, last, step;
};

// The delegated MMD 31 registers, as the chip's documentation lists them:
// offsets repeated at each of the four bases. Rows with step 8 and a range
// of five are the "low three bits 0 to 4" blocks.
const Range kFirstSet[] = {
    {0x037, 0x039, 1}, {0x045, 0x04A, 1}, {0x06F, 0x06F, 1}, {0x093, 0x095, 1},
    {0x0F3, 0x0F5, 1}, {0x1C0, 0x1C1, 1}, {0x803, 0x803, 1}, {0x807, 0x807, 1},
    {0x812, 0x812, 1}, {0x81C, 0x81C, 1}, {0x82E, 0x839, 1}, {0x980, 0x9D8, 8},
};
const Range kSecondSet[] = {
    {0x035, 0x035, 1}, {0x041, 0x042, 1}, {0x06D, 0x06D, 1}, {0x090, 0x090, 1},
    {0x0F0, 0x0F2, 1}, {0x1A0, 0x1A1, 1}, {0x800, 0x800, 1}, {0x805, 0x805, 1},
    {0x811, 0x811, 1}, {0x81A, 0x81A, 1}, {0x82A, 0x82D, 1}, {0x900, 0x978, 8},
};
// 0x280-0x2DF (first set) and 0x200-0x27F (second): offsets with low bits 0..4.
constexpr std::uint32_t kFirstBlocks[] = {0x280, 0x2E0};
constexpr std::uint32_t kSecondBlocks[] = {0x200, 0x280};
constexpr std::uint32_t kBases[] = {0x8000, 0x9000, 0xA000, 0xB000};

void addOffsets(std::set<std::uint32_t>& offsets, const Range* ranges, std::size_t count,
                const std::uint32_t (&blocks)[2]) {
    for (std::size_t row = 0; row < count; ++row) {
        for (std::uint32_t offset = ranges[row].first; offset <= ranges[row].last;
             offset += ranges[row].step)
            offsets.insert(offset);
    }
    for (std::uint32_t offset = blocks[0]; offset < blocks[1]; ++offset) {
        if ((offset & 0x7) <= 4) offsets.insert(offset);
    }
}

const std::set<std::uint32_t>& delegatedRegisters() {
    static const std::set<std::uint32_t> all = [] {
        std::set<std::uint32_t> offsets;
        addOffsets(offsets, kFirstSet, std::size(kFirstSet), kFirstBlocks);
        addOffsets(offsets, kSecondSet, std::size(kSecondSet), kSecondBlocks);
        std::set<std::uint32_t> registers;
        for (const std::uint32_t base : kBases) {
            for (const std::uint32_t offset : offsets)
                registers.insert(base + offset);
        }
        return registers;
    }();
    return all;
}

std::string hex4(std::uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

}  // namespace

TEST(DelegatedMmd31Paths, EveryRegisterOfMmd31TakesItsPath) {
    ASSERT_EQ(delegatedRegisters().size(), 880u);  // 424 + 456
    ASSERT_EQ(HW_Initialize(), 1u);                // every delegation on
    using mdiohost::chip::AccessPath;
    using mdiohost::chip::qualifiedReadPath;
    unsigned wrong = 0;
    // Past 0xFFFF too: no address that only looks like a delegated one.
    for (std::uint32_t address = 0; address < 0x20000; ++address) {
        const bool delegated = delegatedRegisters().count(address) != 0;
        const AccessPath vendor = qualifiedReadPath(0, kVendorMmd, address);
        if (vendor != (delegated ? AccessPath::PifMailbox : AccessPath::Plain)) {
            ADD_FAILURE() << "MMD 31 register 0x" << hex4(address);
            if (++wrong > 10) return;
        }
        // Only MMD 31 is delegated this way.
        EXPECT_EQ(qualifiedReadPath(0, kMailboxMmd, address), AccessPath::Plain);
    }
    // With type 0 off for the default adapter, none is.
    HW_SetDelegationType(0, 0, 0);
    for (const std::uint32_t address : delegatedRegisters())
        ASSERT_EQ(qualifiedReadPath(0, kVendorMmd, address), AccessPath::Plain) << address;
}

// Through the export, on the wire: each delegated register is one mailbox
// read (its address written to 0xC47C, MMD 31 read command), and the value
// the mailbox hands back is what the host gets; one either side of every
// delegated range is read plainly.
TEST_F(ChipTest, DelegatedRegistersAreReadThroughTheMailboxTheirNeighboursPlainly) {
    openBoards();
    HW_SetDelegationType(0, 0, 1);
    std::set<std::uint32_t> addresses = delegatedRegisters();
    for (const std::uint32_t address : delegatedRegisters()) {
        addresses.insert(address - 1);
        addresses.insert(address + 1);
    }
    for (const std::uint32_t address : addresses) {
        driver.forget();
        const auto value = static_cast<std::uint16_t>(address ^ 0x5A5A);
        std::vector<std::string> expected{"R,1F," + hex4(address)};
        if (delegatedRegisters().count(address) != 0) {
            answer({0x0001, value});  // status done, then the data
            expected = {"W,1E,C47F,0000", "W,1E,C47C," + hex4(address), "W,1E,C47E,011F",
                        "R,1E,C47F", "R,1E,C47D"};
        } else {
            answer({value});
        }
        ASSERT_EQ(ZM_API_MDIO_Read(0, kVendorMmd, address), value) << hex4(address);
        ASSERT_EQ(accesses(), expected) << hex4(address);
    }
    EXPECT_EQ(recorded(), "");
}

TEST_F(ChipTest, QualifiedPhyIdOnTheMailboxPathIsRefusedAndReachesNoAdapter) {
    openBoards(3);
    HW_SetDelegationType(0, 0, 1);
    const std::uint32_t qualified = 0x80020005;  // adapter 2, PHY 5
    const std::string phy = std::to_string(qualified);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ZM_API_MDIO_Read(qualified, kVendorMmd, 0x8037), 0u);
    const std::string errors = testing::internal::GetCapturedStderr();

    // Not adapter 2's PHY 5, nor anything else: no byte left the host.
    EXPECT_TRUE(driver.calls.empty()) << driver.operations().size() << " driver calls";
    // The mailbox's writes meet the registry's bound, its reads the engine's;
    // the last access, the data read, is the one recorded.
    EXPECT_EQ(recorded(), "OLD0B: Phy id, " + phy + ", out of range: min = 0, max = 31");
    EXPECT_NE(errors.find("Error: OLD0B: PHY ID invalid: 128\n"), std::string::npos);
    const std::string gaveUp =
        "Warning: PIF Mailbox commandStatus polling limit exceeded, retrying.\n"
        "Error: PIF Mailbox retry limit exceeded, so giving up.\n";
    EXPECT_NE(errors.find(gaveUp), std::string::npos);
    // How a refused access is traced, with the whole id, is pinned on the
    // SERDES bridge path; here only that the mailbox was tried and gave up.
    EXPECT_NE(records().find("0," + phy + ",MW,1E,C47C,8037\n"), std::string::npos);
}
