// Single and queued MDIO and 32-bit operations per adapter and PHY.
//
// Queued operations only append to the engine's queue for the PHY; a single
// operation queues and executes that PHY's queue at once. Values come back in
// queue order and are kept per adapter and PHY until the next execute.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "registry/TalvikControl.h"

namespace {

constexpr const char* kNoValueRead = "Error: No values read, expected one.";
constexpr const char* kReadWithQueuedReads =
    "Error: read() called with with async reads queued. Must read out async values with "
    "blockOperationExecute before calling read().";
constexpr const char* kWriteWithQueuedReads =
    "Error: write() called with with async reads queued. Must read out async values with "
    "blockOperationExecute before calling write() || read(). Read values have been lost.\n";

std::uint8_t mmdOf(std::uint32_t mmd) {
    return static_cast<std::uint8_t>(mmd);
}
std::uint16_t register16(std::uint32_t address) {
    return static_cast<std::uint16_t>(address);
}
std::uint8_t register8(std::uint32_t address) {
    return static_cast<std::uint8_t>(address);
}

}  // namespace

FTDI::MDIO& TalvikControl::engineOf(FTDI::Device& adapter) {
    // A K8 JTAG adapter is open but has no MDIO engine.
    if (!adapter.engine)
        throw std::runtime_error(adapter.name + ": this adapter has no MDIO engine.");
    return *adapter.engine;
}

void TalvikControl::checkPhyId(const FTDI::Device& adapter, std::uint32_t phyId,
                               bool deviceId) const {
    if (phyId >= kPhyIdLimit) {
        throw std::runtime_error(adapter.name +
                                 (deviceId ? ": DEV ID invalid: " : ": PHY ID invalid: ") +
                                 std::to_string(kPhyIdLimit));
    }
}

// --- queued operations. Reads let the engine check the PHY id first; writes
// check the registry's bound first.

void TalvikControl::blockRead(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                              std::uint32_t registerAddress) {
    FTDI::Device& device = openAdapterAt(adapter);
    engineOf(device).queueRead(phyId, mmdOf(mmd), register16(registerAddress));
    checkPhyId(device, phyId, false);
}

void TalvikControl::blockWrite(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                               std::uint32_t registerAddress, std::uint32_t value) {
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    checkPhyId(device, phyId, false);
    engine.queueWrite(phyId, mmdOf(mmd), register16(registerAddress), register16(value));
}

void TalvikControl::blockReadC22(std::uint32_t adapter, std::uint32_t phyId,
                                 std::uint32_t registerAddress) {
    FTDI::Device& device = openAdapterAt(adapter);
    engineOf(device).queueReadC22(phyId, register8(registerAddress));
    checkPhyId(device, phyId, false);
}

void TalvikControl::blockWriteC22(std::uint32_t adapter, std::uint32_t phyId,
                                  std::uint32_t registerAddress, std::uint32_t value) {
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    checkPhyId(device, phyId, false);
    engine.queueWriteC22(phyId, register8(registerAddress), register16(value));
}

void TalvikControl::blockRead32(std::uint32_t adapter, std::uint32_t deviceId,
                                std::uint32_t address) {
    FTDI::Device& device = openAdapterAt(adapter);
    engineOf(device).queueRead32(deviceId, address);
    checkPhyId(device, deviceId, true);
}

void TalvikControl::blockWrite32(std::uint32_t adapter, std::uint32_t deviceId,
                                 std::uint32_t address, std::uint32_t value) {
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    checkPhyId(device, deviceId, true);
    engine.queueWrite32(deviceId, address, value);
}

// --- executing

std::uint32_t TalvikControl::executeSingleRead(FTDI::Device& device, std::uint32_t adapter,
                                               std::uint32_t phyId) {
    FTDI::Values& kept = resultList(adapter, phyId);
    device.engine->execute(phyId, kept);
    if (kept.size() == 1) return kept.front();
    if (kept.empty()) throw std::runtime_error(kNoValueRead);
    // The queued values stay in the list, but nothing hands them out: the
    // next execute replaces them.
    throw std::runtime_error(kReadWithQueuedReads);
}

void TalvikControl::executeSingleWrite(FTDI::Device& device, std::uint32_t phyId) {
    const FTDI::Values values = device.engine->execute(phyId);
    if (!values.empty()) {
        // Not a failure: the write went out; only the queued reads are lost.
        std::fputs(kWriteWithQueuedReads, stderr);
    }
}

std::uint32_t TalvikControl::read(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                                  std::uint32_t registerAddress) {
    // blockRead and the execute in one: the adapter is looked up once.
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    engine.queueRead(phyId, mmdOf(mmd), register16(registerAddress));
    checkPhyId(device, phyId, false);
    return executeSingleRead(device, adapter, phyId);
}

void TalvikControl::write(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                          std::uint32_t registerAddress, std::uint32_t value) {
    blockWrite(adapter, phyId, mmd, registerAddress, value);
    executeSingleWrite(*adapters[adapter], phyId);
}

std::uint32_t TalvikControl::readC22(std::uint32_t adapter, std::uint32_t phyId,
                                     std::uint32_t registerAddress) {
    blockReadC22(adapter, phyId, registerAddress);
    return executeSingleRead(*adapters[adapter], adapter, phyId);
}

void TalvikControl::writeC22(std::uint32_t adapter, std::uint32_t phyId,
                             std::uint32_t registerAddress, std::uint32_t value) {
    blockWriteC22(adapter, phyId, registerAddress, value);
    executeSingleWrite(*adapters[adapter], phyId);
}

std::uint32_t TalvikControl::read32(std::uint32_t adapter, std::uint32_t deviceId,
                                    std::uint32_t address) {
    blockRead32(adapter, deviceId, address);
    return executeSingleRead(*adapters[adapter], adapter, deviceId);
}

void TalvikControl::write32(std::uint32_t adapter, std::uint32_t deviceId, std::uint32_t address,
                            std::uint32_t value) {
    blockWrite32(adapter, deviceId, address, value);
    executeSingleWrite(*adapters[adapter], deviceId);
}

std::uint32_t TalvikControl::read32PreIncrementAddress(std::uint32_t adapter,
                                                       std::uint32_t deviceId) {
    FTDI::Device& device = openAdapterAt(adapter);
    engineOf(device).queueRead32PreIncrementAddress(deviceId);
    checkPhyId(device, deviceId, true);
    return executeSingleRead(device, adapter, deviceId);
}

std::uint32_t TalvikControl::read32CurrentAddress(std::uint32_t adapter, std::uint32_t deviceId) {
    FTDI::Device& device = openAdapterAt(adapter);
    engineOf(device).queueRead32CurrentAddress(deviceId);
    checkPhyId(device, deviceId, true);
    return executeSingleRead(device, adapter, deviceId);
}

void TalvikControl::write32PreIncrementAddress(std::uint32_t adapter, std::uint32_t deviceId,
                                               std::uint32_t value) {
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    checkPhyId(device, deviceId, true);
    engine.queueWrite32PreIncrementAddress(deviceId, value);
    executeSingleWrite(device, deviceId);
}

void TalvikControl::write32CurrentAddress(std::uint32_t adapter, std::uint32_t deviceId,
                                          std::uint32_t value) {
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    checkPhyId(device, deviceId, true);
    engine.queueWrite32CurrentAddress(deviceId, value);
    executeSingleWrite(device, deviceId);
}

const std::uint32_t* TalvikControl::blockOperationExecute(std::uint32_t adapter,
                                                          std::uint32_t phyId) {
    FTDI::Device& device = openAdapterAt(adapter);
    FTDI::MDIO& engine = engineOf(device);
    checkPhyId(device, phyId, false);
    // A failed execute leaves the kept list and the count as they were.
    FTDI::Values& kept = resultList(adapter, phyId);
    engine.execute(phyId, kept);
    lastResultCount = static_cast<std::uint32_t>(kept.size());
    return kept.empty() ? nullptr : kept.data();
}

const std::uint32_t* TalvikControl::blockOperationExecuteC22(std::uint32_t adapter,
                                                             std::uint32_t phyId) {
    return blockOperationExecute(adapter, phyId);
}

// --- default-adapter forms

void TalvikControl::blockRead(std::uint32_t phyId, std::uint32_t mmd,
                              std::uint32_t registerAddress) {
    blockRead(defaultAdapter, phyId, mmd, registerAddress);
}

void TalvikControl::blockWrite(std::uint32_t phyId, std::uint32_t mmd,
                               std::uint32_t registerAddress, std::uint32_t value) {
    blockWrite(defaultAdapter, phyId, mmd, registerAddress, value);
}

std::uint32_t TalvikControl::read(std::uint32_t phyId, std::uint32_t mmd,
                                  std::uint32_t registerAddress) {
    return read(defaultAdapter, phyId, mmd, registerAddress);
}

void TalvikControl::write(std::uint32_t phyId, std::uint32_t mmd, std::uint32_t registerAddress,
                          std::uint32_t value) {
    write(defaultAdapter, phyId, mmd, registerAddress, value);
}

std::uint32_t TalvikControl::readC22(std::uint32_t phyId, std::uint32_t registerAddress) {
    return readC22(defaultAdapter, phyId, registerAddress);
}

void TalvikControl::writeC22(std::uint32_t phyId, std::uint32_t registerAddress,
                             std::uint32_t value) {
    writeC22(defaultAdapter, phyId, registerAddress, value);
}

std::uint32_t TalvikControl::read32(std::uint32_t deviceId, std::uint32_t address) {
    return read32(defaultAdapter, deviceId, address);
}

void TalvikControl::write32(std::uint32_t deviceId, std::uint32_t address, std::uint32_t value) {
    write32(defaultAdapter, deviceId, address, value);
}
