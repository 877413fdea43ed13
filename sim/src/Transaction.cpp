#include "mdiosim/Transaction.h"

#include <cstdio>
#include <ostream>

namespace mdiosim {

const char* operationName(Operation operation) {
    switch (operation) {
        case Operation::Clause45Address:
            return "Clause45Address";
        case Operation::Clause45Write:
            return "Clause45Write";
        case Operation::Clause45ReadIncrement:
            return "Clause45ReadIncrement";
        case Operation::Clause45Read:
            return "Clause45Read";
        case Operation::Clause22Write:
            return "Clause22Write";
        case Operation::Clause22Read:
            return "Clause22Read";
        case Operation::Register32Read:
            return "Register32Read";
        case Operation::Register32ReadIncrement:
            return "Register32ReadIncrement";
        case Operation::Register32ReadCurrent:
            return "Register32ReadCurrent";
        case Operation::Register32Write:
            return "Register32Write";
        case Operation::Register32WriteIncrement:
            return "Register32WriteIncrement";
        case Operation::Register32WriteCurrent:
            return "Register32WriteCurrent";
        case Operation::ControllerInit:
            return "ControllerInit";
        case Operation::BoardRegisterWrite:
            return "BoardRegisterWrite";
        case Operation::BoardRegisterRead:
            return "BoardRegisterRead";
    }
    return "?";
}

std::string describe(const Transaction& transaction) {
    char text[160];
    if (transaction.bus == Bus::BoardController) {
        std::snprintf(text, sizeof text, "board %u controller %s register %u value 0x%02X",
                      transaction.board, operationName(transaction.operation),
                      static_cast<unsigned>(transaction.registerAddress),
                      static_cast<unsigned>(transaction.value));
    } else {
        std::snprintf(text, sizeof text,
                      "board %u MDIO %s port %u mmd %u register 0x%X value 0x%X preamble %u",
                      transaction.board, operationName(transaction.operation),
                      static_cast<unsigned>(transaction.port),
                      static_cast<unsigned>(transaction.mmd),
                      static_cast<unsigned>(transaction.registerAddress),
                      static_cast<unsigned>(transaction.value),
                      static_cast<unsigned>(transaction.preambleBits));
    }
    return text;
}

void PrintTo(const Transaction& transaction, std::ostream* stream) {
    *stream << describe(transaction);
}

}  // namespace mdiosim
