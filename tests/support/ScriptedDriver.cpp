#include "ScriptedDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "Hex.h"
#include "mpsse/MpsseCommands.h"

namespace testing_support {
namespace {

// The scripted driver installed last, while it lives.
ScriptedDriver* current = nullptr;

// Checks the script at the end of every test. Appended after GoogleTest's
// result printer, it hears of a test's end first, so its failure still
// counts towards the test's verdict.
class UnusedScriptCheck : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        if (current != nullptr) current->failOnUnusedScript();
    }
};

void checkEveryTestOnce() {
    static const bool registered = [] {
        testing::UnitTest::GetInstance()->listeners().Append(new UnusedScriptCheck);
        return true;
    }();
    (void)registered;
}

}  // namespace

ScriptedDriver::ScriptedDriver() {
    checkEveryTestOnce();
    current = this;
}

ScriptedDriver::~ScriptedDriver() {
    // Replaced within a test: what it left unused belongs to that test. At
    // the end of the process no test is running and nothing is reported.
    if (testing::UnitTest::GetInstance()->current_test_info() != nullptr) failOnUnusedScript();
    if (current == this) current = nullptr;
}

std::string ScriptedDriver::unusedScript() const {
    std::string unused;
    if (!replies.empty()) {
        unused += std::to_string(replies.size()) +
                  " reply bytes never read: " + toHex(Bytes(replies.begin(), replies.end())) + "\n";
    }
    for (const Bytes& chunk : readChunks)
        unused += "read chunk never returned: [" + toHex(chunk) + "]\n";
    for (const auto& [operation, statuses] : scriptedStatuses) {
        for (const Status status : statuses)
            unused += operation + " status " + std::to_string(status) + " never given\n";
    }
    for (const std::uint32_t size : writeSizes)
        unused += "write size " + std::to_string(size) + " never applied\n";
    return unused;
}

void ScriptedDriver::failOnUnusedScript() {
    const std::string unused = unusedScript();
    if (unused.empty()) return;
    ADD_FAILURE() << "The scripted driver was left with:\n" << unused;
    replies.clear();
    readChunks.clear();
    scriptedStatuses.clear();
    writeSizes.clear();
}

std::vector<std::string> ScriptedDriver::operations() const {
    std::vector<std::string> names;
    for (const Call& call : calls)
        names.push_back(call.operation);
    return names;
}

Bytes ScriptedDriver::written() const {
    Bytes all;
    for (const Bytes& bytes : writes())
        all.insert(all.end(), bytes.begin(), bytes.end());
    return all;
}

std::vector<Bytes> ScriptedDriver::writes() const {
    std::vector<Bytes> all;
    for (const Call& call : calls)
        if (call.operation == "FT_Write") all.push_back(call.bytes);
    return all;
}

std::size_t ScriptedDriver::count(const std::string& operation) const {
    return static_cast<std::size_t>(std::count_if(
        calls.begin(), calls.end(), [&](const Call& call) { return call.operation == operation; }));
}

Status ScriptedDriver::record(const std::string& operation, std::vector<std::uint64_t> arguments,
                              Bytes bytes) {
    calls.push_back({operation, std::move(arguments), std::move(bytes)});
    std::deque<Status>& scripted = scriptedStatuses[operation];
    if (scripted.empty()) return FTDI::D2xx::kOk;
    const Status status = scripted.front();
    scripted.pop_front();
    return status;
}

Status ScriptedDriver::createDeviceInfoList(std::uint32_t& count) {
    const Status status = record("FT_CreateDeviceInfoList", {});
    if (status == FTDI::D2xx::kOk) {
        count = claimedDeviceCount.value_or(static_cast<std::uint32_t>(devices.size()));
    }
    return status;
}

Status ScriptedDriver::getDeviceInfoList(FTDI::D2xx::DeviceListNode* nodes, std::uint32_t& count) {
    const Status status = record("FT_GetDeviceInfoList", {count});
    if (status != FTDI::D2xx::kOk) return status;
    count = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(devices.size()));
    for (std::uint32_t i = 0; i < count; ++i) {
        const ListedDevice& device = devices[i];
        nodes[i].Flags = device.flags;
        nodes[i].Type = chipType;
        // Like the driver's fields: a text that fills its field has no terminator.
        std::memcpy(nodes[i].SerialNumber, device.serialNumber.data(),
                    std::min(device.serialNumber.size(), sizeof nodes[i].SerialNumber));
        std::memcpy(nodes[i].Description, device.description.data(),
                    std::min(device.description.size(), sizeof nodes[i].Description));
    }
    return status;
}

Status ScriptedDriver::openBySerialNumber(const char* serialNumber, Handle& handle) {
    // The serial number asked for is kept as the call's bytes.
    const Status status = record("FT_OpenEx", {FTDI::D2xx::kOpenBySerialNumber},
                                 Bytes(serialNumber, serialNumber + std::strlen(serialNumber)));
    // Distinct, recognisable handle values: 0x1000, 0x1001, ...
    if (status == FTDI::D2xx::kOk) handle = reinterpret_cast<Handle>(0x1000 + opened++);
    return status;
}

Status ScriptedDriver::getDeviceInfo(Handle handle, std::uint32_t& type, std::uint32_t& id,
                                     char* serialNumber, char* description) {
    const Status status = record("FT_GetDeviceInfo", {value(handle)});
    if (status != FTDI::D2xx::kOk) return status;
    type = chipType;
    id = 0x04036014;
    if (serialNumber != nullptr) serialNumber[0] = '\0';
    if (description != nullptr) description[0] = '\0';
    return status;
}

Status ScriptedDriver::write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                             std::uint32_t& written) {
    std::uint32_t accepted = count;
    if (!writeSizes.empty()) {
        accepted = std::min(count, writeSizes.front());
        writeSizes.pop_front();
    }
    const Status status = record("FT_Write", {value(handle), count});
    if (status != FTDI::D2xx::kOk) return status;
    calls.back().bytes.assign(bytes, bytes + accepted);
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
    const Status status = record("FT_Read", {value(handle), count});
    if (status != FTDI::D2xx::kOk) return status;
    Bytes& delivered = calls.back().bytes;
    if (!readChunks.empty()) {
        const Bytes& chunk = readChunks.front();
        delivered.assign(chunk.begin(), chunk.begin() + std::min<std::size_t>(count, chunk.size()));
        readChunks.pop_front();
    } else {
        const auto end = replies.begin() + std::min<std::size_t>(count, replies.size());
        delivered.assign(replies.begin(), end);
        replies.erase(replies.begin(), end);
    }
    std::copy(delivered.begin(), delivered.end(), buffer);
    received = static_cast<std::uint32_t>(delivered.size());
    return status;
}

ScriptedDriver& installScriptedDriver() {
    auto owned = std::make_unique<ScriptedDriver>();
    ScriptedDriver& scripted = *owned;
    FTDI::D2xx::installDriver(std::move(owned));
    return scripted;
}

}  // namespace testing_support
