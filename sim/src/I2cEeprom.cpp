#include "I2cEeprom.h"

namespace mdiosim {

namespace {
constexpr unsigned kBitsPerByte = 8;
constexpr unsigned kBlockSize = 256;  // what one address byte reaches
constexpr std::uint8_t kErased = 0xFF;
}  // namespace

I2cEeprom::I2cEeprom(const I2cDeviceDescription& description, const Counters& boardTime)
    : I2cDevice(description.address, I2cDeviceKind::Eeprom),
      memory(description.size == 0 ? 1 : description.size, kErased),
      addressBytes(description.addressBytes),
      pageSize(description.pageSize),
      writeCycleSeconds(description.writeCycleSeconds),
      time(&boardTime) {
    for (const auto& [offset, value] : description.contents)
        setByte(offset, value);
}

std::uint8_t I2cEeprom::byte(unsigned offset) const {
    return offset < memory.size() ? memory[offset] : kErased;
}

void I2cEeprom::setByte(unsigned offset, std::uint8_t value) {
    if (offset < memory.size()) memory[offset] = value;
}

unsigned I2cEeprom::blocks() const {
    if (addressBytes != 1 || memory.size() <= kBlockSize) return 1;
    return static_cast<unsigned>((memory.size() + kBlockSize - 1) / kBlockSize);
}

bool I2cEeprom::answers(unsigned busAddress) const {
    return busAddress >= address() && busAddress < address() + blocks();
}

bool I2cEeprom::busy() const {
    if (!writing) return false;
    const double now = time->modeledSeconds();
    // Counters set back to zero by a test end the cycle too.
    return now >= writeStarted && now < writeStarted + writeCycleSeconds;
}

bool I2cEeprom::addressed(unsigned busAddress, bool read) {
    if (busy()) return false;
    writing = false;
    // A repeated START abandons bytes written since the last STOP.
    pageBuffer.clear();
    if (!read) {
        block = busAddress - address();
        incoming = 0;
        addressBytesSeen = 0;
    }
    return true;
}

unsigned I2cEeprom::nextInPage(unsigned offset) const {
    const auto size = static_cast<unsigned>(memory.size());
    if (pageSize == 0 || pageSize >= size) return (offset + 1) % size;
    // The page's low address bits count up and wrap; so does a last page
    // that the memory's end cuts short.
    const unsigned pageStart = offset - offset % pageSize;
    const unsigned next = offset + 1;
    return next - pageStart == pageSize || next >= size ? pageStart : next;
}

bool I2cEeprom::received(std::uint8_t value) {
    if (addressBytesSeen < addressBytes) {
        incoming = incoming << kBitsPerByte | value;  // most significant byte first
        if (++addressBytesSeen == addressBytes) {
            // Address bits above the memory's size are not decoded.
            pointer = static_cast<unsigned>((block * kBlockSize + incoming) % memory.size());
        }
        return true;
    }
    pageBuffer[pointer] = value;  // a byte sent twice in one page write: the last one counts
    pointer = nextInPage(pointer);
    return true;
}

void I2cEeprom::stopCondition() {
    if (pageBuffer.empty()) return;  // an address only: a random read follows
    for (const auto& [offset, value] : pageBuffer)
        memory[offset] = value;
    pageBuffer.clear();
    writing = writeCycleSeconds > 0;
    writeStarted = time->modeledSeconds();
}

std::uint8_t I2cEeprom::transmit() {
    const std::uint8_t value = memory[pointer];
    pointer = static_cast<unsigned>((pointer + 1) % memory.size());
    return value;
}

}  // namespace mdiosim
