#include "D2xxSession.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "StatusMapping.h"

namespace usbdriver {

using namespace FTDI::D2xx;

namespace {

// Between two polls that found nothing: the chip answers every latency
// period anyway, so this only keeps an idle wait from spinning.
constexpr auto kIdlePoll = std::chrono::microseconds(200);

std::string boundedString(const char* characters, std::size_t limit) {
    return std::string(characters, strnlen(characters, limit));
}

Status transferStatus(int usbResult) {
    return d2xxStatus(usbResult, UsbStep::Transfer);
}

void copyField(char* field, std::size_t size, const std::string& value) {
    const std::size_t length = std::min(value.size(), size - 1);
    std::memcpy(field, value.data(), length);
    std::memset(field + length, 0, size - length);
}

}  // namespace

D2xxSession::D2xxSession(std::unique_ptr<UsbPort> port) : usb(std::move(port)) {}

Status D2xxSession::refreshList() {
    std::vector<UsbDeviceFound> found;
    const int result = usb->enumerate(found);
    if (result < 0) return d2xxStatus(result, UsbStep::Enumerate);
    listed = listDevices(found);
    return kOk;
}

Status D2xxSession::createDeviceInfoList(std::uint32_t* count) {
    std::lock_guard lock(mutex);
    if (count == nullptr) return kInvalidParameter;
    const Status status = refreshList();
    if (status != kOk) return status;
    *count = static_cast<std::uint32_t>(listed.size());
    return kOk;
}

Status D2xxSession::getDeviceInfoList(DeviceListNode* nodes, std::uint32_t* count) {
    std::lock_guard lock(mutex);
    if (nodes == nullptr || count == nullptr) return kInvalidParameter;
    // Fills the list that FT_CreateDeviceInfoList made, as the vendor driver does.
    for (std::size_t index = 0; index < listed.size(); ++index) {
        const ListedDevice& device = listed[index];
        const auto holder = std::find_if(handles.begin(), handles.end(), [&](const auto& entry) {
            return entry.second.device.locationId == device.locationId;
        });
        fillNode(device, holder != handles.end(), nodes[index]);
        if (holder != handles.end())
            nodes[index].ftHandle = reinterpret_cast<Handle>(holder->first);
    }
    *count = static_cast<std::uint32_t>(listed.size());
    return kOk;
}

Status D2xxSession::openBySerialNumber(const char* serialNumber, Handle* handle) {
    std::lock_guard lock(mutex);
    if (serialNumber == nullptr || handle == nullptr) return kInvalidParameter;
    *handle = nullptr;
    // A fresh look at the bus: a device unplugged since the last list is not
    // found, one plugged in since is.
    const Status status = refreshList();
    if (status != kOk) return status;
    const std::string wanted = boundedString(serialNumber, kSerialNumberSize);
    for (const ListedDevice& device : listed) {
        if (!device.serialNumber.empty() && device.serialNumber == wanted)
            return openListed(device, handle);
    }
    return kDeviceNotFound;
}

Status D2xxSession::openByIndex(std::uint32_t index, Handle* handle) {
    std::lock_guard lock(mutex);
    if (handle == nullptr) return kInvalidParameter;
    *handle = nullptr;
    const Status status = refreshList();
    if (status != kOk) return status;
    if (index >= listed.size()) return kDeviceNotFound;
    return openListed(listed[index], handle);
}

Status D2xxSession::openListed(const ListedDevice& device, Handle* handle) {
    for (const auto& [token, open] : handles) {
        if (open.device.locationId == device.locationId) return kDeviceNotOpened;
    }
    OpenDevice open;
    open.device = device;
    const int result = usb->open(device.token, device.interfaceIndex, open.link);
    if (result < 0 || !open.link) return d2xxStatus(result < 0 ? result : -1, UsbStep::Open);
    const std::uintptr_t token = nextHandle++;
    handles.emplace(token, std::move(open));
    *handle = reinterpret_cast<Handle>(token);
    return kOk;
}

Status D2xxSession::close(Handle handle) {
    std::lock_guard lock(mutex);
    const auto entry = handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (entry == handles.end()) return kInvalidHandle;
    // Destroying the link releases the interface and reattaches the kernel's
    // serial driver, also when the device has gone.
    handles.erase(entry);
    return kOk;
}

D2xxSession::OpenDevice* D2xxSession::find(Handle handle) {
    const auto entry = handles.find(reinterpret_cast<std::uintptr_t>(handle));
    return entry == handles.end() ? nullptr : &entry->second;
}

template <typename Work>
Status D2xxSession::onHandle(Handle handle, Work work) {
    std::lock_guard lock(mutex);
    OpenDevice* open = find(handle);
    if (open == nullptr) return kInvalidHandle;
    return work(*open);
}

Status D2xxSession::resetDevice(Handle handle) {
    return onHandle(handle, [](OpenDevice& open) {
        open.queued.clear();
        return transferStatus(open.link->reset());
    });
}

Status D2xxSession::purge(Handle handle, std::uint32_t mask) {
    return onHandle(handle, [&](OpenDevice& open) {
        if ((mask & ~(kPurgeReceive | kPurgeTransmit)) != 0) return kInvalidParameter;
        if (mask & kPurgeReceive) {
            open.queued.clear();
            const int result = open.link->purgeReceive();
            if (result < 0) return transferStatus(result);
        }
        if (mask & kPurgeTransmit) return transferStatus(open.link->purgeTransmit());
        return kOk;
    });
}

Status D2xxSession::setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    return onHandle(handle, [&](OpenDevice& open) {
        return transferStatus(open.link->setBitMode(mask, mode));
    });
}

Status D2xxSession::setLatencyTimer(Handle handle, std::uint8_t milliseconds) {
    return onHandle(handle, [&](OpenDevice& open) {
        // The chips count the latency in whole milliseconds from 1 (2 on the
        // oldest ones, which the chip itself enforces).
        if (milliseconds == 0) return kInvalidParameter;
        return transferStatus(open.link->setLatencyTimer(milliseconds));
    });
}

Status D2xxSession::setChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventEnabled,
                             std::uint8_t errorChar, std::uint8_t errorEnabled) {
    return onHandle(handle, [&](OpenDevice& open) {
        return transferStatus(open.link->setSpecialCharacters(eventChar, eventEnabled != 0,
                                                              errorChar, errorEnabled != 0));
    });
}

Status D2xxSession::setUsbParameters(Handle handle, std::uint32_t inBytes, std::uint32_t outBytes) {
    return onHandle(handle, [&](OpenDevice& open) {
        // The vendor driver takes 64 to 65536 bytes; 0 keeps a size as it is.
        if (inBytes != 0 && (inBytes < 64 || inBytes > 65536)) return kInvalidParameter;
        if (outBytes != 0 && (outBytes < 64 || outBytes > 65536)) return kInvalidParameter;
        if (outBytes != 0) open.outTransferSize = outBytes;
        return transferStatus(open.link->setTransferSizes(inBytes, outBytes));
    });
}

Status D2xxSession::setTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    return onHandle(handle, [&](OpenDevice& open) {
        open.readTimeoutMs = readMs;
        open.link->setTimeouts(readMs, writeMs);
        return kOk;
    });
}

Status D2xxSession::getDeviceInfo(Handle handle, std::uint32_t* chipType, std::uint32_t* deviceId,
                                  char* serialNumber, char* description) {
    return onHandle(handle, [&](OpenDevice& open) {
        // Each output is optional: the ones given are filled.
        if (chipType != nullptr) *chipType = open.device.type;
        if (deviceId != nullptr) *deviceId = open.device.id;
        if (serialNumber != nullptr)
            copyField(serialNumber, kSerialNumberSize, open.device.serialNumber);
        if (description != nullptr)
            copyField(description, kDescriptionSize, open.device.description);
        return kOk;
    });
}

Status D2xxSession::stopInTask(Handle handle) {
    return onHandle(handle, [](OpenDevice& open) {
        open.inTaskStopped = true;
        return kOk;
    });
}

Status D2xxSession::restartInTask(Handle handle) {
    return onHandle(handle, [](OpenDevice& open) {
        open.inTaskStopped = false;
        return kOk;
    });
}

Status D2xxSession::collect(OpenDevice& open) {
    if (open.inTaskStopped || open.queued.size() >= kQueueCapacity) return kOk;
    const std::size_t before = open.queued.size();
    open.queued.resize(kQueueCapacity);
    const int result = open.link->read(open.queued.data() + before,
                                       static_cast<std::uint32_t>(kQueueCapacity - before));
    open.queued.resize(before + static_cast<std::size_t>(std::max(result, 0)));
    return transferStatus(result);
}

Status D2xxSession::getQueueStatus(Handle handle, std::uint32_t* queued) {
    return onHandle(handle, [&](OpenDevice& open) {
        if (queued == nullptr) return kInvalidParameter;
        const Status status = collect(open);
        *queued = static_cast<std::uint32_t>(open.queued.size());
        return status;
    });
}

Status D2xxSession::write(Handle handle, const void* bytes, std::uint32_t count,
                          std::uint32_t* written) {
    return onHandle(handle, [&](OpenDevice& open) {
        if (written == nullptr || (bytes == nullptr && count != 0)) return kInvalidParameter;
        *written = 0;
        const auto* next = static_cast<const std::uint8_t*>(bytes);
        // One bulk transfer per transfer-size chunk, so a failure reports
        // exactly the chunks the chip took before it.
        while (*written < count) {
            const std::uint32_t chunk = std::min(count - *written, open.outTransferSize);
            const int result = open.link->write(next + *written, chunk);
            if (result < 0) return transferStatus(result);
            *written += static_cast<std::uint32_t>(result);
            // A chip that took less stopped taking: report what it took.
            if (static_cast<std::uint32_t>(result) < chunk) break;
        }
        return kOk;
    });
}

Status D2xxSession::read(Handle handle, void* buffer, std::uint32_t count,
                         std::uint32_t* received) {
    return onHandle(handle, [&](OpenDevice& open) {
        if (received == nullptr || (buffer == nullptr && count != 0)) return kInvalidParameter;
        auto* out = static_cast<std::uint8_t*>(buffer);
        const auto fromQueue =
            static_cast<std::uint32_t>(std::min<std::size_t>(count, open.queued.size()));
        std::copy_n(open.queued.begin(), fromQueue, out);
        open.queued.erase(open.queued.begin(), open.queued.begin() + fromQueue);
        *received = fromQueue;
        // A time-out of 0 looks once and returns what is there.
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(open.readTimeoutMs);
        while (*received < count) {
            int result = 0;
            if (!open.inTaskStopped) result = open.link->read(out + *received, count - *received);
            if (result < 0) return transferStatus(result);
            *received += static_cast<std::uint32_t>(result);
            if (*received == count || std::chrono::steady_clock::now() >= deadline) break;
            if (result == 0) std::this_thread::sleep_for(kIdlePoll);
        }
        return kOk;
    });
}

}  // namespace usbdriver
