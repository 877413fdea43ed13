// FTDI::K8::LED_None: the controller of a K8 board without a status LED. It
// ignores every status and starts no thread.
#pragma once

#include "boards/LED.h"

namespace FTDI::K8 {

class LED_None : public LED {
  public:
    using LED::LED;
    ~LED_None() override = default;

    void addStatus(StatusCode) override {}
    void removeStatus(StatusCode) override {}
    void flashStatus(StatusCode) override {}
    void start() override {}
    void stop() override {}
};

}  // namespace FTDI::K8
