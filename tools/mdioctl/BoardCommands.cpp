// gpio, i2c and board: thin commands over the board-service exports.
#include <cstdio>
#include <string>
#include <vector>

#include "AdapterLookup.h"
#include "Commands.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace mdioctl {

namespace {

// The addresses a scan probes: 0x00-0x07 and 0x78-0x7F are reserved by the
// I2C bus for special uses, and probing them can start those uses.
constexpr std::uint32_t kFirstScannedAddress = 0x08;
constexpr std::uint32_t kLastScannedAddress = 0x77;

std::string hexAddress(std::uint32_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", address & 0xFF);
    return text;
}

// Whether the device acknowledged the adapter's last transfer; a failure the
// library recorded while asking is thrown as any other.
bool acknowledged(std::uint32_t index) {
    const int answer = mdiohost_i2c_acknowledged(index);
    Session::check();
    return answer == 1;
}

// A device that is absent leaves SDA high: a read gives FF bytes and a write
// seems to succeed. Only the acknowledge bits tell, so the command fails.
void requireAcknowledge(std::uint32_t index, std::uint32_t address) {
    if (acknowledged(index)) return;
    throw LibraryError("no acknowledge from I2C address " + hexAddress(address) + " on adapter " +
                       std::to_string(index) + ": no device answers there, or it is busy");
}

}  // namespace

void gpioCommand(Session& session, Output& out, const std::string& adapter, std::uint32_t pin,
                 const std::string& level) {
    const std::uint32_t index = session.open(adapter, gpioNeed());
    const auto pin8 = static_cast<std::uint8_t>(pin);
    out.document = {{"adapter", index}, {"pin", pin}};
    if (level.empty()) {
        std::uint8_t read = 0;
        const std::uint32_t done = HW_GpioGetAdapter(index, pin8, &read);
        Session::check();
        if (done == 0) throw LibraryError("adapter " + std::to_string(index) + " has no GPIO pins");
        out.document["level"] = read;
        out.line("pin " + std::to_string(pin) + " = " + std::to_string(read));
        return;
    }
    const std::uint32_t wanted = parseNumber(level, "LEVEL", 1);
    const std::uint32_t done = HW_GpioSetAdapter(index, pin8, static_cast<std::uint8_t>(wanted));
    Session::check();
    if (done == 0) throw LibraryError("adapter " + std::to_string(index) + " has no GPIO pins");
    out.document["level"] = wanted;
    out.line("pin " + std::to_string(pin) + " := " + std::to_string(wanted));
}

std::uint32_t registerBytesReversed(std::uint32_t registerAddress, std::uint32_t registerLength) {
    std::uint32_t reversed = 0;
    for (std::uint32_t index = 0; index < registerLength; ++index) {
        reversed = reversed << 8 | ((registerAddress >> (8 * index)) & 0xFF);
    }
    return reversed;
}

void i2cRead(Session& session, Output& out, const std::string& adapter, std::uint32_t address,
             std::uint32_t registerAddress, std::uint32_t registerLength, std::uint32_t count,
             bool addressMsbFirst) {
    const std::uint32_t index = session.open(adapter, i2cNeed());
    // The library sends the register address least significant byte first;
    // handing it the bytes reversed puts the most significant one first on
    // the bus.
    const std::uint32_t sent =
        addressMsbFirst ? registerBytesReversed(registerAddress, registerLength) : registerAddress;
    const std::vector<unsigned char> bytes =
        i2c_ReadAdapter(index, address, sent, static_cast<unsigned char>(registerLength), count);
    Session::check();
    if (bytes.size() != count) {
        throw LibraryError("adapter " + std::to_string(index) + " has no I2C master");
    }
    requireAcknowledge(index, address);
    std::string text;
    for (const unsigned char byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        // Appended piece by piece: a concatenated temporary draws a false
        // overlap warning from GCC 12 at -O3.
        if (!text.empty()) text += ' ';
        text += hex;
    }
    out.line(text);
    out.document = {
        {"adapter", index}, {"address", address}, {"register", registerAddress}, {"bytes", bytes}};
}

void i2cWrite(Session& session, Output& out, const std::string& adapter, std::uint32_t address,
              const std::vector<std::uint8_t>& bytes) {
    const std::uint32_t index = session.open(adapter, i2cNeed());
    std::vector<unsigned char> data(bytes.begin(), bytes.end());
    i2c_WriteAdapter(index, address, data);
    Session::check();
    requireAcknowledge(index, address);
    out.line("wrote " + std::to_string(data.size()) + " bytes");
    out.document = {{"adapter", index}, {"address", address}, {"bytes", data}};
}

void i2cScan(Session& session, Output& out, const std::string& adapter) {
    const std::uint32_t index = session.open(adapter, i2cNeed());
    // An address alone, then STOP: a write of no data bytes, which changes
    // nothing in the devices that answer it.
    std::vector<std::uint32_t> found;
    for (std::uint32_t address = kFirstScannedAddress; address <= kLastScannedAddress; ++address) {
        mdiohost_i2c_write(index, address, nullptr, 0);
        Session::check();
        if (acknowledged(index)) found.push_back(address);
    }
    for (const std::uint32_t address : found)
        out.line(hexAddress(address));
    if (found.empty()) {
        out.line("no device acknowledged at " + hexAddress(kFirstScannedAddress) + "-" +
                 hexAddress(kLastScannedAddress));
    }
    out.document = {{"adapter", index}, {"addresses", found}};
}

void boardCommand(Session& session, Output& out, const std::string& adapter,
                  std::uint32_t registerAddress, const std::string& value) {
    const std::uint32_t index = session.open(adapter, boardNeed());
    out.document = {{"adapter", index}, {"register", registerAddress}};
    if (value.empty()) {
        const std::uint32_t read = Board_ReadAdapter(index, registerAddress);
        Session::check();
        out.document["value"] = read;
        char text[48];
        std::snprintf(text, sizeof text, "board register %u = 0x%02X", registerAddress, read);
        out.line(text);
        return;
    }
    const std::uint32_t written = parseNumber(value, "VALUE", 0xFF);
    Board_WriteAdapter(index, registerAddress, written);
    Session::check();
    out.document["value"] = written;
    char text[48];
    std::snprintf(text, sizeof text, "board register %u := 0x%02X", registerAddress, written);
    out.line(text);
}

}  // namespace mdioctl
