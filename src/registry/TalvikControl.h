// TalvikControl: the one registry of the library. It owns every adapter the
// process has ever seen, gives each a stable index, keeps the names the host
// reads, opens and closes adapters (sharing one USB handle between the
// adapters of one board), and dispatches single and queued MDIO and 32-bit
// operations per adapter and PHY, keeping the values each execute returns.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "boards/AdapterTable.h"
#include "mdio/MDIO.h"

class TalvikControl {
  public:
    static constexpr std::uint32_t kMaxAdapters = 64;
    // The width of the result table: PHY ids 0..127 are accepted.
    static constexpr std::uint32_t kPhyIdLimit = 128;

    TalvikControl();
    virtual ~TalvikControl() = default;
    TalvikControl(const TalvikControl&) = delete;
    TalvikControl& operator=(const TalvikControl&) = delete;

    // --- the adapter list
    int initializeTables();
    // Reads the driver's device list and appends adapters for new boards.
    void enumerateDevices();
    std::uint32_t adapterCount() const;
    // The name copy handed to the host, or null for an index past the end.
    const char* deviceName(std::uint32_t index) const;
    char** deviceNameList();

    // --- open, close, defaults
    FTDI::Device& adapterAt(std::uint32_t index);
    // Every register access starts here, so the check is inline and only a
    // missing or closed adapter leaves it.
    FTDI::Device& openAdapterAt(std::uint32_t index) {
        if (index < adapters.size() && adapters[index]->handle != nullptr) [[likely]]
            return *adapters[index];
        failNotOpen(index);
    }
    int openAdapter(std::uint32_t index);
    int closeAdapter(std::uint32_t index);
    void closeAll();
    // Case-insensitive; enumerates again for about four seconds before giving up.
    std::uint32_t findAdapterByName(const char* adapterName);
    int setDefaultAdapter(std::uint32_t index);
    void setDeviceParameter(std::uint32_t index, std::uint32_t value);
    std::uint32_t deviceParameter(std::uint32_t index);

    // --- board services, each of one board family. Board registers exist on
    // the older family only: other adapters fail with std::bad_cast. GPIO and
    // raw I2C exist on K8 boards only: other adapters get an empty result.
    std::uint32_t boardRead(std::uint32_t adapter, std::uint32_t boardRegister);
    void boardWrite(std::uint32_t adapter, std::uint32_t boardRegister, std::uint32_t value);
    void i2cWrite(std::uint32_t adapter, std::uint32_t address,
                  const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> i2cRead(std::uint32_t adapter, std::uint32_t address,
                                      std::uint32_t registerAddress, std::uint8_t registerLength,
                                      std::uint32_t count);
    // Whether the slave acknowledged every byte of the adapter's last raw I2C
    // transfer; false on adapters without raw I2C.
    bool i2cLastTransferAcknowledged(std::uint32_t adapter);
    // 1 on success, 0 when the adapter has no GPIO pins. A null `level` is a
    // failure (std::invalid_argument) once the adapter has pins to read.
    std::uint32_t gpioSet(std::uint32_t adapter, std::uint8_t pin, std::uint8_t level);
    std::uint32_t gpioGet(std::uint32_t adapter, std::uint8_t pin, std::uint8_t* level);

    // --- MDIO and 32-bit dispatch. Queued forms only queue; single forms
    // queue and execute the PHY's queue at once.
    void blockRead(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                   std::uint32_t registerAddress);
    void blockWrite(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                    std::uint32_t registerAddress, std::uint32_t value);
    void blockReadC22(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t registerAddress);
    void blockWriteC22(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t registerAddress,
                       std::uint32_t value);
    void blockRead32(std::uint32_t adapter, std::uint32_t deviceId, std::uint32_t address);
    void blockWrite32(std::uint32_t adapter, std::uint32_t deviceId, std::uint32_t address,
                      std::uint32_t value);

    std::uint32_t read(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
                       std::uint32_t registerAddress);
    void write(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t mmd,
               std::uint32_t registerAddress, std::uint32_t value);
    std::uint32_t readC22(std::uint32_t adapter, std::uint32_t phyId,
                          std::uint32_t registerAddress);
    void writeC22(std::uint32_t adapter, std::uint32_t phyId, std::uint32_t registerAddress,
                  std::uint32_t value);
    std::uint32_t read32(std::uint32_t adapter, std::uint32_t deviceId, std::uint32_t address);
    void write32(std::uint32_t adapter, std::uint32_t deviceId, std::uint32_t address,
                 std::uint32_t value);
    std::uint32_t read32PreIncrementAddress(std::uint32_t adapter, std::uint32_t deviceId);
    std::uint32_t read32CurrentAddress(std::uint32_t adapter, std::uint32_t deviceId);
    void write32PreIncrementAddress(std::uint32_t adapter, std::uint32_t deviceId,
                                    std::uint32_t value);
    void write32CurrentAddress(std::uint32_t adapter, std::uint32_t deviceId, std::uint32_t value);

    // Executes the PHY's queue and keeps every value read; returns the first
    // of them (contiguous, in queue order) or null when there is none.
    const std::uint32_t* blockOperationExecute(std::uint32_t adapter, std::uint32_t phyId);
    const std::uint32_t* blockOperationExecuteC22(std::uint32_t adapter, std::uint32_t phyId);

    // Default-adapter forms: the adapter is `defaultAdapter` at the time of the call.
    void blockRead(std::uint32_t phyId, std::uint32_t mmd, std::uint32_t registerAddress);
    void blockWrite(std::uint32_t phyId, std::uint32_t mmd, std::uint32_t registerAddress,
                    std::uint32_t value);
    std::uint32_t read(std::uint32_t phyId, std::uint32_t mmd, std::uint32_t registerAddress);
    void write(std::uint32_t phyId, std::uint32_t mmd, std::uint32_t registerAddress,
               std::uint32_t value);
    std::uint32_t readC22(std::uint32_t phyId, std::uint32_t registerAddress);
    void writeC22(std::uint32_t phyId, std::uint32_t registerAddress, std::uint32_t value);
    std::uint32_t read32(std::uint32_t deviceId, std::uint32_t address);
    void write32(std::uint32_t deviceId, std::uint32_t address, std::uint32_t value);

    std::uint32_t defaultAdapter = 0;
    std::uint32_t lastResultCount = 0;
    std::int32_t tablesReady = 0;

  private:
    using ResultRow = std::array<FTDI::Values, kPhyIdLimit>;

    // Throws NoDevice for an index past the end or an adapter not open.
    [[noreturn]] [[gnu::cold]] void failNotOpen(std::uint32_t index);

    // The adapter's engine; refuses adapters that have none (JTAG).
    FTDI::MDIO& engineOf(FTDI::Device& adapter);
    // Rejects PHY ids the result table has no room for.
    void checkPhyId(const FTDI::Device& adapter, std::uint32_t phyId, bool deviceId) const;
    // A host that skipped HW_Initialize still gets a table to write into,
    // rather than rows that do not exist.
    FTDI::Values& resultList(std::uint32_t adapter, std::uint32_t phyId) {
        if (tablesReady == 0) [[unlikely]]
            initializeTables();
        return resultTable[adapter][phyId];
    }
    void emptyResultLists(std::uint32_t adapter);
    // Executes the PHY's queue, keeps the values and returns the only one.
    std::uint32_t executeSingleRead(FTDI::Device& device, std::uint32_t adapter,
                                    std::uint32_t phyId);
    // Executes the PHY's queue after a single write; values are a misuse.
    void executeSingleWrite(FTDI::Device& device, std::uint32_t phyId);
    void exitIfOverLimit() const;
    void fillNameList();

    // Process-wide state shared by every registry object (there is one),
    // defined in TalvikControl.cpp.
    static std::int32_t instanceCount;
    static FTDI::AdapterTable adapters;
    static std::array<char*, kMaxAdapters> deviceNames;  // never released
    static std::uint32_t filledNameCount;
    static std::vector<ResultRow> resultTable;
};

// The library's registry object, built when the library loads.
TalvikControl& registry();
