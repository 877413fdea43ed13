// FTDI::K8::LED_4BitRGB: the controller of a K8 board whose status LED has
// three 2-bit colour channels on ACBUS0..5. Its blink thread turns the active
// status codes into an animation:
//   - a newly wanted colour is reached in six fade steps, the first five
//     shown 100 ms each, the sixth held 1000 ms; then the colour pulses: five
//     40 ms steps and a sixth held 1000 ms, again and again;
//   - while any of the cycled codes 4, 8 and 13 is active the LED rotates
//     through their colours: five 75 ms fade steps and a 500 ms hold per
//     colour, or, when the next colour is the same, a pulse with a 550 ms hold;
//   - a flashed code shows its colour for 100 ms once, when not cycling.
// A change of the wanted colour starts a step at once. The thread writes the
// idle colour (code 0) when it starts and when it stops.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "boards/LED.h"

namespace FTDI::K8 {

class LED_4BitRGB : public LED {
  public:
    using LED::LED;
    // The thread runs this object's run(): it is joined before the object is
    // taken apart.
    ~LED_4BitRGB() override;

  protected:
    void run() override;

  private:
    using Clock = std::chrono::steady_clock;

    // The blink thread's own state; only the thread touches it.
    struct Animation {
        Colour shown = 0;
        Colour from = 0;
        Colour target = 0;
        Colour lastTarget = 0;
        unsigned step = 0;
        bool cycling = false;
        std::vector<StatusCode> cycleList;
        std::size_t cycleIndex = 0;
        std::set<StatusCode> active;
        std::set<StatusCode> pendingFlashes;
        Clock::time_point deadline;
    };

    // Waits for a change or the deadline; false when the thread must end.
    bool waitForTick(Animation& animation);
    void chooseTarget(Animation& animation);
    void tick(Animation& animation);
    void rotate(Animation& animation);
};

}  // namespace FTDI::K8
