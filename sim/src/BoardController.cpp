#include "BoardController.h"

namespace mdiosim {
namespace {

constexpr std::uint8_t kMdcPin = 0x01;
constexpr std::uint8_t kMdioPin = 0x02;

// Operation codes in bits 7..5 of byte 0.
constexpr unsigned kOperationShift = 5;
constexpr unsigned kFieldMask = 0x1F;
constexpr unsigned kInit = 0b000;
constexpr unsigned kMdioWrite = 0b010;
constexpr unsigned kMdioRead = 0b011;
constexpr unsigned kBoardRegisterWrite = 0b110;
constexpr unsigned kBoardRegisterRead = 0b111;
constexpr std::uint8_t kReplyStatus = 0x00;

}  // namespace

BoardController::BoardController(TransactionLog& transactions, unsigned boardIndex,
                                 Counters& counters)
    : log(&transactions),
      board(boardIndex),
      mdioBus(kMdcPin, kMdioPin, transactions, boardIndex, counters),
      master(mdioWires, kMdcPin, kMdioPin, counters) {
    mdioWires.attach(mdioBus);
}

void BoardController::receive(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies) {
    for (std::size_t index = 0; index < count; ++index) {
        frame[filled++] = bytes[index];
        if (filled == kFrameBytes) {
            filled = 0;
            execute(replies);
        }
    }
}

void BoardController::execute(ReplyQueue& replies) {
    const unsigned operation = frame[0] >> kOperationShift;
    const unsigned field = frame[0] & kFieldMask;
    const auto address = static_cast<std::uint16_t>(frame[1] | (frame[2] << 8));
    const auto data = static_cast<std::uint16_t>(frame[3] | (frame[4] << 8));
    const unsigned port = registers[kPortSelectRegister];

    switch (operation) {
        case kInit:
            recordBoardFrame(Operation::ControllerInit, 0, 0);
            break;
        case kMdioWrite:
            master.clause45Address(port, field, address);
            master.clause45Write(port, field, data);
            break;
        case kMdioRead: {
            master.clause45Address(port, field, address);
            const std::uint16_t value = master.clause45Read(port, field);
            const std::uint8_t reply[kReplyBytes] = {kReplyStatus, static_cast<std::uint8_t>(value),
                                                     static_cast<std::uint8_t>(value >> 8)};
            replies.push(reply, kReplyBytes);
            break;
        }
        case kBoardRegisterWrite:
            registers[frame[1]] = frame[3];
            recordBoardFrame(Operation::BoardRegisterWrite, frame[1], frame[3]);
            break;
        case kBoardRegisterRead: {
            const std::uint8_t reply[kReplyBytes] = {kReplyStatus, registers[frame[1]], 0};
            replies.push(reply, kReplyBytes);
            recordBoardFrame(Operation::BoardRegisterRead, frame[1], registers[frame[1]]);
            break;
        }
        default:
            break;
    }
}

void BoardController::recordBoardFrame(Operation operation, unsigned registerAddress,
                                       unsigned value) {
    Transaction transaction;
    transaction.board = board;
    transaction.bus = Bus::BoardController;
    transaction.operation = operation;
    transaction.registerAddress = registerAddress;
    transaction.value = value;
    log->record(transaction);
}

}  // namespace mdiosim
