// FT_ListDevices and FT_Open: the older way to find and open a device, by its
// position among the devices plugged in now.
#include <vector>

#include "D2xxDriver.h"

namespace mdiosim::d2xx {

using namespace FTDI::D2xx;

namespace {

// FT_ListDevices writes strings into buffers of this size.
constexpr std::size_t kListBufferSize = kDescriptionSize;

std::vector<Board*> pluggedBoards(Bench& bench) {
    std::vector<Board*> plugged;
    for (std::size_t index = 0; index < bench.boardCount(); ++index) {
        if (bench.board(index).plugged()) plugged.push_back(&bench.board(index));
    }
    return plugged;
}

// The string FT_ListDevices gives for a device: its description with
// FT_OPEN_BY_DESCRIPTION, otherwise its serial number. A device another
// process holds cannot be read: its strings are blank.
std::string listedText(const Board& board, std::uint32_t flags) {
    if (board.openElsewhere()) return {};
    return (flags & kOpenByDescription) ? board.description() : board.serialNumber();
}

std::uint32_t listedLocation(const Board& board) {
    return board.openElsewhere() ? 0 : locationOf(board);
}

Status listOne(const std::vector<Board*>& boards, void* first, void* second, std::uint32_t flags) {
    // The index travels in the pointer argument itself.
    const auto index = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(first));
    if (second == nullptr) return kInvalidParameter;
    if (index >= boards.size()) return kDeviceNotFound;
    if (flags & kOpenByLocation) {
        *static_cast<std::uint32_t*>(second) = listedLocation(*boards[index]);
    } else {
        copyField(static_cast<char*>(second), kListBufferSize, listedText(*boards[index], flags));
    }
    return kOk;
}

Status listAll(const std::vector<Board*>& boards, void* first, void* second, std::uint32_t flags) {
    if (first == nullptr || second == nullptr) return kInvalidParameter;
    if (flags & kOpenByLocation) {
        auto* locations = static_cast<std::uint32_t*>(first);
        for (std::size_t index = 0; index < boards.size(); ++index)
            locations[index] = listedLocation(*boards[index]);
    } else {
        // An array of buffer pointers that ends with a null pointer: a
        // shorter array than the device count gets what fits.
        auto* buffers = static_cast<char**>(first);
        for (std::size_t index = 0; index < boards.size() && buffers[index] != nullptr; ++index)
            copyField(buffers[index], kListBufferSize, listedText(*boards[index], flags));
    }
    *static_cast<std::uint32_t*>(second) = static_cast<std::uint32_t>(boards.size());
    return kOk;
}

}  // namespace

Status listDevices(Bench& bench, void* first, void* second, std::uint32_t flags) {
    bench.startCall();
    if (const auto fault = bench.injectedFault(D2xxOperation::ListDevices, nullptr)) return *fault;
    const std::vector<Board*> boards = pluggedBoards(bench);
    if (flags & kListNumberOnly) {
        if (first == nullptr) return kInvalidParameter;
        *static_cast<std::uint32_t*>(first) = static_cast<std::uint32_t>(boards.size());
        return kOk;
    }
    if (flags & kListByIndex) return listOne(boards, first, second, flags);
    if (flags & kListAll) return listAll(boards, first, second, flags);
    return kInvalidParameter;
}

Status open(Bench& bench, int deviceNumber, Handle* handle) {
    bench.startCall();
    const std::vector<Board*> boards = pluggedBoards(bench);
    const bool known = deviceNumber >= 0 && static_cast<std::size_t>(deviceNumber) < boards.size();
    Board* board = known ? boards[static_cast<std::size_t>(deviceNumber)] : nullptr;
    if (const auto fault = bench.injectedFault(D2xxOperation::Open, board)) return *fault;
    if (handle == nullptr) return kInvalidParameter;
    *handle = nullptr;
    // The device is there but cannot be opened while another process holds it.
    if (board != nullptr && board->openElsewhere()) return kDeviceNotOpened;
    return claim(bench, board, handle);
}

}  // namespace mdiosim::d2xx
