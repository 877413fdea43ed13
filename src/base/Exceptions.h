// The exception types the library throws internally. None of them crosses a
// guarded export: the guard records the message instead (see Guard.h).
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace FTDI::Exceptions {

class Standard : public std::exception {
  public:
    explicit Standard(std::string text) : message(std::move(text)) {}
    ~Standard() override = default;
    const char* what() const noexcept override { return message.c_str(); }

    std::string message;
};

// An adapter index that does not exist or is not open, or a name no attached
// adapter bears.
class NoDevice : public Standard {
  public:
    explicit NoDevice(const std::string& name) : Standard("Device not found/in use: " + name) {}
};

// A USB transfer or driver call failed. Built only by throwDeviceConnection
// (ftdi/d2xx/DriverFailure.h), which adds the driver's text for its status.
class DeviceConnection : public Standard {
  public:
    explicit DeviceConnection(const std::string& detail)
        : Standard("Device Communication problem: " + detail) {}
};

}  // namespace FTDI::Exceptions
