#include "ScriptedUsbPort.h"

#include <algorithm>
#include <cstdio>

namespace scripted {
namespace {

std::string hexByte(unsigned value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

class Link final : public usbdriver::UsbLink {
  public:
    explicit Link(std::shared_ptr<LinkRecord> shared) : record(std::move(shared)) {}
    ~Link() override { record->closed = true; }

    int reset() override { return control("reset"); }
    int purgeReceive() override { return control("purge receive"); }
    int purgeTransmit() override { return control("purge transmit"); }
    int setBitMode(std::uint8_t mask, std::uint8_t mode) override {
        return control("bitmode " + hexByte(mask) + " " + hexByte(mode));
    }
    int setLatencyTimer(std::uint8_t milliseconds) override {
        return control("latency " + std::to_string(milliseconds));
    }
    int setSpecialCharacters(std::uint8_t eventChar, bool eventEnabled, std::uint8_t errorChar,
                             bool errorEnabled) override {
        return control("chars " + hexByte(eventChar) + (eventEnabled ? " on " : " off ") +
                       hexByte(errorChar) + (errorEnabled ? " on" : " off"));
    }
    int setTransferSizes(std::uint32_t inBytes, std::uint32_t outBytes) override {
        return control("sizes " + std::to_string(inBytes) + " " + std::to_string(outBytes));
    }
    void setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
        record->requests.push_back("timeouts " + std::to_string(readMs) + " " +
                                   std::to_string(writeMs));
    }
    int read(std::uint8_t* buffer, std::uint32_t capacity) override {
        if (record->reads.empty()) return 0;
        ReadAnswer& next = record->reads.front();
        if (next.error != 0) {
            const int error = next.error;
            record->reads.pop_front();
            return error;
        }
        // Like the chip, an answer larger than the buffer stays for the next read.
        const auto taken =
            static_cast<std::uint32_t>(std::min<std::size_t>(capacity, next.bytes.size()));
        std::copy_n(next.bytes.begin(), taken, buffer);
        next.bytes.erase(next.bytes.begin(), next.bytes.begin() + taken);
        if (next.bytes.empty()) record->reads.pop_front();
        return static_cast<int>(taken);
    }
    int write(const std::uint8_t* bytes, std::uint32_t count) override {
        int answer = static_cast<int>(count);
        if (!record->writeAnswers.empty()) {
            answer = record->writeAnswers.front();
            record->writeAnswers.pop_front();
        }
        const std::uint32_t taken = answer < 0 ? 0 : static_cast<std::uint32_t>(answer);
        record->writes.emplace_back(bytes, bytes + std::min(taken, count));
        return answer;
    }

  private:
    int control(const std::string& request) {
        record->requests.push_back(request);
        return record->controlAnswer;
    }

    std::shared_ptr<LinkRecord> record;
};

}  // namespace

int Port::enumerate(std::vector<usbdriver::UsbDeviceFound>& found) {
    if (enumerateAnswer < 0) return enumerateAnswer;
    found = devices;
    return 0;
}

int Port::open(std::uint32_t token, unsigned interfaceIndex,
               std::unique_ptr<usbdriver::UsbLink>& link) {
    if (openAnswer < 0) return openAnswer;
    auto record = std::make_shared<LinkRecord>();
    record->token = token;
    record->interfaceIndex = interfaceIndex;
    links.push_back(record);
    link = std::make_unique<Link>(record);
    return 0;
}

usbdriver::UsbDeviceFound device(std::uint32_t token, std::uint16_t releaseNumber,
                                 const std::string& serialNumber, const std::string& description) {
    usbdriver::UsbDeviceFound found;
    found.token = token;
    found.vendorId = 0x0403;
    found.productId = 0x6014;
    found.releaseNumber = releaseNumber;
    found.highSpeed = releaseNumber >= 0x0700 && releaseNumber < 0x1000;
    found.busNumber = 1;
    found.portPath = {static_cast<std::uint8_t>(token)};
    found.serialNumber = serialNumber;
    found.description = description;
    return found;
}

}  // namespace scripted
