#include "registry/BoardFactories.h"

#include "boards/K8Factory.h"
#include "boards/TalvikFactory.h"

namespace mdiohost {

const std::array<BoardFactory, 2>& boardFactories() {
    static const std::array<BoardFactory, 2> factories{&FTDI::K8::factory, &FTDI::Talvik::factory};
    return factories;
}

}  // namespace mdiohost
