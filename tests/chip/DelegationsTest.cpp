// The exports that set and read the delegation and Clause 45 over Clause 22
// tables: status values, messages on standard output, tables left alone.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "chip/DelegationTables.h"
#include "mdiohost.h"

using Answer = std::pair<std::uint32_t, std::string>;  // status, standard output

template <typename Call>
Answer answerOf(Call call) {
    testing::internal::CaptureStdout();
    const std::uint32_t status = call();
    return {status, testing::internal::GetCapturedStdout()};
}

TEST(Delegations, OffAtLoadAllOnAfterInitialising) {
    EXPECT_EQ(HW_GetDelegationType(4, 2999), 0u);
    HW_InitializeDelegations();
    for (std::uint32_t adapter = 0; adapter < 3000; ++adapter) {
        for (std::uint32_t type = 0; type < 5; ++type) {
            ASSERT_EQ(HW_GetDelegationType(type, adapter), 1u) << type << ", " << adapter;
        }
    }
}

TEST(Delegations, ChecksInOrderAndMessages) {
    struct Row {
        std::uint32_t type, adapter, state;
        Answer expected;
    };
    const Row rows[] = {
        {3, 2999, 0, {0, ""}},
        {3, 3000, 1, {100, "Invalid adapter number 3000\n"}},
        {5, 0, 1, {100, ""}},
        {0, 0, 2, {100, "Invalid state 2\n"}},
        {9, 3000, 7, {100, "Invalid adapter number 3000\n"}},  // adapter first
        {9, 0, 7, {100, "Invalid state 7\n"}},                 // state before type
        {0, 0xFFFFFFFF, 0, {100, "Invalid adapter number -1\n"}},
        {0, 0, 0x80000000, {100, "Invalid state -2147483648\n"}},
    };
    HW_InitializeDelegations();
    for (const Row& row : rows) {
        EXPECT_EQ(answerOf([&] { return HW_SetDelegationType(row.type, row.adapter, row.state); }),
                  row.expected);
    }
    // Only the accepted row changed a flag.
    EXPECT_EQ(HW_GetDelegationType(3, 2999), 0u);
    EXPECT_EQ(HW_GetDelegationType(2, 2999), 1u);
    EXPECT_EQ(HW_GetDelegationType(0, 0), 1u);
    EXPECT_FALSE(mdiohost::chip::isDelegated(mdiohost::chip::DelegationType::Mmd11Access, 2999));
    EXPECT_FALSE(mdiohost::chip::isDelegated(mdiohost::chip::DelegationType::Mmd31Read, 3000));

    EXPECT_EQ(answerOf([] { return HW_GetDelegationType(5, 3000); }),
              Answer(100, "Invalid adapter number 3000\n"));
    EXPECT_EQ(answerOf([] { return HW_GetDelegationType(5, 0); }), Answer(100, ""));
}

TEST(Clause45OverClause22, FlagPerAdapterAndNothingOutsideTheTable) {
    HW_EnableClause45OverClause22(2999);
    HW_EnableClause45OverClause22(0);
    HW_DisableClause45OverClause22(0);
    EXPECT_EQ(HW_GetClause45OverClause22State(2999), 1u);
    EXPECT_EQ(HW_GetClause45OverClause22State(0), 0u);
    // Indexes without a slot are ignored and read 0 (the address sanitizer
    // would stop a write past the table).
    for (std::uint32_t adapter : {3000u, 0xFFFFFFFFu}) {
        HW_EnableClause45OverClause22(adapter);
        EXPECT_EQ(HW_GetClause45OverClause22State(adapter), 0u);
    }
    HW_InitializeClause22();
    EXPECT_EQ(HW_GetClause45OverClause22State(2999), 0u);
}
