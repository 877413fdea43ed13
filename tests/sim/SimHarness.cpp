#include "SimHarness.h"

#include "mpsse/MpsseCommands.h"

namespace simtest {

Bytes operator+(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

OpenDevice::OpenDevice(const std::string& serialNumber, std::uint8_t mode) {
    EXPECT_EQ(FT_OpenEx(const_cast<char*>(serialNumber.c_str()), FTDI::D2xx::kOpenBySerialNumber,
                        &handle),
              FTDI::D2xx::kOk);
    EXPECT_EQ(FT_SetBitMode(handle, 0, mode), FTDI::D2xx::kOk);
}

OpenDevice::~OpenDevice() {
    if (handle != nullptr) FT_Close(handle);
}

void OpenDevice::write(const Bytes& bytes) {
    std::uint32_t written = 0;
    ASSERT_EQ(FT_Write(handle, const_cast<std::uint8_t*>(bytes.data()),
                       static_cast<std::uint32_t>(bytes.size()), &written),
              FTDI::D2xx::kOk);
    ASSERT_EQ(written, bytes.size());
}

Bytes OpenDevice::read(std::size_t count) {
    Bytes buffer(count);
    std::uint32_t received = 0;
    EXPECT_EQ(FT_Read(handle, buffer.data(), static_cast<std::uint32_t>(count), &received),
              FTDI::D2xx::kOk);
    buffer.resize(received);
    return buffer;
}

Bytes lineIdle() {
    return {0x80, 0x02, 0x03};
}

Bytes preamble(unsigned bits) {
    Bytes bytes;
    for (; bits > 0; bits -= std::min(bits, 8u))
        bytes = bytes + Bytes{0x13, static_cast<std::uint8_t>(std::min(bits, 8u) - 1), 0xFF};
    return bytes;
}

namespace {

Bytes field(unsigned bits, unsigned value) {
    return {0x13, static_cast<std::uint8_t>(bits - 1),
            static_cast<std::uint8_t>(value << (8 - bits))};
}
Bytes value16(std::uint16_t value) {
    return {0x11, 0x01, 0x00, static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}
// Idle, preamble, start and operation code, PHY address and the fifth field.
Bytes header(unsigned preambleBits, unsigned start, unsigned op, unsigned phy, unsigned fifth) {
    return lineIdle() + preamble(preambleBits) + Bytes{0x80, 0x00, 0x03} + field(2, start) +
           field(2, op) + field(5, phy) + field(5, fifth);
}
const Bytes kWriteTurnaround{0x13, 0x01, 0x80};
const Bytes kReadTurnaround{0x80, 0x00, 0x01, 0x22, 0x01};
const Bytes kRead16{0x20, 0x01, 0x00};

}  // namespace

Bytes clause45Frame(unsigned op, unsigned port, unsigned mmd, std::uint16_t value,
                    unsigned preambleBits) {
    const Bytes frame = header(preambleBits, 0, op, port, mmd);
    return op >= 2 ? frame + kReadTurnaround + kRead16 : frame + kWriteTurnaround + value16(value);
}

Bytes clause22Frame(unsigned op, unsigned phy, unsigned registerAddress, std::uint16_t value,
                    unsigned preambleBits) {
    const Bytes frame = header(preambleBits, 1, op, phy, registerAddress);
    return op == 2 ? frame + kReadTurnaround + kRead16 : frame + kWriteTurnaround + value16(value);
}

Bytes flush() {
    return {0x87, 0x80, 0x03, 0x03};
}

std::vector<std::size_t> commandStarts(const Bytes& stream) {
    using namespace FTDI::Mpsse;
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < stream.size();) {
        starts.push_back(at);
        const std::uint8_t opcode = stream[at];
        if (isShiftCommand(opcode)) {
            const bool bits = (opcode & kShiftBitMode) != 0;
            const unsigned length = bits ? stream[at + 1] : stream[at + 1] | stream[at + 2] << 8;
            const ShiftSizes sizes = shiftCommandSizes(opcode, length);
            at += 1 + sizes.lengthOperandBytes + sizes.dataOutBytes;
        } else {
            at += 1 + findCommand(opcode).value().operandBytes;
        }
    }
    return starts;
}

std::vector<DeviceListNode> deviceList() {
    std::uint32_t count = 0;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), FTDI::D2xx::kOk);
    std::vector<DeviceListNode> nodes(count);
    if (count != 0) {
        EXPECT_EQ(FT_GetDeviceInfoList(nodes.data(), &count), FTDI::D2xx::kOk);
    }
    return nodes;
}

mdiosim::BenchDescription oneBoardBench(const std::string& serialNumber,
                                        const std::string& description, std::uint32_t chipType,
                                        const std::vector<unsigned>& phyAddresses) {
    mdiosim::BoardDescription board;
    board.serialNumber = serialNumber;
    board.description = description;
    board.chipType = chipType;
    for (const unsigned address : phyAddresses) {
        mdiosim::PhyDescription phy;
        phy.address = address;
        board.phys.push_back(phy);
    }
    mdiosim::BenchDescription bench;
    bench.boards.push_back(board);
    return bench;
}

}  // namespace simtest
