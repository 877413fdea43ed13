#include "mdiosim/Bench.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "BoardHardware.h"
#include "WaveformRecorder.h"

namespace mdiosim {
namespace {

constexpr std::array<const char*, kD2xxOperationCount> kD2xxNames = {"FT_CreateDeviceInfoList",
                                                                     "FT_GetDeviceInfoList",
                                                                     "FT_OpenEx",
                                                                     "FT_Close",
                                                                     "FT_ResetDevice",
                                                                     "FT_SetUSBParameters",
                                                                     "FT_SetChars",
                                                                     "FT_SetTimeouts",
                                                                     "FT_SetLatencyTimer",
                                                                     "FT_SetBitMode",
                                                                     "FT_GetDeviceInfo",
                                                                     "FT_StopInTask",
                                                                     "FT_Purge",
                                                                     "FT_RestartInTask",
                                                                     "FT_Write",
                                                                     "FT_Read",
                                                                     "FT_Open",
                                                                     "FT_GetQueueStatus",
                                                                     "FT_ListDevices",
                                                                     "FT_GetStatus",
                                                                     "FT_SetBaudRate",
                                                                     "FT_SetDataCharacteristics",
                                                                     "FT_SetFlowControl",
                                                                     "FT_GetBitMode",
                                                                     "FT_GetLibraryVersion",
                                                                     "FT_GetDriverVersion",
                                                                     "FT_SetDeadmanTimeout"};

// Handles are addresses nobody can dereference by accident: far from null,
// spaced apart, never reused.
constexpr std::uintptr_t kFirstHandle = 0x5D000010;
constexpr std::uintptr_t kHandleSpacing = 0x10;

}  // namespace

const char* d2xxName(D2xxOperation operation) {
    return kD2xxNames[static_cast<std::size_t>(operation)];
}

std::optional<D2xxOperation> d2xxOperationNamed(std::string_view name) {
    for (std::size_t index = 0; index < kD2xxNames.size(); ++index) {
        if (name == kD2xxNames[index]) return static_cast<D2xxOperation>(index);
    }
    return std::nullopt;
}

Bench::Bench() : nextHandle(kFirstHandle) {}

Bench::~Bench() = default;

void Bench::reset(const BenchDescription& description) {
    listed.clear();
    handles.clear();
    callFaults.clear();
    schedule.clear();
    boards.clear();
    waveforms.reset();
    transactions.clear();
    latency = description.usbLatencySeconds;
    timingModel = description.timing;
    for (const BoardDescription& board : description.boards)
        addBoard(board);
    if (!description.waveformFile.empty()) recordWaveforms(description.waveformFile);
    for (const FaultDescription& fault : description.faults)
        apply(fault);
}

void Bench::recordWaveforms(const std::string& path) {
    std::vector<Board*> all;
    for (const auto& board : boards)
        all.push_back(board.get());
    try {
        waveforms = std::make_unique<WaveformRecorder>(path, all);
    } catch (const std::exception& problem) {
        // The bench still works; only the picture of it is missing.
        std::fprintf(stderr, "mdiosim: %s\n", problem.what());
        std::fflush(stderr);
    }
}

Board& Bench::addBoard(const BoardDescription& description) {
    boards.push_back(std::make_unique<Board>(static_cast<unsigned>(boards.size()), description,
                                             transactions, latency, timingModel));
    return *boards.back();
}

void Bench::apply(const FaultDescription& fault) {
    switch (fault.kind) {
        case FaultKind::FailCall: {
            const std::optional<D2xxOperation> operation = d2xxOperationNamed(fault.operation);
            if (!operation) throw std::invalid_argument("no D2XX operation " + fault.operation);
            failCall(*operation, fault.call, fault.status, fault.serialNumber, fault.times);
            return;
        }
        case FaultKind::ChunkedWrites:
            board(fault.serialNumber).chunkWrites(fault.bytes);
            return;
        case FaultKind::ShortReads:
            board(fault.serialNumber).shortReads(fault.times, fault.bytes);
            return;
        case FaultKind::WrongSyncAnswers:
            board(fault.serialNumber).wrongSyncAnswers(fault.times);
            return;
        case FaultKind::Unplug:
            scheduleUnplug(fault.serialNumber, fault.afterCalls, fault.replugAfterCalls);
            return;
        case FaultKind::OpenElsewhere:
            board(fault.serialNumber).setOpenElsewhere(true);
            return;
    }
}

Board& Bench::board(std::size_t index) {
    if (index >= boards.size()) {
        throw std::out_of_range("the bench has no board " + std::to_string(index));
    }
    return *boards[index];
}

Board& Bench::board(std::string_view serialNumber) {
    Board* found = findBoard(serialNumber);
    if (found == nullptr) {
        throw std::out_of_range("the bench has no board " + std::string(serialNumber));
    }
    return *found;
}

Board* Bench::findBoard(std::string_view serialNumber) {
    for (const std::unique_ptr<Board>& candidate : boards) {
        if (candidate->serialNumber() == serialNumber) return candidate.get();
    }
    return nullptr;
}

void Bench::failCall(D2xxOperation operation, unsigned nth, std::uint32_t status,
                     std::string serialNumber, unsigned times, std::thread::id caller) {
    if (nth == 0 || times == 0) return;
    callFaults.push_back(
        CallFault{operation, std::move(serialNumber), caller, nth - 1, times, status});
}

void Bench::clearFaults() {
    callFaults.clear();
    schedule.clear();
    for (const auto& board : boards) {
        board->chunkWrites(0);
        board->shortReads(0, 0);
        board->wrongSyncAnswers(0);
        board->setOpenElsewhere(false);
    }
}

void Bench::scheduleUnplug(std::string_view serialNumber, unsigned afterCalls,
                           std::optional<unsigned> replugAfterCalls) {
    board(serialNumber);  // refuse an unknown board now rather than later
    schedule.push_back(ScheduledPlug{callsMade + afterCalls, std::string(serialNumber), false});
    if (replugAfterCalls) {
        schedule.push_back(ScheduledPlug{callsMade + afterCalls + *replugAfterCalls,
                                         std::string(serialNumber), true});
    }
    std::stable_sort(
        schedule.begin(), schedule.end(),
        [](const ScheduledPlug& a, const ScheduledPlug& b) { return a.atCall < b.atCall; });
    runSchedule();
}

void Bench::runSchedule() {
    while (!schedule.empty() && schedule.front().atCall <= callsMade) {
        const ScheduledPlug event = schedule.front();
        schedule.erase(schedule.begin());
        if (Board* board = findBoard(event.serialNumber)) {
            event.plugIn ? board->replug() : board->unplug();
        }
    }
}

void Bench::startCall() {
    // Plug events due by now happen before the call sees the board.
    runSchedule();
    ++callsMade;
}

std::optional<std::uint32_t> Bench::injectedFault(D2xxOperation operation, const Board* target) {
    std::optional<std::uint32_t> status;
    for (CallFault& fault : callFaults) {
        if (fault.operation != operation) continue;
        if (!fault.serialNumber.empty() &&
            (target == nullptr || target->serialNumber() != fault.serialNumber)) {
            continue;
        }
        if (fault.caller != std::thread::id() && fault.caller != std::this_thread::get_id()) {
            continue;
        }
        if (fault.remainingBefore != 0) {
            --fault.remainingBefore;
            continue;
        }
        if (fault.times != 0 && !status) {
            --fault.times;
            status = fault.status;
        }
    }
    std::erase_if(callFaults, [](const CallFault& fault) { return fault.times == 0; });
    return status;
}

void* Bench::issueHandle(Board& board) {
    const std::uintptr_t token = nextHandle;
    nextHandle += kHandleSpacing;
    handles[token] = HandleRecord{&board, board.hardware().usb.generation};
    return reinterpret_cast<void*>(token);
}

Bench::HandleTarget Bench::resolve(void* handle) {
    const auto found = handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == handles.end()) return {};
    Board* board = found->second.board;
    return HandleTarget{board, board->hardware().usb.generation != found->second.generation};
}

void Bench::releaseHandle(void* handle) {
    handles.erase(reinterpret_cast<std::uintptr_t>(handle));
}

Counters Bench::totals() const {
    Counters sum;
    for (const std::unique_ptr<Board>& board : boards)
        sum += board->counters();
    return sum;
}

}  // namespace mdiosim
