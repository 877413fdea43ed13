// The mdioctl commands. Each reports through Output (text or JSON) and
// throws UsageError or LibraryError on failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Output.h"
#include "Session.h"

namespace mdioctl {

// `verbose` adds a first line naming the driver library in use.
void listAdapters(Session& session, Output& out, bool verbose);

void readRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range);
void writeRegister(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& target, const MaskedValue& value, bool verify);
void dumpRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range);

void scanAdapter(Session& session, Output& out, const std::string& adapter, bool vendorMmds);

void benchAdapter(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                  std::uint32_t count);

void gpioCommand(Session& session, Output& out, const std::string& adapter, std::uint32_t pin,
                 const std::string& level);
// Reads COUNT bytes after writing the register address REGLEN bytes long:
// least significant byte first, as the library sends it, or most significant
// first with `addressMsbFirst` (24C32 and larger EEPROMs take it so).
void i2cRead(Session& session, Output& out, const std::string& adapter, std::uint32_t address,
             std::uint32_t registerAddress, std::uint32_t registerLength, std::uint32_t count,
             bool addressMsbFirst = false);
// The low `registerLength` bytes of a register address in the other order.
std::uint32_t registerBytesReversed(std::uint32_t registerAddress, std::uint32_t registerLength);
void i2cWrite(Session& session, Output& out, const std::string& adapter, std::uint32_t address,
              const std::vector<std::uint8_t>& bytes);
void boardCommand(Session& session, Output& out, const std::string& adapter,
                  std::uint32_t registerAddress, const std::string& value);

}  // namespace mdioctl
