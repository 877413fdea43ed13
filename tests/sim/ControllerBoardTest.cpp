// The older board family: a byte pipe to a board controller that takes
// five-byte command frames and runs the MDIO cycles itself.
#include <gtest/gtest.h>

#include "SimHarness.h"

using namespace simtest;

namespace {

class ControllerBoard : public testing::Test {
  protected:
    UseBench bench{oneBoardBench("TV00009B", "Talvik MDIO", 5, {0, 3})};
    OpenDevice device{"TV00009B", FTDI::D2xx::kBitModeReset};
    mdiosim::Board& board() { return mdiosim::bench()->board(0); }
};

}  // namespace

TEST_F(ControllerBoard, FramesArriveInAnyPiecesAndUnknownOperationsAreIgnored) {
    board().phy(0).setClause45(7, 0x0010, 0x1234);
    const Bytes frames{0x20, 0x01, 0x02, 0x03, 0x04,   // operation 001: nothing
                       0xA7, 0x10, 0x00, 0x00, 0x00,   // operation 101: nothing
                       0x67, 0x10, 0x00, 0x00, 0x00};  // MDIO read, MMD 7, port 0
    for (const Bytes& piece :
         {Bytes(frames.begin(), frames.begin() + 3), Bytes(frames.begin() + 3, frames.begin() + 11),
          Bytes(frames.begin() + 11, frames.end())}) {
        device.write(piece);
    }
    EXPECT_EQ(device.read(8), (Bytes{0x00, 0x34, 0x12}));
    // A purge drops a half-received frame; a port without a PHY reads all ones.
    device.write({0x67, 0x10});
    ASSERT_EQ(FT_Purge(device.handle, 3), FTDI::D2xx::kOk);
    EXPECT_EQ(device.exchange({0xE0, 0x05, 0x00, 0x00, 0x00, 0xC0, 0x05, 0x00, 0x09, 0x00,  //
                               0x61, 0x00, 0x00, 0x00, 0x00},
                              6),
              (Bytes{0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
}
