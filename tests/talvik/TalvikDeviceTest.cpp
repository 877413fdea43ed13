// The older board family's device: recognising boards in the device list,
// bring-up, board registers and close.
#include <gtest/gtest.h>

#include <cstring>

#include "ScriptedDriver.h"
#include "api/Exceptions.h"
#include "ftdi/TalvikDevice.h"
#include "ftdi/TalvikFactory.h"
#include "mdio/MDIO.h"

using testing_support::Bytes;

TEST(TalvikFactory, RecognisesSerialNumbersEndingInBOncePerBoard) {
    struct Row {
        const char* serialNumber;
        bool recognised;
    };
    FTDI::AdapterTable adapters;
    // The last serial fills all 16 bytes of the field, leaving no terminating zero.
    for (const Row& row : {Row{"", false}, Row{"FT12A", false}, Row{"FT12b", false},
                           Row{"FT12B", true}, Row{"FT12B", true}, Row{"ABCDEFGHIJKLMNOB", true}}) {
        FTDI::D2xx::DeviceListNode node{};
        std::memcpy(node.SerialNumber, row.serialNumber, std::strlen(row.serialNumber));
        std::strcpy(node.Description, "Talvik board");
        EXPECT_EQ(FTDI::Talvik::factory(adapters, node), row.recognised) << row.serialNumber;
    }
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(adapters[1]->name, "ABCDEFGHIJKLMNOB");
    const auto* board = dynamic_cast<FTDI::Talvik::Device*>(adapters[0].get());
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->name + board->serialNumber + board->description, "FT12BFT12BTalvik board");
    EXPECT_NE(board->engine, nullptr);
}

TEST(TalvikBoard, BringUpAndBoardRegisterFrames) {
    auto& driver = testing_support::installScriptedDriver();
    FTDI::Talvik::Device device("TV1B", "TV1B", "");
    device.bringUp();
    device.afterBringUp();
    device.boardWrite(7, 0xFF);
    driver.queueReply({0x11, 0xA5, 0x22});
    EXPECT_EQ(device.boardRead(2), 0xA5);
    EXPECT_EQ(driver.writes(), (std::vector<Bytes>{{0x00, 0x00, 0x00, 0x00, 0x00},
                                                   {0xC0, 0x07, 0x00, 0xFF, 0x00},
                                                   {0xE0, 0x02, 0x00, 0x00, 0x00}}));
    EXPECT_EQ(driver.operations(),
              (std::vector<std::string>{"FT_Write", "FT_Write", "FT_Write", "FT_Read"}));

    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(device.boardRead(2), FTDI::Exceptions::DeviceConnection);
}

TEST(TalvikBoard, CloseClearsTheHandleAndDropsQueuedFrames) {
    FTDI::Talvik::Device device("TV1B", "TV1B", "");
    device.handle = reinterpret_cast<FTDI::D2xx::Handle>(0x1000);
    device.engine->queueRead(4, 1, 0x0002);
    device.beforeClose();
    EXPECT_EQ(device.handle, nullptr);
    EXPECT_EQ(device.engine->commands[4], (Bytes{0xC0, 0x05, 0x00, 0x04, 0x00}));
    EXPECT_TRUE(device.engine->replySizes[4].empty());
}
