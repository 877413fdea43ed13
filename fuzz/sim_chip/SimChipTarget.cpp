// The simulated chip's command interpreter, driven through the bench's D2XX
// functions as any host would: bytes written to an open K8 board (MPSSE
// commands once the bit mode is MPSSE, a byte pipe before) and to a board of
// the older family (five-byte frames to its controller), interleaved with
// reads, purges, bit-mode changes, resets and reopening.
//
// Checked on every input: no call crashes, a read never reports more than it
// was asked for, and the receive queue holds what FT_GetQueueStatus says.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <vector>

#include "Verdict.h"
#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Description.h"

using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

// The bench's exports this target calls beyond those of D2xxAbi.h.
extern "C" {
Status FT_OpenEx(void* argument, std::uint32_t flags, Handle* handle);
Status FT_Close(Handle handle);
Status FT_ResetDevice(Handle handle);
Status FT_SetBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode);
Status FT_Purge(Handle handle, std::uint32_t mask);
Status FT_SetTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs);
Status FT_SetLatencyTimer(Handle handle, std::uint8_t milliseconds);
Status FT_Write(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* written);
Status FT_Read(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* received);
Status FT_GetQueueStatus(Handle handle, std::uint32_t* received);
}

namespace {

// A K8 board with the I2C bus and its bridge, a K8 MDIO board, and a board
// of the older family: the default bench has one of each.
constexpr std::array<const char*, 3> kSerialNumbers = {"K8A00001", "AA000001", "TV00001B"};
// Clock commands may ask for up to 65536 bytes each; a cap on what one input
// writes keeps every input well under a millisecond or so.
constexpr std::size_t kMostBytesPerInput = 4096;

struct OpenBoard {
    Handle handle = nullptr;
};

void open(OpenBoard& board, const char* serialNumber) {
    board.handle = nullptr;
    FT_OpenEx(const_cast<char*>(serialNumber), FTDI::D2xx::kOpenBySerialNumber, &board.handle);
}

void checkQueue(Handle handle) {
    std::uint32_t waiting = 0;
    if (FT_GetQueueStatus(handle, &waiting) != FTDI::D2xx::kOk) return;
    std::vector<std::uint8_t> buffer(waiting);
    std::uint32_t received = 0;
    if (FT_Read(handle, buffer.data(), waiting, &received) != FTDI::D2xx::kOk) return;
    fuzzing::require(received == waiting, "FT_Read returns what FT_GetQueueStatus announced");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const mdiosim::BenchDescription description = mdiosim::defaultBenchDescription();
    mdiosim::resetBench(description);
    mdiosim::bench()->log().setRecording(false);

    FuzzedDataProvider input(data, size);
    std::array<OpenBoard, kSerialNumbers.size()> boards;
    for (std::size_t index = 0; index < boards.size(); ++index)
        open(boards[index], kSerialNumbers[index]);

    std::size_t bytesWritten = 0;
    while (input.remaining_bytes() > 0 && bytesWritten < kMostBytesPerInput) {
        const std::size_t which = input.ConsumeIntegralInRange<std::size_t>(0, boards.size() - 1);
        const Handle handle = boards[which].handle;
        switch (input.ConsumeIntegralInRange(0, 9)) {
            case 0:
            case 1:
            case 2: {
                std::vector<std::uint8_t> bytes =
                    input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(0, 64));
                std::uint32_t written = 0;
                FT_Write(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written);
                fuzzing::require(written <= bytes.size(), "FT_Write reports what it was given");
                bytesWritten += bytes.size();
                break;
            }
            case 3:
            case 4: {
                const auto count = input.ConsumeIntegralInRange<std::uint32_t>(0, 256);
                std::vector<std::uint8_t> buffer(count);
                std::uint32_t received = 0;
                FT_Read(handle, buffer.data(), count, &received);
                fuzzing::require(received <= count, "FT_Read returns at most what was asked");
                break;
            }
            case 5:
                checkQueue(handle);
                break;
            case 6:
                FT_Purge(handle, input.ConsumeIntegralInRange(0u, 3u));
                break;
            case 7: {
                const auto mask = input.ConsumeIntegral<std::uint8_t>();
                constexpr std::uint8_t kModes[] = {FTDI::D2xx::kBitModeReset,
                                                   FTDI::D2xx::kBitModeMpsse, 0x01, 0x04, 0x40};
                FT_SetBitMode(handle, mask, input.PickValueInArray(kModes));
                break;
            }
            case 8:
                FT_ResetDevice(handle);
                FT_SetTimeouts(handle, input.ConsumeIntegral<std::uint16_t>(), 1000);
                FT_SetLatencyTimer(handle, input.ConsumeIntegral<std::uint8_t>());
                break;
            case 9:
                FT_Close(handle);
                open(boards[which], kSerialNumbers[which]);
                break;
        }
    }
    for (const OpenBoard& board : boards)
        FT_Close(board.handle);
    return 0;
}
