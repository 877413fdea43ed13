// The command line: the commands with their help and examples, how a mistake
// in it is named, and running the chosen command. main.cpp holds the global
// options.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "Output.h"
#include "Session.h"

namespace mdioctl {

struct Arguments {
    std::string adapter, phy, target, value, pin, level, address, reg, regLength, count, i2cOp;
    std::vector<std::string> bytes;
    std::vector<std::string> targets;  // watch's registers, diff's files
    std::string script;
    std::string benchReads = "1000";
    std::string watchCount = "0";       // polls; 0: until interrupted
    std::string watchInterval = "100";  // milliseconds
    bool vendorMmds = false, verify = false, addressMsbFirst = false, verbose = false;
    bool fast = false;  // dump: frames without preamble where the PHY takes them
};

// Adds every command to `app`, each with its description, usage and example.
void addCommands(CLI::App& app, Arguments& arguments);

// What is wrong with a command line CLI11 refused: an unknown option or
// command named as such (with the nearest command, when one is near), else
// CLI11's own text.
std::string describeMistake(const CLI::App& app, const std::vector<std::string>& words,
                            const std::string& parserText);

// Checks the arguments of `command` and runs it. Throws UsageError or
// LibraryError.
void runCommand(const std::string& command, const Arguments& arguments,
                const SessionOptions& options, Output& out);

}  // namespace mdioctl
