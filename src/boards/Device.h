// FTDI::Device: one adapter as the registry knows it: its USB side (the
// port) and the MDIO engine it owns. The boards derive from it to bring
// their chips up and to create the engine their protocol needs; an adapter
// without one (a K8 JTAG adapter) leaves `engine` empty.
#pragma once

#include <memory>
#include <string>

#include "ftdi/AdapterPort.h"
#include "mdio/MDIO.h"

namespace FTDI {

class Device : public AdapterPort {
  public:
    using AdapterPort::AdapterPort;
    ~Device() override;

    // Called by the registry before it closes the driver handle.
    virtual void beforeClose() {}
    // Called by the registry right after it opened the driver handle.
    virtual void bringUp() {}
    virtual void purgeBuffers() {}
    // Called after bringUp, or alone when this adapter takes over the open
    // handle of another adapter of the same board.
    virtual void afterBringUp();

    std::unique_ptr<MDIO> engine;
};

}  // namespace FTDI
