// mdioctl: the bring-up engineer's command line over libmdiohost. It calls
// only the library's exported C API, as any host program would.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CommandLine.h"
#include "Output.h"
#include "ProcessEnvironment.h"
#include "Session.h"
#include "SimulatedBench.h"
#include "mdiohost.h"

namespace {

using namespace mdioctl;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kDefaultBench = "@default";
constexpr const char* kTraceToStderr = "@stderr";
// The MDC clocks an FTDI MPSSE engine makes: 60 MHz over 2 x (divisor + 1),
// with a 16-bit divisor.
constexpr std::uint32_t kSlowestMdcHz = 1000;
constexpr std::uint32_t kFastestMdcHz = 30000000;

struct GlobalOptions {
    std::string sim, trace, mdcClock, vcd;
    bool json = false, tunnel = false;
};

int usage(const std::string& message) {
    std::cerr << "mdioctl: " << message << "\n"
              << "Usage: mdioctl [--sim[=BENCH.json]] [--trace[=FILE]] [--json] "
                 "[--clause22-tunnel] [--mdc-clock FREQ] [--vcd FILE] COMMAND ...  (mdioctl --help "
                 "for the "
                 "commands, mdioctl COMMAND --help for one)\n";
    return kExitUsage;
}

// The library reads MDIO_CLOCK_HZ up to its first non-digit, so "1MHz" runs
// the clock at 1 Hz without a word; the tool says so.
void warnAboutClockVariable() {
    const char* text = std::getenv("MDIO_CLOCK_HZ");
    if (text == nullptr) return;
    const std::string value = text;
    const std::size_t digits = value.find_first_not_of(" \t");
    if (digits != std::string::npos &&
        value.find_first_not_of("0123456789", digits) == std::string::npos) {
        return;
    }
    std::cerr << "mdioctl: warning: MDIO_CLOCK_HZ='" << value
              << "' is not a whole number of hertz; the library reads only its leading "
                 "digits (--mdc-clock takes 2.5M, 400k or 5000000)\n";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"mdioctl: read and write Ethernet PHY registers over MDIO adapters", "mdioctl"};
    GlobalOptions g;
    Arguments a;
    app.add_flag("--sim{@default}", g.sim, "use the simulated bench (optionally from BENCH.json)");
    app.add_flag("--trace{@stderr}", g.trace,
                 "the library's CSV trace, on standard error or into FILE");
    app.add_flag("--json", g.json, "machine-readable output");
    app.add_flag("--clause22-tunnel", g.tunnel, "reach Clause 45 registers over Clause 22");
    app.add_option("--mdc-clock", g.mdcClock,
                   "MDC clock of K8 MDIO adapters: 2.5M, 400k, 5000000 (Hz; default 5M)")
        ->type_name("FREQ");
    app.add_option("--vcd", g.vcd,
                   "with --sim: write the bench's MDC, MDIO, I2C and GPIO wires to FILE (VCD)")
        ->type_name("FILE");
    app.set_version_flag("--version", std::string("mdioctl ") + MDIOHOST_VERSION_STRING);
    app.require_subcommand(1);
    addCommands(app, a);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        return usage(
            describeMistake(app, std::vector<std::string>(argv + 1, argv + argc), error.what()));
    }

    Output out(g.json);
    try {
        if (!g.vcd.empty() && g.sim.empty()) {
            throw UsageError("--vcd needs --sim: only the simulated bench has wires to record");
        }
        if (!g.sim.empty()) useSimulatedBench(g.sim == kDefaultBench ? "" : g.sim);
        if (!g.vcd.empty()) recordBenchWaveforms(g.vcd);
        if (g.mdcClock.empty()) warnAboutClockVariable();
        if (!g.mdcClock.empty()) {
            // Checked here: the library reads the variable's leading digits
            // only, so "1MHz" would run the clock at 1 Hz.
            const std::uint32_t hz =
                parseFrequency(g.mdcClock, "--mdc-clock", kSlowestMdcHz, kFastestMdcHz);
            setEnvironment("MDIO_CLOCK_HZ", std::to_string(hz));
        }
        SessionOptions options;
        options.trace = !g.trace.empty();
        options.traceFile = g.trace == kTraceToStderr ? "" : g.trace;
        options.clause22Tunnel = g.tunnel;
        runCommand(app.get_subcommands().front()->get_name(), a, options, out);
    } catch (const UsageError& error) {
        return usage(error.what());
    } catch (const CheckFailed& failed) {
        out.finish();
        std::cerr << "mdioctl: " << failed.what() << "\n";
        return kExitFailure;
    } catch (const LibraryError& error) {
        std::cout.flush();
        std::cerr << "mdioctl: " << error.what() << "\n";
        return kExitFailure;
    }
    out.finish();
    return 0;
}
