// One mdioctl run's use of the library: initialise, open the adapter the
// user named, read and write registers the fastest way the library offers,
// and turn any recorded failure into a LibraryError carrying HW_Error().
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Arguments.h"

namespace mdioctl {

// A failure the library recorded: printed as "mdioctl: " + text, exit status 1.
class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A check that failed after the command's results were made (a write that
// reads back otherwise, a failed expect): the results are still printed,
// then the failure, and the exit status is 1.
class CheckFailed : public LibraryError {
  public:
    using LibraryError::LibraryError;
};

struct SessionOptions {
    bool trace = false;
    std::string traceFile;  // empty: standard error, so it never mixes with results
    bool clause22Tunnel = false;
};

// What a command needs of the adapter it is given. A board's serial number
// alone names the board's adapter of `protocol` when it has exactly one;
// `family` (as DriverList names families) refuses an adapter of another
// family before the library is asked, so the user learns what is needed.
struct AdapterNeed {
    std::string command;
    std::string protocol;  // "MDIO", "I2C" or empty
    // Families that serve the command; empty: any.
    std::vector<std::string> families;
    std::string familiesText;  // "an adapter of the older family"
};

class Session {
  public:
    explicit Session(const SessionOptions& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Throws LibraryError when the library recorded a failure.
    static void check();

    std::uint32_t adapterCount();
    // An index or a name (any letter case), matched against one enumeration
    // of the adapters; opens it and makes it the default.
    std::uint32_t open(const std::string& adapter, const AdapterNeed& need = {});
    // The family of an adapter this session found ("K8 MDIO", "older
    // family", ...; "unknown" when the driver's list does not tell).
    std::string family(std::uint32_t adapter) const;

    std::uint16_t read(std::uint32_t adapter, std::uint32_t phy, bool clause22, std::uint32_t mmd,
                       std::uint32_t registerAddress);
    void write(std::uint32_t adapter, std::uint32_t phy, bool clause22, std::uint32_t mmd,
               std::uint32_t registerAddress, std::uint16_t value);

    // Reads a range as queued batches of at most `batchSize` registers, one
    // execute (one USB round trip) per batch where the library can queue the
    // register; `progress` is told how many registers are done.
    std::vector<std::uint16_t> readRange(std::uint32_t adapter, std::uint32_t phy,
                                         const RegisterRange& range, std::uint32_t batchSize,
                                         const std::function<void(std::uint32_t)>& progress = {});

    // Whether the adapter has the wire-speed settings (a K8 MDIO adapter).
    bool wireSpeedAdapter(std::uint32_t adapter) const;
    // Whether the range can be read in Clause 45 bursts on the adapter.
    bool burstable(std::uint32_t adapter, const RegisterRange& range) const;

  private:
    bool batchable(bool clause22, std::uint32_t mmd) const;
    // Whether the register is reached only through the default-adapter
    // functions: the indirect MMDs and everything through the tunnel.
    bool throughDefaultAdapter(bool clause22, std::uint32_t mmd) const;
    std::uint32_t find(const std::string& adapter, const AdapterNeed& need);

    SessionOptions options;
    std::vector<std::string> families;  // by adapter index, from the last look-up
    std::FILE* traceStream = nullptr;
};

}  // namespace mdioctl
