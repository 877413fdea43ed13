// The text of the exception an action throws, or "no failure".
#pragma once

#include <exception>
#include <string>

namespace testing_support {

template <typename Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no failure";
}

}  // namespace testing_support
