#include "MdioBusMonitor.h"

namespace mdiosim {
namespace {

Operation operationOf(const MdioFrameDecoder& frame) {
    using Kind = MdioFrameDecoder::Kind;
    switch (frame.kind()) {
        case Kind::Clause45: {
            static constexpr Operation kByOpcode[] = {
                Operation::Clause45Address, Operation::Clause45Write,
                Operation::Clause45ReadIncrement, Operation::Clause45Read};
            return kByOpcode[frame.opcode() & 3];
        }
        case Kind::Clause22:
            return frame.opcode() == mdio::kClause22Read ? Operation::Clause22Read
                                                         : Operation::Clause22Write;
        case Kind::Register32:
            break;
    }
    // Kinds 3 and 7 never complete a frame.
    static constexpr Operation kByKind[] = {
        Operation::Register32Read,         Operation::Register32ReadIncrement,
        Operation::Register32ReadCurrent,  Operation::Register32Read,
        Operation::Register32Write,        Operation::Register32WriteIncrement,
        Operation::Register32WriteCurrent, Operation::Register32Write};
    return kByKind[frame.kind32() & 7];
}

}  // namespace

void MdioBusMonitor::record() {
    Transaction transaction;
    transaction.board = board;
    transaction.bus = Bus::Mdio;
    transaction.operation = operationOf(decoder);
    transaction.port = static_cast<std::uint8_t>(decoder.port());
    switch (decoder.kind()) {
        case MdioFrameDecoder::Kind::Clause45:
            transaction.mmd = static_cast<std::uint8_t>(decoder.field());
            break;
        case MdioFrameDecoder::Kind::Clause22:
            transaction.registerAddress = decoder.field();
            break;
        case MdioFrameDecoder::Kind::Register32:
            if (decoder.hasAddress32()) transaction.registerAddress = decoder.address32();
            break;
    }
    transaction.value = decoder.data();
    transaction.preambleBits = decoder.preamble();
    log->record(transaction);
}

}  // namespace mdiosim
