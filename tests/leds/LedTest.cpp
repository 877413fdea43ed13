// The LED controllers: the colour command, and the blink thread's animation
// seen as the sequence of colours it writes. Timings are checked as lower
// bounds (a wait never ends early), plus one loose upper bound, so they hold
// on a loaded machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "Hex.h"
#include "ScriptedDriver.h"
#include "boards/Device.h"
#include "boards/LED_4BitRGB.h"
#include "ftdi/UsbLock.h"

using FTDI::K8::Colour;
using FTDI::K8::LED;
using Clock = std::chrono::steady_clock;
using Colours = std::vector<Colour>;

namespace {

class BlinkThread : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::Device device{"FT1", "FT1", "K8U MDIO"};
    FTDI::K8::LED_4BitRGB led{&device};
    Colours colours;  // written so far, with their times
    std::vector<Clock::time_point> times;

    // Polls what was written (under the USB lock the thread writes under)
    // until `done` holds, or 10 s pass.
    void waitUntil(const std::function<bool()>& done) {
        const auto giveUp = Clock::now() + std::chrono::seconds(10);
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::lock_guard lock(FTDI::usbLock());
            colours.clear();
            times.clear();
            for (const auto& call : driver.calls) {
                if (call.bytes.empty()) continue;  // a failed write
                colours.push_back(call.bytes.back());
                times.push_back(call.time);
            }
        } while (!done() && Clock::now() < giveUp);
    }

    // Where `expected` starts in the colours written at or after `from`, or -1.
    long find(const Colours& expected, std::size_t from = 0) const {
        const auto at = std::search(colours.begin() + static_cast<long>(from), colours.end(),
                                    expected.begin(), expected.end());
        return at == colours.end() ? -1 : at - colours.begin();
    }

    long heldMs(std::size_t write) const {
        using std::chrono::duration_cast, std::chrono::milliseconds;
        return static_cast<long>(
            duration_cast<milliseconds>(times[write + 1] - times[write]).count());
    }
};

Colours steps(const std::function<Colour(unsigned)>& step, unsigned count = 6) {
    Colours colours;
    for (unsigned s = 0; s < count; ++s)
        colours.push_back(step(s));
    return colours;
}

}  // namespace

TEST(LedColour, SetBitsDriveTheirPinsLowAndFailuresAreReported) {
    auto& driver = testing_support::installScriptedDriver();
    FTDI::Device device{"FT1", "FT1", "K8U MDIO"};
    LED led(&device);
    for (Colour colour : {0x34, 0x1E, 0x00, 0xFF})
        led.setColour(colour);
    EXPECT_EQ(testing_support::toHex(driver.written()), "82 0B 34 82 21 1E 82 3F 00 82 00 3F");

    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    testing::internal::CaptureStderr();
    led.setColour(0x34);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "FT1: Problem setting led...\n");
}

TEST_F(BlinkThread, StartsIdleFadesToANewStatusInSixStepsThenPulses) {
    led.start();
    led.addStatus(1);  // MDIO colour 0x34
    // The fade starts from whatever was shown when the status arrived.
    const auto fadeFrom = [&](std::size_t at) {
        return steps([&](unsigned s) { return LED::fadeColour(colours[at], 0x34, s); });
    };
    long fade = -1;
    waitUntil([&] {
        for (std::size_t at = 0; fade < 0 && at < colours.size(); ++at) {
            if (find(fadeFrom(at), at + 1) == static_cast<long>(at + 1))
                fade = static_cast<long>(at + 1);
        }
        return fade >= 0 && colours.size() >= static_cast<std::size_t>(fade) + 12;
    });
    ASSERT_GE(fade, 0) << testing_support::toHex(colours);
    EXPECT_EQ(colours[0], 0x1E);  // the idle colour first
    const auto target = static_cast<std::size_t>(fade) + 5;
    const Colours pulse = steps([](unsigned s) { return LED::pulseColour(0x34, s); });
    EXPECT_EQ(find(pulse, target + 1), static_cast<long>(target + 1));
    EXPECT_GE(heldMs(target - 1), 100);  // fade steps of 100 ms
    EXPECT_GE(heldMs(target), 1000);     // the colour held before it pulses

    // With no status left the LED keeps pulsing the colour it has.
    led.removeStatus(1);
    const std::size_t removedAt = colours.size();
    waitUntil([&] { return colours.size() >= removedAt + 8; });
    for (std::size_t i = removedAt; i < colours.size(); ++i) {
        EXPECT_NE(std::find(pulse.begin(), pulse.end(), colours[i]), pulse.end()) << i;
    }
}

TEST_F(BlinkThread, CycledCodesRotateThroughTheirColours) {
    led.start();
    led.addStatus(4);   // 0x07
    led.addStatus(13);  // 0x03
    Colours period = steps([](unsigned s) { return LED::fadeColour(0x07, 0x03, s); });
    const Colours back = steps([](unsigned s) { return LED::fadeColour(0x03, 0x07, s); });
    period.insert(period.end(), back.begin(), back.end());
    waitUntil([&] { return find(period) >= 0; });
    const long at = find(period);
    ASSERT_GE(at, 0) << testing_support::toHex(colours);
    EXPECT_GE(heldMs(static_cast<std::size_t>(at) + 4), 75);   // fade steps of 75 ms
    EXPECT_GE(heldMs(static_cast<std::size_t>(at) + 5), 500);  // each colour held 500 ms
}

TEST_F(BlinkThread, FlashShowsItsColourOnce) {
    led.start();
    led.addStatus(1);
    led.flashStatus(2);  // 0x0F
    waitUntil([&] { return find({0x34}) >= 0; });
    EXPECT_EQ(std::count(colours.begin(), colours.end(), 0x0F), 1)
        << testing_support::toHex(colours);
}

TEST_F(BlinkThread, StopEndsWithinASecondOnTheIdleColourAndForgetsTheStatus) {
    led.start();
    led.addStatus(1);
    waitUntil([&] { return colours.size() >= 3; });
    const auto before = Clock::now();
    led.stop();
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(1500));
    waitUntil([] { return true; });
    const std::size_t stoppedAt = colours.size();
    EXPECT_EQ(colours.back(), 0x1E);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    waitUntil([] { return true; });
    EXPECT_EQ(colours.size(), stoppedAt);  // no thread left writing

    led.start();  // again from idle, with no status left over
    waitUntil([&] { return colours.size() >= stoppedAt + 8; });
    EXPECT_EQ(colours[stoppedAt], 0x1E);
    EXPECT_EQ(std::count(colours.begin() + static_cast<long>(stoppedAt), colours.end(), 0x34), 0);
}
