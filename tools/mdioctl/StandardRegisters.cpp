#include "StandardRegisters.h"

#include <cstdio>

namespace mdioctl {
namespace {

// Bits 13 and 6 together, gathered as (13, 6): 10, 100 or 1000 Mb/s; both
// set is reserved in Clause 22 and hands the choice to bits 5..2 in Clause 45.
const RegisterField kSpeedSelection22{
    "speed selection", 0x2040, {"10 Mb/s", "1000 Mb/s", "100 Mb/s", "reserved"}};
const RegisterField kSpeedSelection{
    "speed selection", 0x2040, {"10 Mb/s", "1000 Mb/s", "100 Mb/s", "set by bits 5..2"}};
const std::vector<const char*> kNoYes{"no", "yes"};
const std::vector<const char*> kOffOn{"off", "on"};

RegisterField bit(const char* name, unsigned position, const std::vector<const char*>& meanings) {
    return {name, static_cast<std::uint16_t>(1u << position), meanings};
}

// The technology ability bits shared by the advertisement (register 4) and
// the link partner ability (register 5).
std::vector<RegisterField> abilities(bool partner) {
    std::vector<RegisterField> fields{bit("next page", 15, kNoYes)};
    if (partner) fields.push_back(bit("acknowledge", 14, kNoYes));
    const std::vector<RegisterField> rest{bit("remote fault", 13, kNoYes),
                                          bit("asymmetric pause", 11, kNoYes),
                                          bit("pause", 10, kNoYes),
                                          bit("100BASE-T4", 9, kNoYes),
                                          bit("100BASE-TX full duplex", 8, kNoYes),
                                          bit("100BASE-TX", 7, kNoYes),
                                          bit("10BASE-T full duplex", 6, kNoYes),
                                          bit("10BASE-T", 5, kNoYes),
                                          {"selector", 0x001F, {"reserved", "IEEE 802.3"}}};
    fields.insert(fields.end(), rest.begin(), rest.end());
    return fields;
}

}  // namespace

const std::vector<StandardRegister>& clause22Registers() {
    static const std::vector<StandardRegister> registers{
        {true,
         0,
         0,
         "control",
         {bit("reset", 15, kNoYes), bit("loopback", 14, kOffOn), kSpeedSelection22,
          bit("auto-negotiation enable", 12, kNoYes), bit("power down", 11, kNoYes),
          bit("isolate", 10, kNoYes), bit("restart auto-negotiation", 9, kNoYes),
          bit("duplex", 8, {"half", "full"}), bit("collision test", 7, kOffOn),
          bit("unidirectional enable", 5, kNoYes)}},
        {true,
         0,
         1,
         "status",
         {bit("100BASE-T4", 15, kNoYes), bit("100BASE-X full duplex", 14, kNoYes),
          bit("100BASE-X half duplex", 13, kNoYes), bit("10 Mb/s full duplex", 12, kNoYes),
          bit("10 Mb/s half duplex", 11, kNoYes), bit("100BASE-T2 full duplex", 10, kNoYes),
          bit("100BASE-T2 half duplex", 9, kNoYes), bit("extended status", 8, kNoYes),
          bit("unidirectional ability", 7, kNoYes), bit("preamble suppression", 6, kNoYes),
          bit("auto-negotiation complete", 5, kNoYes), bit("remote fault", 4, kNoYes),
          bit("auto-negotiation ability", 3, kNoYes), bit("link status", 2, {"down", "up"}),
          bit("jabber detect", 1, kNoYes), bit("extended capability", 0, kNoYes)}},
        {true, 0, 2, "PHY identifier 1", {{"OUI bits 3..18", 0xFFFF, {}, true}}},
        {true,
         0,
         3,
         "PHY identifier 2",
         {{"OUI bits 19..24", 0xFC00, {}, true},
          {"model number", 0x03F0, {}},
          {"revision number", 0x000F, {}}}},
        {true, 0, 4, "auto-negotiation advertisement", abilities(false)},
        {true, 0, 5, "link partner ability", abilities(true)},
        {true,
         0,
         9,
         "1000BASE-T control",
         {{"test mode", 0xE000, {}},
          bit("master-slave manual configuration", 12, kNoYes),
          bit("master-slave configuration", 11, {"slave", "master"}),
          bit("port type", 10, {"single-port", "multiport"}),
          bit("1000BASE-T full duplex", 9, kNoYes),
          bit("1000BASE-T half duplex", 8, kNoYes)}},
        {true,
         0,
         10,
         "1000BASE-T status",
         {bit("master-slave configuration fault", 15, kNoYes),
          bit("master-slave resolution", 14, {"slave", "master"}),
          bit("local receiver status", 13, {"not OK", "OK"}),
          bit("remote receiver status", 12, {"not OK", "OK"}),
          bit("partner 1000BASE-T full duplex", 11, kNoYes),
          bit("partner 1000BASE-T half duplex", 10, kNoYes),
          {"idle error count", 0x00FF, {}}}},
    };
    return registers;
}

const std::vector<std::uint32_t>& decodedMmds() {
    static const std::vector<std::uint32_t> mmds{1, 3, 7};
    return mmds;
}

std::vector<StandardRegister> clause45Registers(std::uint32_t mmd) {
    switch (mmd) {
        case 1:
            return {{false,
                     1,
                     0,
                     "PMA/PMD control 1",
                     {bit("reset", 15, kNoYes),
                      kSpeedSelection,
                      bit("low power", 11, kNoYes),
                      {"speed (bits 5..2)",
                       0x003C,
                       {"10 Gb/s", "10PASS-TS/2BASE-TL", "40 Gb/s", "100 Gb/s", "25 Gb/s",
                        "50 Gb/s", "2.5 Gb/s", "5 Gb/s"}},
                      bit("PMA local loopback", 0, kOffOn)}},
                    {false,
                     1,
                     1,
                     "PMA/PMD status 1",
                     {bit("fault", 7, kNoYes), bit("receive link status", 2, {"down", "up"}),
                      bit("low-power ability", 1, kNoYes)}}};
        case 3:
            return {
                {false,
                 3,
                 0,
                 "PCS control 1",
                 {bit("reset", 15, kNoYes),
                  bit("loopback", 14, kOffOn),
                  kSpeedSelection,
                  bit("low power", 11, kNoYes),
                  bit("clock stop enable", 10, kNoYes),
                  {"speed (bits 5..2)", 0x003C, {}}}},
                {false,
                 3,
                 1,
                 "PCS status 1",
                 {bit("transmit LPI received", 11, kNoYes), bit("receive LPI received", 10, kNoYes),
                  bit("transmit LPI indication", 9, kNoYes),
                  bit("receive LPI indication", 8, kNoYes), bit("fault", 7, kNoYes),
                  bit("clock stop capable", 6, kNoYes),
                  bit("receive link status", 2, {"down", "up"}),
                  bit("low-power ability", 1, kNoYes)}}};
        case 7:
            return {
                {false,
                 7,
                 0,
                 "AN control",
                 {bit("reset", 15, kNoYes), bit("extended next page control", 13, kNoYes),
                  bit("auto-negotiation enable", 12, kNoYes),
                  bit("restart auto-negotiation", 9, kNoYes)}},
                {false,
                 7,
                 1,
                 "AN status",
                 {bit("parallel detection fault", 9, kNoYes),
                  bit("extended next page status", 7, kNoYes), bit("page received", 6, kNoYes),
                  bit("auto-negotiation complete", 5, kNoYes), bit("remote fault", 4, kNoYes),
                  bit("auto-negotiation ability", 3, kNoYes), bit("link status", 2, {"down", "up"}),
                  bit("link partner auto-negotiation ability", 0, kNoYes)}}};
        default:
            return {};
    }
}

std::uint32_t fieldValue(std::uint16_t registerValue, std::uint16_t mask) {
    std::uint32_t value = 0;
    for (int position = 15; position >= 0; --position) {
        const auto bitMask = static_cast<std::uint16_t>(1u << position);
        if ((mask & bitMask) == 0) continue;
        value = (value << 1) | ((registerValue & bitMask) != 0 ? 1u : 0u);
    }
    return value;
}

std::string fieldText(const RegisterField& field, std::uint16_t registerValue) {
    const std::uint32_t value = fieldValue(registerValue, field.mask);
    if (value < field.meanings.size()) return field.meanings[value];
    if (!field.hex) return std::to_string(value);
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace mdioctl
