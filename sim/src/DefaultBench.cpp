// The built-in bench: what MDIOSIM_BENCH unset gives.
#include <string>
#include <vector>

#include "mdiosim/Description.h"

namespace mdiosim {
namespace {

// Clause 22 / Clause 45 register numbers the default PHYs fill in.
constexpr unsigned kControl = 0;
constexpr unsigned kStatus = 1;
constexpr unsigned kIdentifier1 = 2;
constexpr unsigned kIdentifier2 = 3;
constexpr unsigned kAutonegotiationAdvertisement = 4;
constexpr unsigned kLinkPartnerAbility = 5;
constexpr unsigned kDevicesInPackage1 = 5;
constexpr unsigned kDevicesInPackage2 = 6;
constexpr unsigned kGigabitControl = 9;
constexpr unsigned kGigabitStatus = 10;
constexpr unsigned kExtendedStatus = 15;

// MMDs: PMA/PMD, PCS, auto-negotiation, vendor specific 1.
constexpr unsigned kPmaPmd = 1;
constexpr unsigned kPcs = 3;
constexpr unsigned kAutonegotiation = 7;
constexpr unsigned kVendor1 = 30;

// Devices in package: Clause 22 registers, PMA/PMD, PCS, AN; vendor 1 and 2.
constexpr std::uint16_t kPackageLow = 0x008B;
constexpr std::uint16_t kPackageHigh = 0xC000;

// A PHY that accepts a suppressed preamble starts a frame at any 0 on an idle
// line, so it is kept off a line that I2C traffic shares: there it would take
// data bits for frames and answer them. Its status register (bit 6) tells.
PhyDescription identifiedPhy(unsigned address, std::uint32_t identifier,
                             bool acceptsSuppression = true) {
    PhyDescription phy;
    phy.address = address;
    phy.acceptsPreambleSuppression = acceptsSuppression;
    const auto high = static_cast<std::uint16_t>(identifier >> 16);
    const auto low = static_cast<std::uint16_t>(identifier);
    phy.clause22 = {{kControl, 0x1140},  // auto-negotiation on, full duplex, 1000 Mb/s
                    {kStatus, 0x796D},   // link up, auto-negotiation complete
                    {kIdentifier1, high},
                    {kIdentifier2, low},
                    {kAutonegotiationAdvertisement, 0x01E1},
                    {kLinkPartnerAbility, 0xC5E1},
                    {kGigabitControl, 0x0300},
                    {kGigabitStatus, 0x3C00},
                    {kExtendedStatus, 0x3000}};
    for (const unsigned mmd : {kPmaPmd, kPcs, kAutonegotiation, kVendor1}) {
        phy.clause45[mmd] = {{kIdentifier1, high},
                             {kIdentifier2, low},
                             {kDevicesInPackage1, kPackageLow},
                             {kDevicesInPackage2, kPackageHigh}};
    }
    phy.clause45[kPmaPmd][kControl] = 0x2040;           // 1000 Mb/s speed selection
    phy.clause45[kPmaPmd][kStatus] = 0x0006;            // low-power ability, receive link up
    phy.clause45[kAutonegotiation][kControl] = 0x3000;  // extended next page, AN enable
    phy.clause45[kVendor1][0x0020] = static_cast<std::uint16_t>(0x0100 + address);
    phy.registers32 = {{0x000000, identifier}, {0x000004, 0x00010002}, {0x000100, 0x0000A5A5}};
    return phy;
}

// The I2C side of the K8U board: a bridge to PHY 0 and a board EEPROM (a
// 24C02) that starts with the board's name. Its write cycle is left out, so
// that a host that reads back right after a write, without polling the part
// until it answers, finds what it wrote.
std::vector<I2cDeviceDescription> i2cDevicesOfTheK8uBoard() {
    I2cDeviceDescription bridge;
    bridge.kind = I2cDeviceKind::MdioBridge;
    bridge.address = 0x10;
    bridge.phyAddress = 0;
    I2cDeviceDescription eeprom;
    eeprom.kind = I2cDeviceKind::Eeprom;
    eeprom.address = 0x50;
    applyEepromModel(eeprom, "24C02");
    eeprom.writeCycleSeconds = 0;
    const std::string name = "K8U MDIO I2C";
    for (unsigned offset = 0; offset < name.size(); ++offset) {
        eeprom.contents[offset] = static_cast<std::uint8_t>(name[offset]);
    }
    return {bridge, eeprom};
}

}  // namespace

BenchDescription defaultBenchDescription() {
    BenchDescription bench;

    BoardDescription k8u;
    k8u.serialNumber = "K8A00001";
    k8u.description = "K8U MDIO I2C";
    k8u.chipType = 8;
    for (unsigned address = 0; address < 4; ++address) {
        k8u.phys.push_back(identifiedPhy(address, 0x7C0A4C21, false));
    }
    k8u.i2cDevices = i2cDevicesOfTheK8uBoard();
    bench.boards.push_back(k8u);

    BoardDescription k8d;
    k8d.serialNumber = "AA000001";
    k8d.description = "K8D MDIO";
    k8d.chipType = 8;
    k8d.phys.push_back(identifiedPhy(0, 0x7C0A4D11));
    k8d.phys.push_back(identifiedPhy(1, 0x7C0A4D11));
    bench.boards.push_back(k8d);

    BoardDescription older;
    older.serialNumber = "TV00001B";
    older.description = "Talvik MDIO";
    older.chipType = 5;  // FT232R: a serial bridge, no MPSSE needed
    older.phys.push_back(identifiedPhy(0, 0x7C0A4B02));
    older.phys.push_back(identifiedPhy(1, 0x7C0A4B02));
    older.boardRegisters = {{0, 0x54}, {1, 0x13}};  // board id, controller firmware version
    bench.boards.push_back(older);

    return bench;
}

}  // namespace mdiosim
