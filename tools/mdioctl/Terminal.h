// A progress bar on standard error, for long runs on a terminal only.
#pragma once

#include <cstdint>

namespace mdioctl {

bool standardErrorIsTerminal();

class ProgressBar {
  public:
    // A total of 0 draws nothing.
    explicit ProgressBar(std::uint32_t registers) : total(registers) {}
    void update(std::uint32_t done);
    void finish();

  private:
    std::uint32_t total;
    int drawn = -1;
};

}  // namespace mdioctl
