// A bench with one K8 MDIO board (adapter 0, PHYs 2 and 3) and one older
// family board (adapter 1, PHY 2), opened through libmdiohost with every
// delegation off. The bus log reads back as "W 1E C47F 0000" / "R 1E C47F"
// for Clause 45 accesses and "W22 0D 0003" / "R22 0E" for Clause 22 frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

class ChipBench : public testing::Test {
  public:
    static constexpr std::uint32_t kK8 = 0, kOlder = 1;

  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        mdiosim::BenchDescription bench;
        mdiosim::BoardDescription k8{"AA000001", "K8D MDIO", 8, {}, {}, {}};
        mdiosim::BoardDescription older{"TV00001B", "Talvik MDIO", 5, {}, {}, {}};
        for (const unsigned address : {2u, 3u})
            k8.phys.push_back(phyAt(address));
        older.phys.push_back(phyAt(2));
        bench.boards = {k8, older};
        mdiosim::resetBench(bench);
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), 2u);
        ASSERT_EQ(HW_DeviceNumber("AA000001"), kK8);
        for (const std::uint32_t adapter : {kK8, kOlder}) {
            ASSERT_EQ(HW_OpenAdapter(adapter), 1u);
            for (std::uint32_t type = 0; type < 5; ++type)
                HW_SetDelegationType(type, adapter, 0);
        }
        HW_SetDefaultAdapter(kK8);
        mdiosim::bench()->log().clear();
    }
    void TearDown() override { HW_Close(); }

    static mdiosim::PhyDescription phyAt(unsigned address) {
        mdiosim::PhyDescription phy;
        phy.address = address;
        return phy;
    }

    static mdiosim::Phy& phy(std::uint32_t adapter, unsigned address) {
        return mdiosim::bench()->board(adapter).phy(address);
    }
    static mdiosim::ChipModel& chip(std::uint32_t adapter, unsigned address) {
        return phy(adapter, address).chip();
    }

    // The MDIO accesses on the adapter's bus since the last clear.
    static std::vector<std::string> accesses(std::uint32_t adapter) {
        std::vector<std::string> seen;
        unsigned address = 0;
        for (const mdiosim::Transaction& t : mdiosim::bench()->transactionsSeen()) {
            if (t.board != adapter || t.bus != mdiosim::Bus::Mdio) continue;
            char text[32];
            switch (t.operation) {
                case mdiosim::Operation::Clause45Address:
                    address = t.value;
                    continue;
                case mdiosim::Operation::Clause45Write:
                    std::snprintf(text, sizeof text, "W %02X %04X %04X", t.mmd, address, t.value);
                    break;
                case mdiosim::Operation::Clause45Read:
                    std::snprintf(text, sizeof text, "R %02X %04X", t.mmd, address);
                    break;
                case mdiosim::Operation::Clause22Write:
                    std::snprintf(text, sizeof text, "W22 %02X %04X", t.registerAddress, t.value);
                    break;
                case mdiosim::Operation::Clause22Read:
                    std::snprintf(text, sizeof text, "R22 %02X", t.registerAddress);
                    break;
                default:
                    std::snprintf(text, sizeof text, "%s", mdiosim::operationName(t.operation));
                    break;
            }
            seen.emplace_back(text);
        }
        return seen;
    }
    static std::size_t count(const std::vector<std::string>& seen, const std::string& access) {
        return static_cast<std::size_t>(std::count(seen.begin(), seen.end(), access));
    }
};
