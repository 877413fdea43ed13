// Bytes a chip has for the host, in order, until the host reads them. The
// chip sends what a send-immediate flushed at once; the rest waits for a full
// packet or the latency timer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace mdiosim {

class ReplyQueue {
  public:
    void push(std::uint8_t byte) { bytes.push_back(byte); }
    void push(const std::uint8_t* data, std::size_t count) {
        bytes.insert(bytes.end(), data, data + count);
    }
    std::size_t size() const { return bytes.size() - start; }
    // Everything queued so far goes to the host without waiting.
    void markFlushed() { flushedEnd = bytes.size(); }
    std::size_t flushed() const { return flushedEnd > start ? flushedEnd - start : 0; }
    // Moves up to `capacity` bytes to `out`; returns how many.
    std::size_t take(std::uint8_t* out, std::size_t capacity) {
        const std::size_t count = std::min(capacity, size());
        if (count != 0) std::memcpy(out, bytes.data() + start, count);
        start += count;
        if (start == bytes.size()) clear();
        return count;
    }
    void clear() {
        bytes.clear();
        start = 0;
        flushedEnd = 0;
    }

  private:
    std::vector<std::uint8_t> bytes;
    std::size_t start = 0;
    std::size_t flushedEnd = 0;
};

}  // namespace mdiosim
