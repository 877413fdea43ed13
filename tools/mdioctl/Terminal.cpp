#include "Terminal.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace mdioctl {
namespace {
constexpr int kBarWidth = 40;
}

bool standardErrorIsTerminal() {
    return isatty(fileno(stderr)) != 0;
}

void ProgressBar::update(std::uint32_t done) {
    if (total == 0) return;
    const int filled = static_cast<int>(static_cast<std::uint64_t>(done) * kBarWidth / total);
    if (filled == drawn) return;
    drawn = filled;
    std::fprintf(stderr, "\r[%-*.*s] %u/%u", kBarWidth, filled,
                 "########################################", done, total);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (total == 0 || drawn < 0) return;
    std::fputs("\n", stderr);
}

}  // namespace mdioctl
