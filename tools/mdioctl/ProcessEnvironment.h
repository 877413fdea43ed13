// Setting an environment variable the library (or the bench) reads later in
// this process.
#pragma once

#include <string>

namespace mdioctl {

void setEnvironment(const char* name, const std::string& value);

}  // namespace mdioctl
