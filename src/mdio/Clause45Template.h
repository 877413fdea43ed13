// FTDI::K8::Clause45Template: one PHY's Clause 45 frames to one MMD, built
// once and copied per access. A Clause 45 access is always an address frame
// and a read or write frame that differ from the last access to the same PHY
// and MMD only in the register address and the data; so the frames are
// prebuilt as two images (address + read, address + write) and queueing one
// access copies an image into the queue and patches those bytes, instead of
// assembling a dozen pieces each time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mpsse/CommandQueue.h"

namespace FTDI::K8 {

class Clause45Template {
  public:
    bool builtFor(std::uint8_t preambleBits, std::uint8_t mmd) const {
        return built && preambleBits == preamble && mmd == device;
    }
    // `preambleBits` must be a valid preamble (at most 64 bits).
    void build(std::uint8_t preambleBits, std::uint32_t portAddress, std::uint8_t mmd);

    void queueRead(Mpsse::CommandQueue& queue, std::uint16_t registerAddress) const {
        patchRegister(queue.appendImage(readImage), registerAddress);
        queue.expect({Mpsse::ReplyKind::Mdio16, Mpsse::kMdio16ReplyBytes, queue.newValue()});
    }
    void queueWrite(Mpsse::CommandQueue& queue, std::uint16_t registerAddress,
                    std::uint16_t value) const {
        std::uint8_t* frames = queue.appendImage(writeImage);
        patchRegister(frames, registerAddress);
        frames[valueAt] = static_cast<std::uint8_t>(value >> 8);
        frames[valueAt + 1] = static_cast<std::uint8_t>(value & 0xFF);
    }

  private:
    void patchRegister(std::uint8_t* frames, std::uint16_t registerAddress) const {
        frames[registerAt] = static_cast<std::uint8_t>(registerAddress >> 8);
        frames[registerAt + 1] = static_cast<std::uint8_t>(registerAddress & 0xFF);
    }

    std::vector<std::uint8_t> readImage;
    std::vector<std::uint8_t> writeImage;
    std::size_t registerAt = 0;  // high byte of the register address, in both images
    std::size_t valueAt = 0;     // high byte of the data, in the write image
    bool built = false;
    std::uint8_t preamble = 0;
    std::uint8_t device = 0;
};

}  // namespace FTDI::K8
