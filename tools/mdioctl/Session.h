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

struct SessionOptions {
    bool trace = false;
    std::string traceFile;  // empty: standard output
    bool clause22Tunnel = false;
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
    // An index or a name (any letter case); opens it and makes it the default.
    std::uint32_t open(const std::string& adapter);

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

  private:
    bool batchable(bool clause22, std::uint32_t mmd) const;
    std::uint32_t qualified(std::uint32_t adapter, std::uint32_t phy) const;

    SessionOptions options;
    std::FILE* traceStream = nullptr;
};

}  // namespace mdioctl
