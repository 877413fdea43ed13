// The process's resident memory and live heap, sampled at intervals and
// written to a CSV file (seconds since the start, resident KiB, live heap
// bytes or nothing where the allocator does not say, operations so far), so a
// long run shows whether memory stays flat.
#pragma once

#include <unistd.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "LiveHeap.h"

namespace soak {

inline std::uint64_t residentKib() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t totalPages = 0, residentPages = 0;
    statm >> totalPages >> residentPages;
    return residentPages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) / 1024;
}

class RssSampler {
  public:
    struct Sample {
        double seconds;
        std::uint64_t kib;
        std::optional<std::uint64_t> heapBytes;
        std::uint64_t operations;
    };

    RssSampler(const std::string& path, std::chrono::milliseconds interval)
        : file(std::fopen(path.c_str(), "w")), every(interval) {
        if (file != nullptr) std::fprintf(file, "seconds,rss_kib,live_heap_bytes,operations\n");
        // Room for a whole run's samples (about 600) up front, so the samples
        // themselves do not show as heap growing.
        samples.reserve(1024);
    }
    ~RssSampler() {
        if (file != nullptr) std::fclose(file);
    }
    RssSampler(const RssSampler&) = delete;
    RssSampler& operator=(const RssSampler&) = delete;

    bool usable() const { return file != nullptr; }

    // Takes a sample when the interval has passed since the last one.
    void poll(std::uint64_t operations, bool force = false) {
        const auto now = std::chrono::steady_clock::now();
        if (!force && now < next) return;
        next = now + every;
        const double seconds = std::chrono::duration<double>(now - start).count();
        samples.push_back({seconds, residentKib(), liveHeapBytes(), operations});
        const Sample& sample = samples.back();
        const std::string heap = sample.heapBytes ? std::to_string(*sample.heapBytes) : "";
        std::fprintf(file, "%.1f,%llu,%s,%llu\n", seconds,
                     static_cast<unsigned long long>(sample.kib), heap.c_str(),
                     static_cast<unsigned long long>(operations));
        std::fflush(file);
    }

    std::vector<Sample> samples;

  private:
    std::FILE* file;
    std::chrono::milliseconds every;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point next = start;
};

}  // namespace soak
