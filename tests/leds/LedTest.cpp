// The LED controllers: the colour command, and the blink thread's animation
// seen as the sequence of colours it writes. Timing checks use lower bounds
// (a wait never ends early) and generous upper bounds, so they hold on a
// loaded machine.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "Hex.h"
#include "ScriptedDriver.h"
#include "ftdi/Device.h"
#include "ftdi/UsbLock.h"
#include "leds/LED_4BitRGB.h"
#include "leds/LED_None.h"

using FTDI::K8::Colour;
using FTDI::K8::LED;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// Records when each write happened, besides what the scripted driver records.
class TimedDriver : public testing_support::ScriptedDriver {
  public:
    FTDI::D2xx::Status write(FTDI::D2xx::Handle handle, const std::uint8_t* bytes,
                             std::uint32_t count, std::uint32_t& written) override {
        writeTimes.push_back(Clock::now());
        return ScriptedDriver::write(handle, bytes, count, written);
    }
    std::vector<Clock::time_point> writeTimes;
};

TimedDriver& installTimedDriver() {
    auto owned = std::make_unique<TimedDriver>();
    TimedDriver& timed = *owned;
    FTDI::D2xx::installDriver(std::move(owned));
    return timed;
}

struct Shown {
    std::vector<Colour> colours;
    std::vector<Clock::time_point> times;
};

class BlinkThread : public testing::Test {
  protected:
    TimedDriver& driver = installTimedDriver();
    FTDI::Device device{"FT1", "FT1", "K8U MDIO"};
    FTDI::K8::LED_4BitRGB led{&device};

    // The colours written so far; the driver is read under the USB lock the
    // blink thread writes under.
    Shown shown() {
        std::lock_guard lock(FTDI::usbLock());
        Shown result;
        for (std::size_t i = 0; i < driver.calls.size(); ++i) {
            const auto& bytes = driver.calls[i].bytes;
            if (bytes.size() == 3 && bytes[0] == 0x82) result.colours.push_back(bytes[2]);
        }
        result.times = driver.writeTimes;
        return result;
    }

    // Polls until `done` holds for the colours written, or 10 s pass.
    Shown waitUntil(const std::function<bool(const Shown&)>& done) {
        const auto giveUp = Clock::now() + std::chrono::seconds(10);
        Shown now = shown();
        while (!done(now) && Clock::now() < giveUp) {
            std::this_thread::sleep_for(milliseconds(20));
            now = shown();
        }
        return now;
    }
};

// Where `expected` starts in `colours` at or after `from`, or -1.
long find(const std::vector<Colour>& colours, const std::vector<Colour>& expected,
          std::size_t from = 0) {
    for (std::size_t at = from; at + expected.size() <= colours.size(); ++at) {
        if (std::equal(expected.begin(), expected.end(), colours.begin() + static_cast<long>(at))) {
            return static_cast<long>(at);
        }
    }
    return -1;
}

std::vector<Colour> fadeSequence(Colour from, Colour to) {
    std::vector<Colour> steps{from};
    for (unsigned step = 0; step < 6; ++step)
        steps.push_back(LED::fadeColour(from, to, step));
    return steps;
}

std::vector<Colour> pulseSequence(Colour colour, int periods) {
    std::vector<Colour> steps;
    for (int period = 0; period < periods; ++period) {
        for (unsigned step = 0; step < 6; ++step)
            steps.push_back(LED::pulseColour(colour, step));
    }
    return steps;
}

// Any write followed by the six fade steps from its colour to `to`.
long findFade(const std::vector<Colour>& colours, Colour to) {
    for (std::size_t at = 0; at + 7 <= colours.size(); ++at) {
        if (find(colours, fadeSequence(colours[at], to), at) == static_cast<long>(at)) {
            return static_cast<long>(at);
        }
    }
    return -1;
}

long elapsedMs(Clock::time_point from, Clock::time_point to) {
    return static_cast<long>(std::chrono::duration_cast<milliseconds>(to - from).count());
}

}  // namespace

TEST(LedColour, CommandDrivesLitSegmentsLow) {
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

TEST(LedNone, DoesNothingAndStartsNoThread) {
    auto& driver = testing_support::installScriptedDriver();
    FTDI::Device device{"FT1", "FT1", "K8D MDIO"};
    FTDI::K8::LED_None led(&device);
    led.start();
    led.addStatus(1);
    led.flashStatus(2);
    std::this_thread::sleep_for(milliseconds(100));
    led.stop();
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(BlinkThread, StartsIdleFadesToANewStatusInSixStepsThenPulses) {
    led.start();
    led.addStatus(1);  // MDIO colour 0x34
    Shown seen = waitUntil([](const Shown& s) {
        const long fade = findFade(s.colours, 0x34);
        return fade >= 0 && s.colours.size() >= static_cast<std::size_t>(fade) + 7 + 6;
    });
    ASSERT_FALSE(seen.colours.empty());
    EXPECT_EQ(seen.colours[0], 0x1E);  // the idle colour comes first
    const long fade = findFade(seen.colours, 0x34);
    ASSERT_GE(fade, 0) << testing_support::toHex(seen.colours);
    const auto last = static_cast<std::size_t>(fade) + 6;  // the target colour itself
    EXPECT_EQ(find(seen.colours, pulseSequence(0x34, 1), last + 1), static_cast<long>(last + 1));
    // Five fade steps of 100 ms, then the colour held a second before it pulses.
    EXPECT_GE(elapsedMs(seen.times[last - 5], seen.times[last]), 500);
    EXPECT_GE(elapsedMs(seen.times[last], seen.times[last + 1]), 1000);

    // Without any code the LED keeps pulsing the colour it has.
    led.removeStatus(1);
    seen = waitUntil([&](const Shown& s) { return s.colours.size() >= last + 14; });
    const std::vector<Colour> pulse = pulseSequence(0x34, 1);
    for (std::size_t i = last + 1; i < seen.colours.size(); ++i) {
        EXPECT_NE(std::find(pulse.begin(), pulse.end(), seen.colours[i]), pulse.end()) << i;
    }
}

TEST_F(BlinkThread, CycledCodesRotateThroughTheirColours) {
    led.start();
    led.addStatus(4);   // 0x07
    led.addStatus(13);  // 0x03
    std::vector<Colour> period;
    for (unsigned step = 0; step < 6; ++step)
        period.push_back(LED::fadeColour(0x07, 0x03, step));
    for (unsigned step = 0; step < 6; ++step)
        period.push_back(LED::fadeColour(0x03, 0x07, step));
    const Shown seen = waitUntil([&](const Shown& s) { return find(s.colours, period) >= 0; });
    const long at = find(seen.colours, period);
    ASSERT_GE(at, 0) << testing_support::toHex(seen.colours);
    // Each colour is reached in five 75 ms steps and held 500 ms.
    const auto hold = static_cast<std::size_t>(at) + 5;
    EXPECT_GE(elapsedMs(seen.times[hold - 5], seen.times[hold]), 5 * 75);
    EXPECT_GE(elapsedMs(seen.times[hold], seen.times[hold + 1]), 500);
}

TEST_F(BlinkThread, CycleOfOneColourPulsesWithTheShorterHold) {
    led.start();
    led.addStatus(4);  // 0x07
    led.addStatus(8);  // 0x07 too
    const std::vector<Colour> pulses = pulseSequence(0x07, 3);
    const Shown seen = waitUntil([&](const Shown& s) { return find(s.colours, pulses) >= 0; });
    const long at = find(seen.colours, pulses);
    ASSERT_GE(at, 0) << testing_support::toHex(seen.colours);
    long shortestHold = 1000000;
    for (std::size_t hold = static_cast<std::size_t>(at) + 5;
         hold + 1 < static_cast<std::size_t>(at) + 18; hold += 6) {
        const long held = elapsedMs(seen.times[hold], seen.times[hold + 1]);
        EXPECT_GE(held, 550);
        shortestHold = std::min(shortestHold, held);
    }
    EXPECT_LT(shortestHold, 950);  // not the 1000 ms hold of a plain pulse
}

TEST_F(BlinkThread, FlashShowsItsColourOnceAndTheFadeGoesOn) {
    led.start();
    led.addStatus(1);
    led.flashStatus(2);  // 0x0F
    const Shown seen = waitUntil([](const Shown& s) {
        return std::find(s.colours.begin(), s.colours.end(), 0x34) != s.colours.end();
    });
    EXPECT_EQ(std::count(seen.colours.begin(), seen.colours.end(), 0x0F), 1)
        << testing_support::toHex(seen.colours);
    EXPECT_NE(std::find(seen.colours.begin(), seen.colours.end(), 0x34), seen.colours.end());
}

TEST_F(BlinkThread, StopEndsWithinASecondOnTheIdleColour) {
    led.start();
    led.addStatus(1);
    waitUntil([](const Shown& s) { return s.colours.size() >= 3; });
    const auto before = Clock::now();
    led.stop();
    EXPECT_LT(elapsedMs(before, Clock::now()), 1500);
    const Shown stopped = shown();
    EXPECT_EQ(stopped.colours.back(), 0x1E);
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_EQ(shown().colours.size(), stopped.colours.size());  // nothing after stop

    // Started again, it starts from idle with no status left over.
    led.start();
    waitUntil([&](const Shown& s) { return s.colours.size() >= stopped.colours.size() + 8; });
    led.stop();
    const Shown again = shown();
    EXPECT_EQ(again.colours[stopped.colours.size()], 0x1E);
    EXPECT_EQ(std::count(again.colours.begin() + static_cast<long>(stopped.colours.size()),
                         again.colours.end(), 0x34),
              0);
}

TEST_F(BlinkThread, ControllerDestroyedWhileRunningJoinsItsThread) {
    {
        FTDI::K8::LED_4BitRGB running(&device);
        running.start();
        running.addStatus(5);
        waitUntil([](const Shown& s) { return s.colours.size() >= 2; });
    }
    const std::size_t written = shown().colours.size();
    EXPECT_EQ(shown().colours.back(), 0x1E);
    std::this_thread::sleep_for(milliseconds(150));
    EXPECT_EQ(shown().colours.size(), written);
}

TEST_F(BlinkThread, FailedWriteIsReportedAndTheAnimationGoesOn) {
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);  // the idle colour
    testing::internal::CaptureStderr();
    led.start();
    const Shown seen = waitUntil([](const Shown& s) { return s.colours.size() >= 4; });
    led.stop();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "FT1: Problem setting led...\n");
    EXPECT_GE(seen.colours.size(), 4u);
}
