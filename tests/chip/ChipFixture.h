// Chip path tests run on older-family boards behind the scripted driver: each
// single MDIO access is one USB write (port select frame, then the access
// frame) and a read is answered by three bytes, so the frames on the wire
// read back as the exact list of accesses a path made.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ScriptedDriver.h"
#include "TraceFile.h"
#include "mdiohost.h"

class ChipTest : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    testing_support::TraceFile trace;

    // The library closes the trace stream it was handed.
    void TearDown() override {
        HW_EnableLogging(trace.stream);
        HW_DisableLogging(1);
    }

    // Opens `boards` older-family boards as adapters 0.. with every
    // delegation off, adapter 0 the default, and the trace on.
    void openBoards(int boards = 1) {
        for (int board = 0; board < boards; ++board)
            driver.addDevice("OLD" + std::to_string(board) + "B", "older board");
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), static_cast<std::uint32_t>(boards));
        for (std::uint32_t adapter = 0; adapter < static_cast<std::uint32_t>(boards); ++adapter) {
            ASSERT_EQ(HW_OpenAdapter(adapter), 1u);
            for (std::uint32_t type = 0; type < 5; ++type)
                HW_SetDelegationType(type, adapter, 0);
        }
        HW_SetDefaultAdapter(0);
        driver.forget();
        HW_EnableLogging(trace.stream);
    }

    // The chip's answers to the next reads, in order, each `times` times.
    void answer(std::initializer_list<std::uint16_t> values, std::size_t times = 1) {
        for (const std::uint16_t value : values) {
            for (std::size_t i = 0; i < times; ++i)
                driver.queueReply({0x00, static_cast<std::uint8_t>(value & 0xFF),
                                   static_cast<std::uint8_t>(value >> 8)});
        }
    }

    // Every MDIO frame written since the last forget, as "W,MMD,ADDR,DATA" or
    // "R,MMD,ADDR" in hexadecimal; port select frames as "P,phy" if asked for.
    std::vector<std::string> accesses(bool portSelects = false) const {
        std::vector<std::string> frames;
        const testing_support::Bytes bytes = driver.written();
        for (std::size_t at = 0; at + 5 <= bytes.size(); at += 5) {
            const unsigned op = bytes[at] & 0xE0u, mmd = bytes[at] & 0x1Fu;
            const unsigned address = bytes[at + 1] | (bytes[at + 2] << 8);
            const unsigned data = bytes[at + 3] | (bytes[at + 4] << 8);
            char text[32];
            if (op == 0x40)
                std::snprintf(text, sizeof text, "W,%02X,%04X,%04X", mmd, address, data);
            else if (op == 0x60)
                std::snprintf(text, sizeof text, "R,%02X,%04X", mmd, address);
            else if (portSelects)
                std::snprintf(text, sizeof text, "P,%u", data);
            else
                continue;
            frames.emplace_back(text);
        }
        return frames;
    }

    // The trace without its header line.
    std::string records() const {
        const std::string text = trace.text();
        const std::string header = "adapter,phy,op,mmd,address,value,\n";
        return text.rfind(header, 0) == 0 ? text.substr(header.size()) : text;
    }

    static std::string recorded() { return HW_Fail() && HW_Error() ? HW_Error() : ""; }
};
