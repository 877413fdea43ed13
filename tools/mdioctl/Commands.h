// The mdioctl commands. Each reports through Output (text or JSON) and
// throws UsageError or LibraryError on failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Output.h"
#include "Script.h"
#include "Session.h"

namespace mdioctl {

// `verbose` adds a first line naming the driver library in use.
void listAdapters(Session& session, Output& out, bool verbose);

void readRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range);
void writeRegister(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& target, const MaskedValue& value, bool verify);
// Consecutive Clause 45 registers of a K8 MDIO adapter are read in bursts,
// checked against plain reads; `fast` also drops the preamble where the PHY
// takes frames without it. A PHY that reads otherwise either way is read
// the plain way, with a note on standard error.
void dumpRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range, bool fast = false);

// Compares two dump files; throws CheckFailed when they differ.
void diffDumps(Output& out, const std::string& firstPath, const std::string& secondPath);

void showPhy(Session& session, Output& out, const std::string& adapter, std::uint32_t phy);

void read32Registers(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                     std::uint32_t address, std::uint32_t count);
void write32Register(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                     std::uint32_t address, std::uint32_t value, bool verify);

// Runs every step in order; throws CheckFailed at the first failed expect.
void runScript(Session& session, Output& out, const Script& script);

struct WatchOptions {
    std::uint32_t polls = 0;  // 0: until the process is interrupted
    std::uint32_t intervalMilliseconds = 100;
    // Called after each poll with the number of polls done (tests use it to
    // change a register between polls).
    std::function<void(std::uint32_t)> afterPoll;
};

// Prints the registers' values, then every change with the time since the
// start, one line (or, with --json, one JSON object) at a time as it happens.
void watchRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                    const std::vector<RegisterRange>& registers, const WatchOptions& options);

void scanAdapter(Session& session, Output& out, const std::string& adapter, bool vendorMmds);

void benchAdapter(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                  std::uint32_t count);

void gpioCommand(Session& session, Output& out, const std::string& adapter, std::uint32_t pin,
                 const std::string& level);
// Reads COUNT bytes after writing the register address REGLEN bytes long:
// least significant byte first, as the library sends it, or most significant
// first with `addressMsbFirst` (24C32 and larger EEPROMs take it so).
// i2cRead and i2cWrite throw LibraryError, naming the address, when the
// device does not acknowledge.
void i2cRead(Session& session, Output& out, const std::string& adapter, std::uint32_t address,
             std::uint32_t registerAddress, std::uint32_t registerLength, std::uint32_t count,
             bool addressMsbFirst = false);
// The low `registerLength` bytes of a register address in the other order.
std::uint32_t registerBytesReversed(std::uint32_t registerAddress, std::uint32_t registerLength);
void i2cWrite(Session& session, Output& out, const std::string& adapter, std::uint32_t address,
              const std::vector<std::uint8_t>& bytes);
// The 7-bit addresses 0x08-0x77 whose device acknowledges its address.
void i2cScan(Session& session, Output& out, const std::string& adapter);
void boardCommand(Session& session, Output& out, const std::string& adapter,
                  std::uint32_t registerAddress, const std::string& value);

}  // namespace mdioctl
