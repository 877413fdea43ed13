// The text of the exception (of type Error) an action throws, or "no failure".
#pragma once

#include <exception>
#include <string>

namespace testing_support {

template <typename Error = std::exception, typename Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no failure";
}

}  // namespace testing_support
