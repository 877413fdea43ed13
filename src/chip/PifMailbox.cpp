#include "chip/PifMailbox.h"

#include <cstdio>

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {
namespace {

namespace Mailbox = registers::Mailbox;

constexpr const char* kPollingLimitWarning =
    "Warning: PIF Mailbox commandStatus polling limit exceeded, retrying.\n";
constexpr const char* kErrorWarning = "Warning: PIF Mailbox reported an error, retrying.\n";
constexpr const char* kGivingUp = "Error: PIF Mailbox retry limit exceeded, so giving up.\n";

void printAndFlush(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

std::uint32_t commandWord(std::uint16_t direction, std::uint32_t mmd) {
    return direction | mmd;
}

}  // namespace

std::uint32_t PifMailbox::read(std::uint32_t mmd, std::uint32_t registerAddress) {
    startCommand(registerAddress);
    writeRegister(port, Mmd::kVendor1, Mailbox::kCommand, commandWord(Mailbox::kCommandRead, mmd));
    reportStatus(waitForStatus());
    return readRegister(port, Mmd::kVendor1, Mailbox::kData);
}

void PifMailbox::write(std::uint32_t mmd, std::uint32_t registerAddress, std::uint32_t value) {
    startCommand(registerAddress);
    writeRegister(port, Mmd::kVendor1, Mailbox::kData, value);
    writeRegister(port, Mmd::kVendor1, Mailbox::kCommand, commandWord(Mailbox::kCommandWrite, mmd));
    reportStatus(waitForStatus());
}

void PifMailbox::startCommand(std::uint32_t registerAddress) {
    // The chip only ever sets the status; clearing it first makes a stale
    // "done" of the previous command impossible to mistake for this one.
    writeRegister(port, Mmd::kVendor1, Mailbox::kStatus, Mailbox::kStatusBusy);
    writeRegister(port, Mmd::kVendor1, Mailbox::kAddress, registerAddress);
}

std::uint32_t PifMailbox::waitForStatus() {
    // A failed status read yields 0 and so counts as busy.
    for (std::uint32_t reads = 1;; ++reads) {
        const std::uint32_t status = readRegister(port, Mmd::kVendor1, Mailbox::kStatus);
        if (reads == Mailbox::kPollingLimit) {
            printAndFlush(kPollingLimitWarning);
            return status;
        }
        if (status != Mailbox::kStatusBusy) return status;
    }
}

void PifMailbox::reportStatus(std::uint32_t status) {
    if (status == Mailbox::kStatusDone) return;
    if (status == Mailbox::kStatusError) printAndFlush(kErrorWarning);
    printAndFlush(kGivingUp);
}

}  // namespace mdiohost::chip
