// show: a PHY's standard registers decoded field by field.
#include <cstdio>

#include "AdapterLookup.h"
#include "Commands.h"
#include "PhyPresence.h"
#include "StandardRegisters.h"

namespace mdioctl {
namespace {

void showRegister(Output& out, const StandardRegister& definition, std::uint16_t value,
                  nlohmann::json& list) {
    nlohmann::json entry = {
        {"name", definition.name}, {"register", definition.address}, {"value", value}};
    if (definition.clause22) {
        entry["clause"] = 22;
    } else {
        entry["mmd"] = definition.mmd;
    }
    out.line(registerName(definition.clause22, definition.mmd, definition.address) + " " +
             definition.name + " = " + hex16(value));
    nlohmann::json fields = nlohmann::json::object();
    for (const RegisterField& field : definition.fields) {
        const std::string text = fieldText(field, value);
        char line[96];
        std::snprintf(line, sizeof line, "    %-40s %s", field.name, text.c_str());
        out.line(line);
        if (field.meanings.empty()) {
            fields[field.name] = fieldValue(value, field.mask);
        } else {
            fields[field.name] = text;
        }
    }
    entry["fields"] = fields;
    list.push_back(entry);
}

}  // namespace

void showPhy(Session& session, Output& out, const std::string& adapter, std::uint32_t phy) {
    const std::uint32_t index = session.open(adapter, mdioNeed("show"));
    const PhyPresence presence = probePhy(session, index, phy);
    if (!presence.answers()) {
        throw LibraryError("PHY " + std::to_string(phy) + " on adapter " + std::to_string(index) +
                           " does not answer (its identity registers read all ones)");
    }
    out.document = {{"adapter", index}, {"phy", phy}, {"registers", nlohmann::json::array()}};
    auto& list = out.document["registers"];
    if (presence.clause22()) {
        for (const StandardRegister& definition : clause22Registers()) {
            showRegister(out, definition, session.read(index, phy, true, 0, definition.address),
                         list);
        }
    }
    for (const std::uint32_t mmd : decodedMmds()) {
        if (!presence.hasMmd(mmd)) continue;
        for (const StandardRegister& definition : clause45Registers(mmd)) {
            showRegister(out, definition, session.read(index, phy, false, mmd, definition.address),
                         list);
        }
    }
}

}  // namespace mdioctl
