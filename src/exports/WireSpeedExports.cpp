// The wire-speed extensions: preamble lengths, Clause 45 read bursts and the
// compact encoding of a K8 MDIO adapter. Every argument is checked before
// anything is queued or changed, so a refused call leaves the adapter, its
// queues and the host's buffer as they were.
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "base/Guard.h"
#include "base/TraceLog.h"
#include "boards/Device.h"
#include "chip/AccessRouter.h"
#include "ftdi/BoardTraits.h"
#include "mdio/K8MDIO.h"
#include "mdiohost_ext.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;
namespace chip = mdiohost::chip;
namespace trace = mdiohost::trace;

namespace {

constexpr int kDone = 0;
constexpr int kFailed = -1;
constexpr std::uint32_t kHighestMmd = 31;
constexpr std::uint32_t kHighestRegister = 0xFFFF;

static_assert(MDIOHOST_MAX_BURST_READS == FTDI::K8::kMaxBurstReads);

std::string hex16(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// The engine of an open K8 MDIO adapter, with `phy` checked against its PHY
// addresses (bit 31, the ZM_API_ adapter flag, is out of range too).
FTDI::K8::MDIO& wireEngine(std::uint32_t adapter) {
    FTDI::Device& device = registry().openAdapterAt(adapter);
    const FTDI::BoardTraits& board = device.traits();
    auto* engine = dynamic_cast<FTDI::K8::MDIO*>(device.engine.get());
    if (board.family != FTDI::BoardFamily::K8 || board.protocol != FTDI::Protocol::Mdio ||
        engine == nullptr) {
        throw std::invalid_argument(device.name +
                                    ": no wire-speed settings on this adapter (only K8 adapters "
                                    "whose protocol is MDIO have them).");
    }
    return *engine;
}

FTDI::K8::MDIO& wireEngine(std::uint32_t adapter, std::uint32_t phy) {
    FTDI::K8::MDIO& engine = wireEngine(adapter);
    engine.checkPhyId(phy);
    return engine;
}

// What a burst needs beyond the engine's own count check: a real MMD that
// plain MDIO reaches on this adapter, and registers that exist.
void checkBurst(std::uint32_t adapter, std::uint32_t mmd, std::uint32_t address,
                std::uint32_t count) {
    if (mmd > kHighestMmd) {
        throw std::invalid_argument("MMD " + std::to_string(mmd) + " out of range: 0 to 31.");
    }
    if (chip::adapterPath(adapter, mmd) != chip::AccessPath::Plain) {
        throw std::invalid_argument("MMD " + std::to_string(mmd) +
                                    " is not reached by plain MDIO on this adapter; a burst "
                                    "needs it.");
    }
    if (address > kHighestRegister) {
        throw std::invalid_argument("Register address " + hex16(address) +
                                    " out of range: 0 to 0xFFFF.");
    }
    if (count != 0 && count - 1 > kHighestRegister - address) {
        throw std::invalid_argument("Burst of " + std::to_string(count) + " reads from " +
                                    hex16(address) + " runs past register 0xFFFF.");
    }
}

void queueBurst(std::uint32_t adapter, std::uint32_t phy, std::uint32_t mmd, std::uint32_t address,
                std::uint32_t count) {
    FTDI::K8::MDIO& engine = wireEngine(adapter, phy);
    checkBurst(adapter, mmd, address, count);
    engine.queueReadBurst(phy, static_cast<std::uint8_t>(mmd), static_cast<std::uint16_t>(address),
                          count);
}

}  // namespace

extern "C" {

MDIOHOST_API int mdiohost_set_preamble(uint32_t adapter, uint32_t phy, uint32_t bits) {
    return guarded(Echo::ToStderr, kFailed, [=] {
        FTDI::K8::MDIO& engine = wireEngine(adapter, phy);
        if (bits > FTDI::kDefaultPreambleBits) {
            throw std::invalid_argument("Preamble of " + std::to_string(bits) +
                                        " bits refused: 0 to 32.");
        }
        engine.setWirePreamble(phy, static_cast<std::uint8_t>(bits));
        return kDone;
    });
}

MDIOHOST_API int mdiohost_preamble(uint32_t adapter, uint32_t phy) {
    return guarded(Echo::ToStderr, kFailed,
                   [=] { return static_cast<int>(wireEngine(adapter, phy).preamble(phy)); });
}

MDIOHOST_API int mdiohost_block_read_burst(uint32_t adapter, uint32_t phy, uint32_t mmd,
                                           uint32_t address, uint32_t count) {
    return guarded(Echo::ToStderr, kFailed, [=] {
        queueBurst(adapter, phy, mmd, address, count);
        for (uint32_t read = 0; read < count; ++read)
            trace::AR(adapter, phy, mmd, address + read);
        return kDone;
    });
}

MDIOHOST_API int mdiohost_read_burst(uint32_t adapter, uint32_t phy, uint32_t mmd, uint32_t address,
                                     uint16_t* values, uint32_t count) {
    return guarded(Echo::ToStderr, kFailed, [=] {
        if (values == nullptr) {
            throw std::invalid_argument("Burst read of " + std::to_string(count) +
                                        " registers with no buffer (null pointer).");
        }
        // The execute hands back every value of the PHY's queue: reads queued
        // before would be taken for the burst's, or lost.
        const FTDI::K8::MDIO& engine = wireEngine(adapter, phy);
        if (engine.queueOf(phy).valuesPending() != 0) {
            throw std::invalid_argument(
                "Reads are queued for PHY " + std::to_string(phy) +
                "; collect them with HW_BlockOperationExecuteAdapter first.");
        }
        queueBurst(adapter, phy, mmd, address, count);
        const std::uint32_t* read = registry().blockOperationExecute(adapter, phy);
        if (read == nullptr || registry().lastResultCount != count) {
            throw std::runtime_error("Burst read of " + std::to_string(count) + " registers gave " +
                                     std::to_string(registry().lastResultCount) + " values.");
        }
        for (uint32_t i = 0; i < count; ++i) {
            values[i] = static_cast<uint16_t>(read[i]);
            trace::MR(adapter, phy, mmd, address + i, read[i]);
        }
        return kDone;
    });
}

MDIOHOST_API int mdiohost_set_compact_encoding(uint32_t adapter, int enabled) {
    return guarded(Echo::ToStderr, kFailed, [=] {
        wireEngine(adapter).setCompactEncoding(enabled != 0);
        return kDone;
    });
}

MDIOHOST_API int mdiohost_compact_encoding(uint32_t adapter) {
    return guarded(Echo::ToStderr, kFailed,
                   [=] { return wireEngine(adapter).compactEncoding() ? 1 : 0; });
}

}  // extern "C"
