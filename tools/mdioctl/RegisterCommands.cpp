// read, write and dump: register access on one PHY.
#include <cstdio>
#include <optional>
#include <string>

#include "AdapterLookup.h"
#include "Commands.h"
#include "DumpFormat.h"
#include "FastRead.h"
#include "Terminal.h"

namespace mdioctl {
namespace {

// A dump this long shows a progress bar (on a terminal), batch by batch.
constexpr std::uint32_t kProgressBatch = 256;

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
    const std::uint32_t index = session.open(adapter, mdioNeed("read"));
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
    const std::uint32_t index = session.open(adapter, mdioNeed("write"));
    std::uint16_t written = value.value;
    nlohmann::json entry = registerEntry(target, target.first, 0);
    std::string text = registerName(target.clause22, target.mmd, target.first) + ": ";
    if (value.masked) {
        const std::uint16_t before =
            session.read(index, phy, target.clause22, target.mmd, target.first);
        written = value.appliedTo(before);
        entry["before"] = before;
        text += hex16(before) + " -> ";
    }
    session.write(index, phy, target.clause22, target.mmd, target.first, written);
    entry["value"] = written;
    text += hex16(written);
    std::optional<std::uint16_t> readBack;
    if (verify) {
        readBack = session.read(index, phy, target.clause22, target.mmd, target.first);
        entry["readBack"] = *readBack;
        entry["verified"] = *readBack == written;
        text += " (read back " + hex16(*readBack) + ")";
    }
    out.line(text);
    out.document = {{"adapter", index}, {"phy", phy}, {"written", entry}};
    // Self-clearing and read-only bits read back otherwise too: the user asked
    // to be told, and a script must not carry on as if the write had held.
    if (readBack && *readBack != written) {
        throw CheckFailed(registerName(target.clause22, target.mmd, target.first) + ": wrote " +
                          hex16(written) + ", read back " + hex16(*readBack));
    }
}

void dumpRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                   const RegisterRange& range, bool fast) {
    const std::uint32_t index = session.open(adapter, mdioNeed("dump"));
    FastReadReport report;
    const bool showProgress = range.count > kProgressBatch && standardErrorIsTerminal();
    ProgressBar bar(showProgress ? range.count : 0);
    const auto values =
        readRangeFast(session, index, phy, range, showProgress ? kProgressBatch : range.count, fast,
                      report, [&](std::uint32_t done) { bar.update(done); });
    bar.finish();
    for (const std::string& fallback : report.fallbacks)
        std::fprintf(stderr, "mdioctl: note: %s; read the plain way\n", fallback.c_str());

    const Dump dump{index, phy, range, values};
    out.document = dumpJson(dump);
    for (const std::string& line : dumpText(dump))
        out.line(line);
}

}  // namespace mdioctl
