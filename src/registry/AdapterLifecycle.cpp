// Looking adapters up, opening and closing them, and the default adapter.
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "ftdi/UsbLock.h"
#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/DriverFailure.h"
#include "registry/TalvikControl.h"

namespace {

using FTDI::Exceptions::NoDevice;

std::string indexName(std::uint32_t index) {
    return "<index " + std::to_string(index) + ">";
}

// How long a look-up by name keeps enumerating for a board that is being
// plugged in, and how long it sleeps between tries.
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
// A fuzzing build looks once: no board is being plugged in, and four seconds
// per unknown name would stall the run.
constexpr std::chrono::nanoseconds kNameLookupPatience{0};
constexpr std::chrono::milliseconds kNameLookupRetryDelay{0};
#else
constexpr std::chrono::nanoseconds kNameLookupPatience{3'999'999'999};
constexpr std::chrono::milliseconds kNameLookupRetryDelay{10};
#endif

}  // namespace

FTDI::Device& TalvikControl::adapterAt(std::uint32_t index) {
    if (index >= adapters.size()) throw NoDevice(indexName(index));
    return *adapters[index];
}

void TalvikControl::failNotOpen(std::uint32_t index) {
    throw NoDevice(indexName(index));
}

int TalvikControl::openAdapter(std::uint32_t index) {
    // The default moves even when the open fails below.
    defaultAdapter = index;
    FTDI::UsbLockGuard lock(FTDI::usbLock());
    FTDI::Device& adapter = adapterAt(index);
    if (adapter.handle != nullptr) return 1;

    // Another protocol of the same board may hold the USB device open already:
    // share its handle; the chip is up, so no bring-up.
    for (const auto& other : adapters) {
        if (other->serialNumber == adapter.serialNumber && other->handle != nullptr) {
            adapter.handle = other->handle;
            adapter.afterBringUp();
            return 1;
        }
    }

    const FTDI::D2xx::Status status =
        FTDI::D2xx::driver().openBySerialNumber(adapter.serialNumber.c_str(), adapter.handle);
    if (status != FTDI::D2xx::kOk) {
        adapter.handle = nullptr;
        FTDI::Exceptions::throwDeviceConnection(adapter.serialNumber, "Couldn't open device.",
                                                status);
    }
    emptyResultLists(index);
    try {
        adapter.bringUp();
        adapter.afterBringUp();
    } catch (...) {
        // A board that failed to come up is not left half open: release the
        // USB device so that a later open starts from the beginning, and the
        // adapter reads as closed rather than open without an engine.
        const FTDI::D2xx::Handle opened = adapter.handle;
        try {
            adapter.beforeClose();
        } catch (...) {
        }
        adapter.handle = nullptr;
        FTDI::D2xx::driver().resetDevice(opened);
        FTDI::D2xx::driver().close(opened);
        throw;
    }
    return 1;
}

int TalvikControl::closeAdapter(std::uint32_t index) {
    FTDI::Device& adapter = adapterAt(index);
    if (adapter.handle == nullptr) return 1;

    const FTDI::D2xx::Handle kept = adapter.handle;
    adapter.beforeClose();
    emptyResultLists(index);

    // The USB device stays open while another adapter of the board uses it.
    for (const auto& other : adapters) {
        if (other->serialNumber == adapter.serialNumber && other->handle != nullptr) return 1;
    }

    FTDI::UsbLockGuard lock(FTDI::usbLock());
    FTDI::D2xx::driver().resetDevice(kept);
    const FTDI::D2xx::Status status = FTDI::D2xx::driver().close(kept);
    if (status != FTDI::D2xx::kOk) {
        FTDI::Exceptions::throwDeviceConnection(adapter.name, "Couldn't close.", status);
    }
    return 1;
}

void TalvikControl::closeAll() {
    for (std::uint32_t index = 0; index < adapters.size(); ++index)
        closeAdapter(index);
    defaultAdapter = 0;
}

std::uint32_t TalvikControl::findAdapterByName(const char* adapterName) {
    if (adapterName == nullptr) {
        // What the standard library says when a string is built from null.
        throw std::logic_error("basic_string::_M_construct null not valid");
    }
    const std::string key = FTDI::lowerCased(adapterName);
    const auto find = [&]() -> std::int64_t {
        for (std::size_t index = 0; index < adapters.size(); ++index) {
            if (adapters[index]->lowerName == key) return static_cast<std::int64_t>(index);
        }
        return -1;
    };

    std::int64_t found = find();
    const auto start = std::chrono::steady_clock::now();
    while (found < 0) {
        enumerateDevices();
        found = find();
        if (found >= 0) break;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        std::this_thread::sleep_for(kNameLookupRetryDelay);
        if (elapsed > kNameLookupPatience) throw NoDevice(key);
    }
    return static_cast<std::uint32_t>(found);
}

int TalvikControl::setDefaultAdapter(std::uint32_t index) {
    defaultAdapter = index;
    return 1;
}

void TalvikControl::setDeviceParameter(std::uint32_t index, std::uint32_t value) {
    engineOf(openAdapterAt(index)).setDeviceParameter(value != 0 ? 1 : 0);
}

std::uint32_t TalvikControl::deviceParameter(std::uint32_t index) {
    return engineOf(openAdapterAt(index)).deviceParameter();
}
