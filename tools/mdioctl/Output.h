// Where a command's results go: readable lines on standard output, or, with
// --json, one JSON document printed when the command is done.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace mdioctl {

class Output {
  public:
    explicit Output(bool asJson) : json(asJson) {}

    bool wantsJson() const { return json; }
    // A line of the text form; ignored with --json.
    void line(const std::string& text) const;
    // Prints the JSON document with --json; nothing otherwise.
    void finish() const;
    // For a command that streamed its results as it went.
    void suppressDocument() { documentWanted = false; }

    nlohmann::json document = nlohmann::json::object();

  private:
    bool json;
    bool documentWanted = true;
};

std::string hex16(std::uint32_t value);  // "0x1234"

}  // namespace mdioctl
