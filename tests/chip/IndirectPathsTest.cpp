// The chip's indirect paths as the wire sees them: the exact MDIO accesses of
// each sequence, their trace records, and what the chip's answers make of them.
#include <string>
#include <tuple>
#include <vector>

#include "ChipFixture.h"

using Frames = std::vector<std::string>;

namespace {

class Paths : public ChipTest {
  protected:
    void SetUp() override { openBoards(); }
    static constexpr std::uint32_t kPhy = 2;
};

std::size_t countOf(const Frames& frames, const std::string& frame) {
    return static_cast<std::size_t>(std::count(frames.begin(), frames.end(), frame));
}

}  // namespace

// --- PIF mailbox

TEST_F(Paths, MailboxReadOfADelegatedMmd31Register) {
    HW_SetDelegationType(0, 0, 1);
    answer({1, 0xBEEF});
    EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 31, 0x8037), 0xBEEFu);
    EXPECT_EQ(accesses(true), (Frames{"P,2", "W,1E,C47F,0000", "P,2", "W,1E,C47C,8037", "P,2",
                                      "W,1E,C47E,011F", "P,2", "R,1E,C47F", "P,2", "R,1E,C47D"}));
    EXPECT_EQ(records(),
              "0,2,MW,1E,C47F,0000\n"
              "0,2,MW,1E,C47C,8037\n"
              "0,2,MW,1E,C47E,011F\n"
              "0,2,MR,1E,C47F,0001\n"
              "0,2,MR,1E,C47D,BEEF\n");
}

TEST_F(Paths, MailboxStatusAnswers) {
    const std::string kLimit =
        "Warning: PIF Mailbox commandStatus polling limit exceeded, retrying.\n";
    const std::string kError = "Warning: PIF Mailbox reported an error, retrying.\n";
    const std::string kGiveUp = "Error: PIF Mailbox retry limit exceeded, so giving up.\n";
    struct Case {
        const char* what;
        std::size_t busyPolls;
        std::vector<std::uint16_t> final;  // the status read after the busy ones, if any
        std::size_t statusReads;
        std::string messages;
    };
    const std::vector<Case> cases{
        {"done after two busy polls", 2, {1}, 3, ""},
        {"error on the first poll, no second attempt", 0, {2}, 1, kError + kGiveUp},
        {"an unexpected status", 0, {7}, 1, kGiveUp},
        {"never done", 5001, {}, 5001, kLimit + kGiveUp},
        {"done on the very last poll still warns", 5000, {1}, 5001, kLimit},
        {"error on the very last poll", 5000, {2}, 5001, kLimit + kError + kGiveUp},
    };
    HW_SetDelegationType(4, 0, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        driver.forget();
        answer({0}, c.busyPolls);
        for (const std::uint16_t status : c.final)
            answer({status});
        answer({0x4242});  // the data register is read whatever the status
        testing::internal::CaptureStderr();
        const std::uint32_t value = HW_Read(0, kPhy, 27, 0x0010);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.messages);
        EXPECT_EQ(value, 0x4242u);
        const Frames frames = accesses();
        EXPECT_EQ(countOf(frames, "R,1E,C47F"), c.statusReads);
        EXPECT_EQ(frames.back(), "R,1E,C47D");
        EXPECT_EQ(frames[2], "W,1E,C47E,011B");
    }
    EXPECT_EQ(HW_Fail(), 0) << "mailbox problems are messages, not failures";
}

TEST_F(Paths, MailboxWritesAndTheirGivingUp) {
    const std::string kGiveUp =
        "Warning: PIF Mailbox reported an error, retrying.\n"
        "Error: PIF Mailbox retry limit exceeded, so giving up.\n";
    HW_SetDelegationType(1, 0, 1);
    HW_SetDelegationType(3, 0, 1);
    for (const auto& [status, messages] :
         std::vector<std::pair<std::uint16_t, std::string>>{{1, ""}, {2, kGiveUp}}) {
        driver.forget();
        answer({status});
        testing::internal::CaptureStderr();
        ZM_API_MDIO_Write(kPhy, 28, 0x0123, 0x5555);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), messages);
        EXPECT_EQ(accesses(), (Frames{"W,1E,C47F,0000", "W,1E,C47C,0123", "W,1E,C47D,5555",
                                      "W,1E,C47E,021C", "R,1E,C47F"}));
    }
    answer({1});
    HW_Write(0, kPhy, 11, 0x2005, 0x77);
    EXPECT_EQ(accesses().at(8), "W,1E,C47E,020B");
}

// --- SERDES control register bridge

TEST_F(Paths, SerdesBridgeStatusBit12WithACodeIsAnError) {
    const Frames writeFrames{"W,1E,A110,0001", "W,1E,A104,0042", "W,1E,A105,1234", "R,1E,A111"};
    const Frames readFrames{"W,1E,A10B,0000", "W,1E,A110,0001", "W,1E,A108,A0B1", "R,1E,A109",
                            "R,1E,A111"};
    const struct {
        bool write;
        std::uint16_t status;
        std::uint32_t value;
        std::string message;
    } cases[] = {
        {true, 0x0000, 0, ""},
        {true, 0x1000, 0, ""},
        {true, 0x0003, 0, ""},
        {true, 0x1003, 0,
         "Error: SERDES control register bridge error (code 0x3) writing address 0x42\n"},
        {false, 0x0005, 0xCAFE, ""},  // a code without bit 12
        {false, 0x100F, 0,
         "Error: SERDES control register bridge error (code 0xF) reading address 0xA0B1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        driver.forget();
        testing::internal::CaptureStderr();
        if (c.write) {
            answer({c.status});
            HW_Write(0, kPhy, 27, 0x42, 0x1234);
        } else {
            answer({0xCAFE, c.status});
            EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 27, 0xA0B1), c.value);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
        EXPECT_EQ(accesses(), c.write ? writeFrames : readFrames);
    }
    EXPECT_EQ(HW_Fail(), 0);
}

// --- TGE register blocks

TEST_F(Paths, TgeBlockArithmetic) {
    const Frames read0{"W,1D,C203,C003", "R,1D,C204"};
    const std::vector<std::tuple<bool, std::uint32_t, Frames>> cases{
        // write, address, accesses
        {true, 0x2005, {"W,1D,C204,1234", "W,1D,C203,8017", "W,1D,C204,4085", "W,1D,C203,8014"}},
        // block 1: offset bits above 6 dropped
        {true, 0x10FF, {"W,1D,C204,1234", "W,1D,C203,8017", "W,1D,C204,407F", "W,1D,C203,8014"}},
        {true, 0x0003, {"W,1D,C204,1234", "W,1D,C203,8003"}},
        {false, 0x3010, {"W,1D,C204,8110", "W,1D,C203,8014", "W,1D,C203,C015", "R,1D,C204"}},
        {false, 0x0003, read0},
        {false, 0x0023, read0},  // block 0 uses offset bits 4..0 only
    };
    for (const auto& [write, address, frames] : cases) {
        SCOPED_TRACE(address);
        driver.forget();
        if (write) {
            HW_Write(0, kPhy, 11, address, 0x1234);
        } else {
            answer({0x0A0B});
            EXPECT_EQ(HW_Read(0, kPhy, 11, address), 0x0A0Bu);
        }
        EXPECT_EQ(accesses(), frames);
    }
}

// --- Memory window

TEST_F(Paths, MemoryWindowReadAddressArithmetic) {
    struct Case {
        std::uint32_t registerAddress;
        const char* high;
        const char* low;
        const char* data;
    };
    for (const Case& c : std::vector<Case>{{1, "3FFE", "0482", "0204"},
                                           {0, "3FFE", "0480", "0205"},
                                           {0x8000, "3FFF", "0480", "0205"},
                                           {0xFFFF, "4000", "047E", "0204"}}) {
        SCOPED_TRACE(c.registerAddress);
        driver.forget();
        answer({0x0100, 0x8100, 0x8000, 0x1357});  // busy twice, then done
        EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 10, c.registerAddress), 0x1357u);
        EXPECT_EQ(accesses(),
                  (Frames{std::string("W,1E,0202,") + c.high, std::string("W,1E,0203,") + c.low,
                          "W,1E,0200,8000", "R,1E,0200", "R,1E,0200", "R,1E,0200",
                          std::string("R,1E,") + c.data}));
    }
}

TEST_F(Paths, MemoryWindowWriteReplacesOneHalfAndGivesUpSilentlyAfter41BusyReads) {
    const Frames address{"W,1E,0202,3FFE", "W,1E,0203,0486"};
    Frames expected = address;
    expected.push_back("W,1E,0200,8000");
    expected.insert(expected.end(), 41, "R,1E,0200");  // done on the last poll
    expected.insert(expected.end(), address.begin(), address.end());
    expected.insert(expected.end(), {"W,1E,0204,AAAA", "W,1E,0200,C000"});
    answer({0x0100}, 40);
    answer({0x0000});
    ZM_API_MDIO_Write(kPhy, 10, 3, 0xAAAA);
    EXPECT_EQ(accesses(), expected);

    // Busy for all 41 reads: nothing more, no message, for reads and writes.
    driver.forget();
    answer({0x0100}, 2 * 41);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 10, 3), 0u);
    ZM_API_MDIO_Write(kPhy, 10, 3, 0xAAAA);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    Frames one = address, both;
    one.push_back("W,1E,0200,8000");
    one.insert(one.end(), 41, "R,1E,0200");
    for (int access = 0; access < 2; ++access)
        both.insert(both.end(), one.begin(), one.end());
    EXPECT_EQ(accesses(), both);
}

// --- Paged MMD

TEST_F(Paths, PagedMmdSelectorReadsBitReversed) {
    struct Case {
        std::uint32_t address;
        const char* selector;
    };
    for (const Case& c : std::vector<Case>{{0x8101, "0084"},     // S = 0x21
                                           {0x8002, "0040"},     // S = 0x02
                                           {0x8419, "0099"},     // S = 0x99, the last served
                                           {0x8300, "0006"}}) {  // S = 0x60
        SCOPED_TRACE(c.address);
        driver.forget();
        answer({0xABCF, 0x0034, 0xFFF2});
        EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 28, c.address), 0x234u);
        EXPECT_EQ(accesses(),
                  (Frames{"R,04,C180", "W,04,C180,ABC8", std::string("W,04,C20B,") + c.selector,
                          "R,04,C2EF", "R,04,C2FF"}));
    }
}

TEST_F(Paths, PagedMmdWindow) {
    answer({0xABCF, 0x5678, 0x0000});
    EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 28, 0x0123), 0x5678u);
    ZM_API_MDIO_Write(kPhy, 28, 0x05FF, 0x1111);
    EXPECT_EQ(accesses(), (Frames{"R,04,C180", "W,04,C180,ABC9", "R,04,C223",  //
                                  "R,04,C180", "W,04,C180,0005", "W,04,C2FF,1111"}));
}

// --- Addresses no path serves: no access, no trace, no failure

TEST_F(Paths, AddressesNoPathServesAreNotAccessed) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_Read(0, kPhy, 11, 0x4000), 0u);
    HW_Write(0, kPhy, 11, 0xF001, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: unsupported TGE register block ID: 4\n"
              "Error: unsupported TGE register block ID: 15\n");
    for (const std::uint32_t address : {0x841Au, 0x8500u, 0x8F00u, 0x0600u, 0x7FFFu})
        EXPECT_EQ(ZM_API_MDIO_Read(kPhy, 28, address), 0u) << address;
    for (const std::uint32_t address : {0x0600u, 0x8101u, 0xFFFFu})
        ZM_API_MDIO_Write(kPhy, 28, address, 1);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(records(), "");
    EXPECT_EQ(HW_Fail(), 0);
}
