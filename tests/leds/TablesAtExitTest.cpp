// The blink thread of an adapter the host never closed goes on looking up
// colours (and, when a write fails, status texts) while exit() tears down
// the process's static objects: the tables it reads must outlive that.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "boards/K8BoardTables.h"
#include "ftdi/d2xx/StatusText.h"

#if !defined(_WIN32)
namespace {

// The MDIO status colour and the text of FT_IO_ERROR.
constexpr FTDI::K8::Colour kMdioColour = 0x34;
constexpr std::uint32_t kIoError = 4;
constexpr int kWrongAnswer = 2;

// Built before every ordinary static object, so destroyed after them: while
// armed, it holds the ending process open for a moment once the tables'
// statics would be gone, long enough for the looking thread to notice.
struct LingerAtExit {
    bool armed = false;
    ~LingerAtExit() {
        if (armed) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
};
__attribute__((init_priority(101))) LingerAtExit lingerAtExit;

[[noreturn]] void lookUpForever() {
    for (;;) {
        if (FTDI::K8::ledColour(1) != kMdioColour || FTDI::statusText(kIoError) != "IO Error.") {
            std::_Exit(kWrongAnswer);
        }
    }
}

}  // namespace
#endif

TEST(TablesAtExit, StayReadableWhileTheProcessEnds) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows ends every other thread before static objects are destroyed";
#else
    // A read of a destroyed table is caught by AddressSanitizer (the
    // sanitized stage) or returns a wrong answer.
    EXPECT_EXIT(
        {
            lingerAtExit.armed = true;
            std::thread(lookUpForever).detach();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
#endif
}
