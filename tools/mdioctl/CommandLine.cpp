#include "CommandLine.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "Arguments.h"
#include "Commands.h"
#include "Suggestion.h"

namespace mdioctl {
namespace {

// Each command's help: what it does, then its usage and a worked example.
CLI::App* command(CLI::App& app, const char* name, const char* description, const char* usage,
                  const char* example) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->fallthrough();  // global options may also follow the command
    sub->footer(std::string("Usage: mdioctl [OPTIONS] ") + usage + "\nExample:\n  " + example);
    return sub;
}

void adapter(CLI::App* sub, Arguments& a) {
    sub->add_option("ADAPTER", a.adapter, "adapter index, name, or a board's serial number")
        ->required();
}

void adapterAndPhy(CLI::App* sub, Arguments& a) {
    adapter(sub, a);
    sub->add_option("PHY", a.phy, "PHY address")->required();
}

std::string scriptText(const std::string& source) {
    if (source == "-") return std::string(std::istreambuf_iterator<char>(std::cin), {});
    std::ifstream in(source, std::ios::binary);
    if (!in) throw UsageError("cannot read the script '" + source + "'");
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

bool isOption(const std::string& word) {
    return word.size() > 1 && word[0] == '-';
}

bool knowsOption(const CLI::App& app, const std::string& word) {
    const std::string name = word.substr(0, word.find('='));
    if (app.get_option_no_throw(name) != nullptr) return true;
    for (const CLI::App* sub : app.get_subcommands({})) {
        if (sub->get_option_no_throw(name) != nullptr) return true;
    }
    return name == "--help" || name == "-h";
}

}  // namespace

void addCommands(CLI::App& app, Arguments& a) {
    CLI::App* list =
        command(app, "list", "List the adapters: index, name, family, and whether it is in use.",
                "list [--verbose]", "mdioctl --sim list");
    list->add_flag("--verbose", a.verbose, "also name the driver library in use");

    CLI::App* read = command(app, "read", "Read one register or a range (one batch).",
                             "read ADAPTER PHY MMD.REG[-END|+COUNT] | c22:REG[-END|+COUNT]",
                             "mdioctl --sim read K8A00001:MDIO 3 1.0x0002+2");
    adapterAndPhy(read, a);
    read->add_option("REGISTER", a.target, "MMD.REG or c22:REG, with -END or +COUNT")->required();

    CLI::App* write =
        command(app, "write",
                "Write a register. VALUE/MASK keeps the register's bits set in MASK and takes the "
                "others from VALUE (0x8000/0x7FFF sets the reset bit and keeps the rest).",
                "write ADAPTER PHY MMD.REG|c22:REG VALUE[/MASK] [--verify]",
                "mdioctl --sim write K8A00001:MDIO 3 1.0x0000 0x8000/0x7FFF");
    adapterAndPhy(write, a);
    write->add_option("REGISTER", a.target, "MMD.REG or c22:REG")->required();
    write->add_option("VALUE", a.value, "VALUE or VALUE/MASK (MASK: the bits to keep)")->required();
    write->add_flag("--verify", a.verify, "read the register back; exit 1 when it reads otherwise");

    CLI::App* dump = command(app, "dump", "A table of registers, read in batches.",
                             "dump ADAPTER PHY MMD[.START-END] | c22[:START-END]",
                             "mdioctl --sim dump K8A00001:MDIO 3 c22 > before.txt");
    adapterAndPhy(dump, a);
    dump->add_option("RANGE", a.target, "MMD, MMD.START-END, c22 or c22:START-END")->required();
    dump->add_flag("--fast", a.fast,
                   "also leave out the preamble where the PHY accepts it (checked first)");

    CLI::App* diff = command(app, "diff",
                             "What changed between two saved dumps (text or JSON); exit 1 when "
                             "any register differs.",
                             "diff FIRST SECOND", "mdioctl diff before.txt after.txt");
    diff->add_option("FILES", a.targets, "two dump files (- for standard input)")
        ->required()
        ->expected(2);

    CLI::App* show = command(app, "show",
                             "The standard registers of a PHY decoded field by field: Clause 22 "
                             "control, status, identifier, auto-negotiation and 1000BASE-T; "
                             "Clause 45 PMA/PMD, PCS and AN control and status.",
                             "show ADAPTER PHY", "mdioctl --sim show K8A00001:MDIO 3");
    adapterAndPhy(show, a);

    CLI::App* scan =
        command(app, "scan", "Find the PHYs on an adapter: identities, MMDs and link status.",
                "scan ADAPTER [--vendor-mmds]", "mdioctl --sim scan K8A00001");
    adapter(scan, a);
    scan->add_flag("--vendor-mmds", a.vendorMmds, "also read the vendor MMDs 30 and 31");

    CLI::App* read32 =
        command(app, "read32", "Read 32-bit chip registers.", "read32 ADAPTER PHY ADDRESS [COUNT]",
                "mdioctl --sim read32 K8A00001:MDIO 3 0x100");
    adapterAndPhy(read32, a);
    read32->add_option("ADDRESS", a.address, "32-bit register address")->required();
    read32->add_option("COUNT", a.count, "registers from ADDRESS on, a step of 4 apart");

    CLI::App* write32 = command(app, "write32", "Write a 32-bit chip register.",
                                "write32 ADAPTER PHY ADDRESS VALUE [--verify]",
                                "mdioctl --sim write32 K8A00001:MDIO 3 0x100 0xCAFEF00D");
    adapterAndPhy(write32, a);
    write32->add_option("ADDRESS", a.address, "32-bit register address")->required();
    write32->add_option("VALUE", a.value, "32-bit value")->required();
    write32->add_flag("--verify", a.verify, "read the register back; exit 1 when it differs");

    CLI::App* run = command(
        app, "run",
        "Run a script of register operations in one session (on --sim, one bench): "
        "read, write VALUE[/MASK], expect VALUE[/MASK], sleep, # comments. Stops at the first "
        "failed expect with its line number.",
        "run FILE|-", "mdioctl --sim run init.mdio");
    run->add_option("SCRIPT", a.script, "the script file, or - for standard input")->required();

    CLI::App* watch = command(app, "watch",
                              "Poll registers and print each change with its time, until "
                              "interrupted or --count polls are done.",
                              "watch ADAPTER PHY REGISTER... [--interval MS] [--count N]",
                              "mdioctl --sim watch K8A00001:MDIO 3 c22:1 1.0x0001 --count 5");
    adapterAndPhy(watch, a);
    watch->add_option("REGISTERS", a.targets, "MMD.REG or c22:REG, ranges allowed")->required();
    watch->add_option("--interval", a.watchInterval, "milliseconds between polls (default 100)");
    watch->add_option("--count", a.watchCount, "stop after this many polls (default: never)");

    CLI::App* bench =
        command(app, "bench",
                "Time single reads against one batched read, then each fast mode side by side.",
                "bench ADAPTER PHY [--reads N]", "mdioctl --sim bench K8A00001:MDIO 3 --reads 500");
    adapterAndPhy(bench, a);
    bench->add_option("--reads", a.benchReads, "reads per run (default 1000)");

    CLI::App* gpio = command(app, "gpio", "Read or set a GPIO pin of a K8 board.",
                             "gpio ADAPTER PIN [LEVEL]", "mdioctl --sim gpio AA000001 13 1");
    gpio->add_option("ADAPTER", a.adapter, "adapter index or name")->required();
    gpio->add_option("PIN", a.pin)->required();
    gpio->add_option("LEVEL", a.level, "0 or 1; without it the pin is read");

    CLI::App* i2c = command(app, "i2c",
                            "I2C transactions on a K8 I2C adapter. A device that does not "
                            "acknowledge is a failure (exit 1), not a read of FF bytes. scan "
                            "lists the 7-bit addresses 0x08-0x77 that acknowledge.",
                            "i2c ADAPTER ADDRESS read REG REGLEN COUNT | "
                            "i2c ADAPTER ADDRESS write BYTE... | i2c ADAPTER scan",
                            "mdioctl --sim i2c K8A00001:I2C 0x50 read 0x00 1 4\n"
                            "  mdioctl --sim i2c K8A00001:I2C scan");
    adapter(i2c, a);
    i2c->add_option("ADDRESS", a.address, "7-bit device address, or scan")->required();
    i2c->add_option("OPERATION", a.i2cOp, "read or write");
    i2c->add_option("ARGUMENTS", a.bytes);
    i2c->add_flag("--addr-msb-first", a.addressMsbFirst,
                  "read: send REG most significant byte first (24C32 and larger EEPROMs); "
                  "without it REG goes least significant byte first. write sends its BYTEs "
                  "as given");

    CLI::App* board = command(app, "board", "Read or write a board register (older family).",
                              "board ADAPTER REG [VALUE]", "mdioctl --sim board TV00001B 1");
    board->add_option("ADAPTER", a.adapter, "adapter index or name")->required();
    board->add_option("REG", a.reg)->required();
    board->add_option("VALUE", a.value);
}

std::string describeMistake(const CLI::App& app, const std::vector<std::string>& words,
                            const std::string& parserText) {
    std::vector<std::string> commands;
    for (const CLI::App* sub : app.get_subcommands({}))
        commands.push_back(sub->get_name());
    bool commandSeen = false;
    for (const std::string& word : words) {
        if (isOption(word)) {
            if (!knowsOption(app, word)) return "unknown option '" + word + "'";
            continue;
        }
        if (commandSeen) continue;
        if (std::find(commands.begin(), commands.end(), word) != commands.end()) {
            commandSeen = true;
            continue;
        }
        // Values of the global options come with '=', so a free word before
        // the command is the command.
        const std::string nearest = nearestWord(word, commands);
        return "unknown command '" + word + "'" +
               (nearest.empty() ? "" : " (did you mean '" + nearest + "'?)");
    }
    if (!commandSeen) return "a command is required";
    return parserText;
}

void runCommand(const std::string& name, const Arguments& a, const SessionOptions& options,
                Output& out) {
    // Arguments are checked before the library touches any adapter.
    const auto phy = [&] { return parseNumber(a.phy, "PHY"); };
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
        dumpRegisters(session, out, a.adapter, phyId, range, a.fast);
    } else if (name == "diff") {
        diffDumps(out, a.targets.at(0), a.targets.at(1));
    } else if (name == "show") {
        const std::uint32_t phyId = phy();
        Session session(options);
        showPhy(session, out, a.adapter, phyId);
    } else if (name == "scan") {
        Session session(options);
        scanAdapter(session, out, a.adapter, a.vendorMmds);
    } else if (name == "read32") {
        const std::uint32_t phyId = phy();
        const std::uint32_t address = parseNumber(a.address, "ADDRESS");
        const std::uint32_t count = a.count.empty() ? 1 : parseNumber(a.count, "COUNT", 4096);
        if (count == 0) throw UsageError("bad COUNT '0': expected at least 1");
        Session session(options);
        read32Registers(session, out, a.adapter, phyId, address, count);
    } else if (name == "write32") {
        const std::uint32_t phyId = phy();
        const std::uint32_t address = parseNumber(a.address, "ADDRESS");
        const std::uint32_t value = parseNumber(a.value, "VALUE");
        Session session(options);
        write32Register(session, out, a.adapter, phyId, address, value, a.verify);
    } else if (name == "run") {
        const Script script = parseScript(scriptText(a.script));
        Session session(options);
        runScript(session, out, script);
    } else if (name == "watch") {
        const std::uint32_t phyId = phy();
        std::vector<RegisterRange> registers;
        for (const std::string& target : a.targets) {
            registers.push_back(parseRegisterRange(target, true));
        }
        WatchOptions watch;
        watch.polls = parseNumber(a.watchCount, "--count");
        watch.intervalMilliseconds = parseNumber(a.watchInterval, "--interval", 3600000);
        Session session(options);
        watchRegisters(session, out, a.adapter, phyId, registers, watch);
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
    } else if (name == "i2c" && a.address == "scan") {
        if (!a.i2cOp.empty()) throw UsageError("i2c scan takes no arguments");
        Session session(options);
        i2cScan(session, out, a.adapter);
    } else if (name == "i2c") {
        const std::uint32_t address = parseNumber(a.address, "ADDRESS", 127);
        if (a.i2cOp.empty()) throw UsageError("i2c ADDRESS needs an OPERATION: read or write");
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
}

}  // namespace mdioctl
