// FTDI::K8::LED: the status LED controller a K8 device owns. Callers say which
// status codes are active (and which to flash once); a variant may run a blink
// thread that turns them into colours written to the board. The base keeps
// the code sets and the thread; it shows nothing itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>

#include "boards/K8BoardTables.h"

namespace FTDI {
class AdapterPort;
}

namespace FTDI::K8 {

class LED {
  public:
    explicit LED(FTDI::AdapterPort* owner);
    virtual ~LED();
    LED(const LED&) = delete;
    LED& operator=(const LED&) = delete;

    virtual void addStatus(StatusCode code);
    virtual void removeStatus(StatusCode code);
    virtual void flashStatus(StatusCode code);
    // Stops any running thread, then starts a new one running run().
    virtual void start();
    // Asks the thread to end and joins it; it notices at the end of its
    // current wait (at most about a second), writes the idle colour and ends.
    // Then forgets every active and pending code.
    virtual void stop();

    // Writes one colour with the set-data-bits-high command. A failed write
    // prints a message on standard error and is otherwise ignored.
    void setColour(Colour colour);

    // One pulse step of `colour` and one fade step from `from` to `to`;
    // step is taken modulo 6, and fade step 5 is `to` itself.
    static Colour pulseColour(Colour colour, unsigned step);
    static Colour fadeColour(Colour from, Colour to, unsigned step);

  protected:
    // What the blink thread does; the base does nothing.
    virtual void run() {}

    FTDI::AdapterPort* device;  // the owner; not owned
    std::mutex mutex;           // guards the code sets and their flags
    std::condition_variable wakeup;
    std::set<StatusCode> activeCodes;
    bool activeChanged = false;
    std::set<StatusCode> flashCodes;
    bool flashChanged = false;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> stopped{true};  // true while no thread runs
    std::thread thread;
};

}  // namespace FTDI::K8
