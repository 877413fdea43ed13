// Mpsse::ByteBuffer: the growing byte store of a command queue. Unlike a
// vector of bytes it can grow its length without zero-filling what the
// caller is about to overwrite, so copying a frame image costs one memcpy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace FTDI::Mpsse {

class ByteBuffer {
  public:
    const std::uint8_t* data() const { return storage.get(); }
    std::uint8_t* data() { return storage.get(); }
    std::size_t size() const { return used; }
    bool empty() const { return used == 0; }
    std::span<const std::uint8_t> bytes() const { return {storage.get(), used}; }
    std::vector<std::uint8_t> copy() const { return {storage.get(), storage.get() + used}; }

    // Empties the buffer and keeps its storage.
    void clear() { used = 0; }
    void reserve(std::size_t bytes) {
        if (bytes > capacity) reallocate(bytes);
    }
    // `count` more bytes at the end, for the caller to fill; the pointer is
    // valid until the next growth.
    std::uint8_t* grow(std::size_t count) {
        if (used + count > capacity) reallocate(std::max(used + count, 2 * capacity));
        std::uint8_t* at = storage.get() + used;
        used += count;
        return at;
    }
    void append(const std::uint8_t* bytes, std::size_t count) {
        if (count != 0) std::memcpy(grow(count), bytes, count);
    }
    void push(std::uint8_t byte) { *grow(1) = byte; }

  private:
    void reallocate(std::size_t bytes) {
        auto larger = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
        if (used != 0) std::memcpy(larger.get(), storage.get(), used);
        storage = std::move(larger);
        capacity = bytes;
    }

    std::unique_ptr<std::uint8_t[]> storage;
    std::size_t used = 0;
    std::size_t capacity = 0;
};

}  // namespace FTDI::Mpsse
