// The registry's adapter table: position = adapter index, only ever appended
// to, owning every adapter for the life of the process. The board factories
// append to it while the device list is read.
#pragma once

#include <memory>
#include <vector>

#include "boards/Device.h"

namespace FTDI {

using AdapterTable = std::vector<std::unique_ptr<Device>>;

// True when `adapters` holds an adapter whose name is exactly `adapterName`.
inline bool hasAdapterNamed(const AdapterTable& adapters, const std::string& adapterName) {
    for (const auto& adapter : adapters) {
        if (adapter->name == adapterName) return true;
    }
    return false;
}

}  // namespace FTDI
