// The process-wide simulated bench behind the D2XX functions, and the C++
// interface tests use to build it, inspect it and arm faults.
//
// The bench is built at its first use: from the JSON file that MDIOSIM_BENCH
// names, or the built-in default bench. It lives until the process ends (it
// is never destroyed, so hosts may still call the D2XX functions from their
// own static destructors). One mutex guards it: every D2XX call holds it, and
// so does every BenchAccess.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "mdiosim/Board.h"
#include "mdiosim/Counters.h"
#include "mdiosim/Description.h"
#include "mdiosim/Export.h"
#include "mdiosim/Transaction.h"

namespace mdiosim {

class WaveformRecorder;

// The D2XX operations the bench offers (those a fault can make fail).
enum class D2xxOperation : std::uint8_t {
    CreateDeviceInfoList,
    GetDeviceInfoList,
    OpenEx,
    Close,
    ResetDevice,
    SetUSBParameters,
    SetChars,
    SetTimeouts,
    SetLatencyTimer,
    SetBitMode,
    GetDeviceInfo,
    StopInTask,
    Purge,
    RestartInTask,
    Write,
    Read,
    Open,
    GetQueueStatus,
    ListDevices,
    GetStatus,
    SetBaudRate,
    SetDataCharacteristics,
    SetFlowControl,
    GetBitMode,
    GetLibraryVersion,
    GetDriverVersion,
    SetDeadmanTimeout,
};
inline constexpr unsigned kD2xxOperationCount = 27;

MDIOSIM_API const char* d2xxName(D2xxOperation operation);  // "FT_Write"
MDIOSIM_API std::optional<D2xxOperation> d2xxOperationNamed(std::string_view name);

// Every decoded bus transaction of the bench, in order: the most recent
// kMostKept of them. A run of hours would otherwise grow the log without
// bound; when it is full the older half goes, so tests (which read far fewer)
// see every transaction since their last clear.
class MDIOSIM_API TransactionLog {
  public:
    static constexpr std::size_t kMostKept = std::size_t{1} << 20;

    void record(const Transaction& transaction) {
        if (!recording) return;
        if (entries.size() >= kMostKept) {
            const std::size_t dropping = entries.size() / 2;
            entries.erase(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(dropping));
            droppedEntries += dropping;
        }
        entries.push_back(transaction);
    }
    const std::vector<Transaction>& all() const { return entries; }
    // How many of the oldest transactions were let go to stay within kMostKept.
    std::uint64_t dropped() const { return droppedEntries; }
    void clear() { entries.clear(); }
    // Benchmarks and long runs may stop recording.
    void setRecording(bool on) { recording = on; }

  private:
    std::vector<Transaction> entries;
    std::uint64_t droppedEntries = 0;
    bool recording = true;
};

class MDIOSIM_API Bench {
  public:
    Bench();
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // Replaces every board and clears faults, handles, counters and the log.
    // Handles of the old boards become invalid.
    void reset(const BenchDescription& description);
    Board& addBoard(const BoardDescription& description);
    // Arms one fault as a bench file's faults section does.
    void apply(const FaultDescription& fault);

    std::size_t boardCount() const { return boards.size(); }
    Board& board(std::size_t index);
    Board& board(std::string_view serialNumber);  // throws std::out_of_range
    Board* findBoard(std::string_view serialNumber);

    // The `nth` call of `operation` from now on (1: the next one), and the
    // `times - 1` calls after it, return `status`. With a serial number only
    // calls on that board count (FT_OpenEx: calls that name it); with a
    // thread, only calls that thread makes (a host's status LED has a thread
    // of its own writing to the same device, and a test that aims a failure
    // at one export's call passes std::this_thread::get_id()).
    void failCall(D2xxOperation operation, unsigned nth, std::uint32_t status,
                  std::string serialNumber = {}, unsigned times = 1, std::thread::id caller = {});
    // Unplugs the board after `afterCalls` more D2XX calls (0: now), and plugs
    // it back in `replugAfterCalls` calls after that, if given.
    void scheduleUnplug(std::string_view serialNumber, unsigned afterCalls,
                        std::optional<unsigned> replugAfterCalls = std::nullopt);
    // Disarms every fault still waiting: failing calls, plug events to come,
    // and each board's chunked writes, short reads, wrong sync answers and
    // open-elsewhere state. An unplugged board stays unplugged. A long run
    // arms faults again and again without rebuilding the boards (which would
    // invalidate the handles a host still holds).
    void clearFaults();

    TransactionLog& log() { return transactions; }
    const std::vector<Transaction>& transactionsSeen() const { return transactions.all(); }
    Counters totals() const;  // the sum over all boards
    double usbLatencySeconds() const { return latency; }
    void setUsbLatencySeconds(double seconds) { latency = seconds; }
    // What MPSSE commands, extra USB packets and the latency timer cost in
    // modeled time; a change applies to what the boards do from now on.
    const TimingModel& timing() const { return timingModel; }
    void setTiming(const TimingModel& model) { timingModel = model; }

    // --- used by the D2XX functions
    // Counts one D2XX call and carries out the plug events due by now.
    void startCall();
    // The status a fault dictates for this call of `operation` on `board`
    // (null: no board), if any; counts the call for the faults that wait.
    std::optional<std::uint32_t> injectedFault(D2xxOperation operation, const Board* board);
    // Handles are tokens that are never reused.
    void* issueHandle(Board& board);
    struct HandleTarget {
        Board* board = nullptr;  // null: no such handle
        bool stale = false;      // the board was unplugged since the handle was issued
    };
    HandleTarget resolve(void* handle);
    void releaseHandle(void* handle);
    // The device list as FT_CreateDeviceInfoList saw it.
    std::vector<Board*> listed;

  private:
    struct CallFault {
        D2xxOperation operation;
        std::string serialNumber;
        std::thread::id caller;    // no thread: any caller's calls count
        unsigned remainingBefore;  // matching calls still to pass
        unsigned times;
        std::uint32_t status;
    };
    struct ScheduledPlug {
        std::uint64_t atCall;
        std::string serialNumber;
        bool plugIn;
    };
    struct HandleRecord {
        Board* board;
        std::uint64_t generation;
    };

    void runSchedule();
    // Starts writing the boards' wires to `path`; a file that cannot be
    // written is reported on standard error and the bench runs without it.
    void recordWaveforms(const std::string& path);

    double latency = 125e-6;
    TimingModel timingModel;
    // Declared before the boards: its probes watch their wires, so the
    // boards go first.
    std::unique_ptr<WaveformRecorder> waveforms;
    std::vector<std::unique_ptr<Board>> boards;
    TransactionLog transactions;
    std::vector<CallFault> callFaults;
    std::vector<ScheduledPlug> schedule;
    std::uint64_t callsMade = 0;
    std::map<std::uintptr_t, HandleRecord> handles;
    std::uintptr_t nextHandle;
};

// Locked access to the process-wide bench: the bench's mutex is held while
// this object lives, e.g. `mdiosim::bench()->board(0).phy(3).clause22(2)`.
class MDIOSIM_API BenchAccess {
  public:
    BenchAccess(std::recursive_mutex& mutex, Bench& bench) : lock(mutex), target(&bench) {}
    Bench* operator->() const { return target; }
    Bench& operator*() const { return *target; }

  private:
    std::unique_lock<std::recursive_mutex> lock;
    Bench* target;
};

// The bench, built on first use from MDIOSIM_BENCH or the default.
MDIOSIM_API BenchAccess bench();
// Replaces the bench's boards with `description`.
MDIOSIM_API void resetBench(const BenchDescription& description);
// Builds the bench again as its first use does: from the file MDIOSIM_BENCH
// names (a file that cannot be used gives one message on standard error and
// a bench without boards), or the default bench.
MDIOSIM_API void reloadBench();
// Replaces the bench with the one a bench file's text describes; throws
// BenchFileError and leaves the bench unchanged when the text is unusable.
MDIOSIM_API void loadBenchJson(std::string_view text);

}  // namespace mdiosim
