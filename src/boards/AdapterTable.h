// The registry's adapter table: position = adapter index, only ever appended
// to, owning every adapter for the life of the process. The board factories
// append to it while the device list is read.
#pragma once

#include <memory>
#include <vector>

#include "base/LibraryLifetime.h"
#include "boards/Device.h"

namespace FTDI {

class AdapterTable : public std::vector<std::unique_ptr<Device>> {
  public:
    AdapterTable() = default;
    AdapterTable(const AdapterTable&) = delete;
    AdapterTable& operator=(const AdapterTable&) = delete;

    // When Windows ends the process it first kills every other thread where
    // it stands: a blink thread may have died inside its condition
    // variable's wait or inside a write to the board, holding locks that the
    // adapters' destructors would then wait for (or spin on) forever. So at
    // that point the adapters are left as they are; the operating system
    // takes back their memory and handles.
    ~AdapterTable() {
        if (mdiohost::processIsEnding()) {
            for (auto& adapter : *this)
                static_cast<void>(adapter.release());
        }
    }
};

// True when `adapters` holds an adapter whose name is exactly `adapterName`.
inline bool hasAdapterNamed(const AdapterTable& adapters, const std::string& adapterName) {
    for (const auto& adapter : adapters) {
        if (adapter->name == adapterName) return true;
    }
    return false;
}

}  // namespace FTDI
