// A fixture for export suites on the default simulated bench: the library
// initialised with the failure echo off, and the K8 board's I2C and MDIO
// adapters and the older-family adapter open.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Board.h"

class OpenDefaultAdapters : public testing::Test {
  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        mdiosim::reloadBench();
        mdiohost_set_error_echo(0);
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), 4u);
        i2c = opened("K8A00001:I2C");
        mdio = opened("K8A00001:MDIO");
        older = opened("TV00001B");
    }
    void TearDown() override { HW_Close(); }

    static std::uint32_t opened(const char* name) {
        const std::uint32_t adapter = HW_DeviceNumber(name);
        EXPECT_EQ(HW_OpenAdapter(adapter), 1u) << name << ": " << failure();
        return adapter;
    }
    static std::string failure() { return testing_support::recordedFailure(); }
    static mdiosim::Board& board(const char* serialNumber) {
        return mdiosim::bench()->board(serialNumber);
    }
    static mdiosim::Board& k8() { return board("K8A00001"); }

    std::uint32_t i2c = 0;
    std::uint32_t mdio = 0;
    std::uint32_t older = 0;
};
