// read, write and dump: register access on one PHY.
#include <cstdio>
#include <string>

#include "Commands.h"
#include "Terminal.h"

namespace mdioctl {
namespace {

// A dump this long shows a progress bar (on a terminal), batch by batch.
constexpr std::uint32_t kProgressBatch = 256;
constexpr std::uint32_t kValuesPerDumpRow = 8;

nlohmann::json registerEntry(const RegisterRange& range, std::uint32_t registerAddress,
                             std::uint16_t value) {
    nlohmann::json entry = {{"register", registerAddress}, {"value", value}};
    if (range.clause22) {
        entry["clause"] = 22;
    } else {
        entry["mmd"] = range.mmd;
    }
    return entry;
}

}  // namespace

void readRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range) {
    const std::uint32_t index = session.open(adapter);
    // The whole range is one queued batch where the library can queue it.
    const auto values = session.readRange(index, phy, range, range.count);
    out.document = {{"adapter", index}, {"phy", phy}, {"registers", nlohmann::json::array()}};
    for (std::uint32_t i = 0; i < values.size(); ++i) {
        const std::uint32_t registerAddress = range.first + i;
        out.line(registerName(range.clause22, range.mmd, registerAddress) + " = " +
                 hex16(values[i]));
        out.document["registers"].push_back(registerEntry(range, registerAddress, values[i]));
    }
}

void writeRegister(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& target, const MaskedValue& value, bool verify) {
    const std::uint32_t index = session.open(adapter);
    std::uint16_t written = value.value;
    nlohmann::json entry = registerEntry(target, target.first, 0);
    std::string text = registerName(target.clause22, target.mmd, target.first) + ": ";
    if (value.masked) {
        const std::uint16_t before =
            session.read(index, phy, target.clause22, target.mmd, target.first);
        written = static_cast<std::uint16_t>((before & ~value.mask) | (value.value & value.mask));
        entry["before"] = before;
        text += hex16(before) + " -> ";
    }
    session.write(index, phy, target.clause22, target.mmd, target.first, written);
    entry["value"] = written;
    text += hex16(written);
    if (verify) {
        // Shown, not judged: self-clearing and read-only bits read back differently.
        const std::uint16_t readBack =
            session.read(index, phy, target.clause22, target.mmd, target.first);
        entry["readBack"] = readBack;
        text += " (read back " + hex16(readBack) + ")";
    }
    out.line(text);
    out.document = {{"adapter", index}, {"phy", phy}, {"written", entry}};
}

void dumpRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range) {
    const std::uint32_t index = session.open(adapter);
    const bool showProgress = range.count > kProgressBatch && standardErrorIsTerminal();
    ProgressBar bar(showProgress ? range.count : 0);
    const auto values =
        session.readRange(index, phy, range, showProgress ? kProgressBatch : range.count,
                          [&](std::uint32_t done) { bar.update(done); });
    bar.finish();

    out.document = {{"adapter", index},
                    {"phy", phy},
                    {"mmd", range.mmd},
                    {"first", range.first},
                    {"values", values}};
    char heading[96];
    std::snprintf(heading, sizeof heading, "adapter %u, PHY %u, MMD %u, registers 0x%04X-0x%04X",
                  index, phy, range.mmd, range.first, range.last());
    out.line(heading);
    for (std::uint32_t row = 0; row < values.size(); row += kValuesPerDumpRow) {
        char text[96];
        int used = std::snprintf(text, sizeof text, "0x%04X:", range.first + row);
        for (std::uint32_t i = row; i < values.size() && i < row + kValuesPerDumpRow; ++i) {
            used += std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used),
                                  " %04X", values[i]);
        }
        out.line(text);
    }
}

}  // namespace mdioctl
