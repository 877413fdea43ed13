// mdioctl: the bring-up engineer's command line over libmdiohost. It calls
// only the library's exported C API, as any host program would.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Commands.h"
#include "Output.h"
#include "Session.h"
#include "SimulatedBench.h"
#include "mdiohost.h"

namespace {

using namespace mdioctl;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kDefaultBench = "@default";
constexpr const char* kTraceToStdout = "@stdout";
constexpr std::uint32_t kDefaultBenchReads = 1000;

struct Arguments {
    std::string sim, trace;
    bool json = false, tunnel = false, vendorMmds = false, verify = false, addressMsbFirst = false,
         verbose = false;
    std::string adapter, phy, target, value, pin, level, address, reg, regLength, count, i2cOp;
    std::vector<std::string> bytes;
    std::string benchReads = std::to_string(kDefaultBenchReads);
};

int usage(const std::string& message) {
    std::cerr << "mdioctl: " << message << "\n"
              << "Usage: mdioctl [--sim[=BENCH.json]] [--trace[=FILE]] [--json] "
                 "[--clause22-tunnel] COMMAND ...  (mdioctl --help for the commands)\n";
    return kExitUsage;
}

CLI::App* command(CLI::App& app, const char* name, const char* help) {
    CLI::App* sub = app.add_subcommand(name, help);
    sub->fallthrough();  // global options may also follow the command
    return sub;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"mdioctl: read and write Ethernet PHY registers over MDIO adapters", "mdioctl"};
    Arguments a;
    app.add_flag("--sim{@default}", a.sim, "use the simulated bench (optionally from BENCH.json)");
    app.add_flag("--trace{@stdout}", a.trace, "write the library's CSV trace (to FILE)");
    app.add_flag("--json", a.json, "machine-readable output");
    app.add_flag("--clause22-tunnel", a.tunnel, "reach Clause 45 registers over Clause 22");
    app.set_version_flag("--version", std::string("mdioctl ") + MDIOHOST_VERSION_STRING);
    app.require_subcommand(1);

    CLI::App* list = command(app, "list", "list the adapters");
    list->add_flag("--verbose", a.verbose, "also name the driver library in use");
    CLI::App* read =
        command(app, "read", "read registers: ADAPTER PHY MMD.REG[-END|+COUNT] or c22:REG");
    read->add_option("ADAPTER", a.adapter)->required();
    read->add_option("PHY", a.phy)->required();
    read->add_option("REGISTER", a.target)->required();
    CLI::App* write = command(app, "write", "write a register: ADAPTER PHY MMD.REG VALUE[/MASK]");
    write->add_option("ADAPTER", a.adapter)->required();
    write->add_option("PHY", a.phy)->required();
    write->add_option("REGISTER", a.target)->required();
    write->add_option("VALUE", a.value)->required();
    write->add_flag("--verify", a.verify, "read the register back after writing it");
    CLI::App* dump = command(app, "dump", "dump registers: ADAPTER PHY MMD[.START-END]");
    dump->add_option("ADAPTER", a.adapter)->required();
    dump->add_option("PHY", a.phy)->required();
    dump->add_option("RANGE", a.target)->required();
    CLI::App* scan = command(app, "scan", "find the PHYs on an adapter: ADAPTER");
    scan->add_option("ADAPTER", a.adapter)->required();
    scan->add_flag("--vendor-mmds", a.vendorMmds, "also read the vendor MMDs 30 and 31");
    CLI::App* bench = command(app, "bench", "time single and batched reads: ADAPTER PHY");
    bench->add_option("ADAPTER", a.adapter)->required();
    bench->add_option("PHY", a.phy)->required();
    bench->add_option("--reads", a.benchReads, "reads per run (default 1000)");
    CLI::App* gpio = command(app, "gpio", "read or set a GPIO pin: ADAPTER PIN [LEVEL]");
    gpio->add_option("ADAPTER", a.adapter)->required();
    gpio->add_option("PIN", a.pin)->required();
    gpio->add_option("LEVEL", a.level);
    CLI::App* i2c = command(
        app, "i2c", "I2C: ADAPTER ADDRESS read REG REGLEN COUNT | ADAPTER ADDRESS write BYTE...");
    i2c->add_option("ADAPTER", a.adapter)->required();
    i2c->add_option("ADDRESS", a.address)->required();
    i2c->add_option("OPERATION", a.i2cOp)->required();
    i2c->add_option("ARGUMENTS", a.bytes);
    i2c->add_flag("--addr-msb-first", a.addressMsbFirst,
                  "read: send REG most significant byte first (24C32 and larger EEPROMs); "
                  "without it REG goes least significant byte first. write sends its BYTEs "
                  "as given");
    CLI::App* board = command(app, "board", "read or write a board register: ADAPTER REG [VALUE]");
    board->add_option("ADAPTER", a.adapter)->required();
    board->add_option("REG", a.reg)->required();
    board->add_option("VALUE", a.value);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        return usage(error.what());
    }

    Output out(a.json);
    try {
        if (!a.sim.empty()) useSimulatedBench(a.sim == kDefaultBench ? "" : a.sim);
        SessionOptions options;
        options.trace = !a.trace.empty();
        options.traceFile = a.trace == kTraceToStdout ? "" : a.trace;
        options.clause22Tunnel = a.tunnel;
        // Arguments are checked before the library touches any adapter.
        const auto phy = [&] { return parseNumber(a.phy, "PHY"); };
        CLI::App* chosen = app.get_subcommands().front();
        const std::string name = chosen->get_name();
        if (name == "read") {
            const RegisterRange range = parseRegisterRange(a.target, true);
            const std::uint32_t phyId = phy();
            Session session(options);
            readRegisters(session, out, a.adapter, phyId, range);
        } else if (name == "write") {
            const RegisterRange target = parseRegisterRange(a.target, false);
            const MaskedValue value = parseMaskedValue(a.value);
            const std::uint32_t phyId = phy();
            Session session(options);
            writeRegister(session, out, a.adapter, phyId, target, value, a.verify);
        } else if (name == "dump") {
            const RegisterRange range = parseDumpRange(a.target);
            const std::uint32_t phyId = phy();
            Session session(options);
            dumpRegisters(session, out, a.adapter, phyId, range);
        } else if (name == "scan") {
            Session session(options);
            scanAdapter(session, out, a.adapter, a.vendorMmds);
        } else if (name == "bench") {
            const std::uint32_t phyId = phy();
            const std::uint32_t reads = parseNumber(a.benchReads, "--reads", 65535);
            Session session(options);
            benchAdapter(session, out, a.adapter, phyId, reads);
        } else if (name == "gpio") {
            const std::uint32_t pin = parseNumber(a.pin, "PIN", 255);
            if (!a.level.empty()) parseNumber(a.level, "LEVEL", 1);
            Session session(options);
            gpioCommand(session, out, a.adapter, pin, a.level);
        } else if (name == "i2c") {
            const std::uint32_t address = parseNumber(a.address, "ADDRESS", 127);
            if (a.i2cOp == "read") {
                if (a.bytes.size() != 3) throw UsageError("i2c read takes REG REGLEN COUNT");
                const std::uint32_t reg = parseNumber(a.bytes[0], "REG");
                const std::uint32_t length = parseNumber(a.bytes[1], "REGLEN", 4);
                const std::uint32_t count = parseNumber(a.bytes[2], "COUNT", 65535);
                Session session(options);
                i2cRead(session, out, a.adapter, address, reg, length, count, a.addressMsbFirst);
            } else if (a.i2cOp == "write") {
                std::vector<std::uint8_t> data;
                for (const std::string& byte : a.bytes) {
                    data.push_back(static_cast<std::uint8_t>(parseNumber(byte, "BYTE", 255)));
                }
                Session session(options);
                i2cWrite(session, out, a.adapter, address, data);
            } else {
                throw UsageError("bad OPERATION '" + a.i2cOp + "': expected read or write");
            }
        } else if (name == "board") {
            const std::uint32_t reg = parseNumber(a.reg, "REG", 255);
            if (!a.value.empty()) parseNumber(a.value, "VALUE", 255);
            Session session(options);
            boardCommand(session, out, a.adapter, reg, a.value);
        } else {
            Session session(options);
            listAdapters(session, out, a.verbose);
        }
    } catch (const UsageError& error) {
        return usage(error.what());
    } catch (const LibraryError& error) {
        std::cout.flush();
        std::cerr << "mdioctl: " << error.what() << "\n";
        return kExitFailure;
    }
    out.finish();
    return 0;
}
