#include "ScriptedDriver.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ftdi/MpsseCommands.h"

namespace testing_support {
namespace {

std::uint64_t handleValue(Handle handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

void ScriptedDriver::addDevice(std::string serialNumber, std::string description,
                               std::uint32_t flags, std::uint32_t type) {
    devices.push_back({std::move(serialNumber), std::move(description), flags, type});
}

void ScriptedDriver::failNext(const std::string& operation, Status status) {
    scriptedStatuses[operation].push_back(status);
}

void ScriptedDriver::queueReply(const Bytes& bytes) {
    replies.insert(replies.end(), bytes.begin(), bytes.end());
}

std::vector<std::string> ScriptedDriver::operations() const {
    std::vector<std::string> names;
    for (const Call& call : calls) names.push_back(call.operation);
    return names;
}

Bytes ScriptedDriver::written() const {
    Bytes all;
    for (const Call& call : calls) {
        if (call.operation == "FT_Write") all.insert(all.end(), call.bytes.begin(), call.bytes.end());
    }
    return all;
}

std::vector<Bytes> ScriptedDriver::writes() const {
    std::vector<Bytes> all;
    for (const Call& call : calls) {
        if (call.operation == "FT_Write") all.push_back(call.bytes);
    }
    return all;
}

std::size_t ScriptedDriver::count(const std::string& operation) const {
    return static_cast<std::size_t>(std::count_if(
        calls.begin(), calls.end(), [&](const Call& call) { return call.operation == operation; }));
}

Status ScriptedDriver::record(const std::string& operation, std::vector<std::uint64_t> arguments,
                              Bytes bytes) {
    calls.push_back({operation, std::move(arguments), std::move(bytes)});
    auto scripted = scriptedStatuses.find(operation);
    if (scripted == scriptedStatuses.end() || scripted->second.empty()) return FTDI::D2xx::kOk;
    const Status status = scripted->second.front();
    scripted->second.pop_front();
    return status;
}

Status ScriptedDriver::createDeviceInfoList(std::uint32_t& count) {
    const Status status = record("FT_CreateDeviceInfoList", {});
    if (status == FTDI::D2xx::kOk) count = static_cast<std::uint32_t>(devices.size());
    return status;
}

Status ScriptedDriver::getDeviceInfoList(FTDI::D2xx::DeviceListNode* nodes, std::uint32_t& count) {
    const Status status = record("FT_GetDeviceInfoList", {count});
    if (status != FTDI::D2xx::kOk) return status;
    const std::uint32_t filled = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(devices.size()));
    for (std::uint32_t i = 0; i < filled; ++i) {
        FTDI::D2xx::DeviceListNode& node = nodes[i];
        node.Flags = devices[i].flags;
        node.Type = devices[i].type;
        // Like the driver's fields: a text that fills its field has no terminator.
        std::memcpy(node.SerialNumber, devices[i].serialNumber.data(),
                    std::min(devices[i].serialNumber.size(), sizeof node.SerialNumber));
        std::memcpy(node.Description, devices[i].description.data(),
                    std::min(devices[i].description.size(), sizeof node.Description));
    }
    count = filled;
    return status;
}

Status ScriptedDriver::openBySerialNumber(const char* serialNumber, Handle& handle) {
    // The serial number asked for is kept as the call's bytes.
    const Status status = record("FT_OpenEx", {FTDI::D2xx::kOpenBySerialNumber},
                                 Bytes(serialNumber, serialNumber + std::strlen(serialNumber)));
    if (status == FTDI::D2xx::kOk) {
        // Distinct, recognisable handle values: 0x1000 + position in the list.
        handle = reinterpret_cast<Handle>(static_cast<std::uintptr_t>(0x1000 + openHandles.size()));
        openHandles[serialNumber] = handle;
    }
    return status;
}

Status ScriptedDriver::close(Handle handle) { return record("FT_Close", {handleValue(handle)}); }

Status ScriptedDriver::resetDevice(Handle handle) {
    return record("FT_ResetDevice", {handleValue(handle)});
}

Status ScriptedDriver::setUsbParameters(Handle handle, std::uint32_t in, std::uint32_t out) {
    return record("FT_SetUSBParameters", {handleValue(handle), in, out});
}

Status ScriptedDriver::setChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventEnabled,
                                std::uint8_t errorChar, std::uint8_t errorEnabled) {
    return record("FT_SetChars",
                  {handleValue(handle), eventChar, eventEnabled, errorChar, errorEnabled});
}

Status ScriptedDriver::setTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    return record("FT_SetTimeouts", {handleValue(handle), readMs, writeMs});
}

Status ScriptedDriver::setLatencyTimer(Handle handle, std::uint8_t milliseconds) {
    return record("FT_SetLatencyTimer", {handleValue(handle), milliseconds});
}

Status ScriptedDriver::setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    return record("FT_SetBitMode", {handleValue(handle), mask, mode});
}

Status ScriptedDriver::getDeviceInfo(Handle handle, std::uint32_t& type, std::uint32_t& id,
                                     char* serialNumber, char* description) {
    const Status status = record("FT_GetDeviceInfo", {handleValue(handle)});
    if (status == FTDI::D2xx::kOk) {
        type = chipType;
        id = 0x04036014;
        if (serialNumber != nullptr) serialNumber[0] = '\0';
        if (description != nullptr) description[0] = '\0';
    }
    return status;
}

Status ScriptedDriver::stopInTask(Handle handle) {
    return record("FT_StopInTask", {handleValue(handle)});
}

Status ScriptedDriver::purge(Handle handle, std::uint32_t mask) {
    return record("FT_Purge", {handleValue(handle), mask});
}

Status ScriptedDriver::restartInTask(Handle handle) {
    return record("FT_RestartInTask", {handleValue(handle)});
}

Status ScriptedDriver::write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                             std::uint32_t& written) {
    std::uint32_t accepted = count;
    if (!writeSizes.empty()) {
        accepted = std::min(count, writeSizes.front());
        writeSizes.pop_front();
    }
    const Status status =
        record("FT_Write", {handleValue(handle), count}, Bytes(bytes, bytes + accepted));
    if (status != FTDI::D2xx::kOk) {
        calls.back().bytes.clear();
        return status;
    }
    written = accepted;
    if (answerSyncProbe && accepted == 1 && bytes[0] == FTDI::Mpsse::kSyncProbe) {
        // Ahead of replies a test queued in advance for commands still to come.
        replies.push_front(FTDI::Mpsse::kSyncProbe);
        replies.push_front(FTDI::Mpsse::kBadCommandReply);
    }
    return status;
}

Status ScriptedDriver::read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                            std::uint32_t& received) {
    const Status status = record("FT_Read", {handleValue(handle), count});
    if (status != FTDI::D2xx::kOk) return status;
    Bytes delivered;
    if (!readChunks.empty()) {
        Bytes& chunk = readChunks.front();
        const std::size_t take = std::min<std::size_t>(count, chunk.size());
        delivered.assign(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
        readChunks.pop_front();
    } else {
        const std::size_t take = std::min<std::size_t>(count, replies.size());
        delivered.assign(replies.begin(), replies.begin() + static_cast<std::ptrdiff_t>(take));
        replies.erase(replies.begin(), replies.begin() + static_cast<std::ptrdiff_t>(take));
    }
    std::copy(delivered.begin(), delivered.end(), buffer);
    received = static_cast<std::uint32_t>(delivered.size());
    calls.back().bytes = std::move(delivered);
    return status;
}

ScriptedDriver& installScriptedDriver() {
    auto owned = std::make_unique<ScriptedDriver>();
    ScriptedDriver& scripted = *owned;
    FTDI::D2xx::installDriver(std::move(owned));
    return scripted;
}

}  // namespace testing_support
