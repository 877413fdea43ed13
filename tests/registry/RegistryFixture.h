// A registry test starts with a scripted driver holding the boards it lists.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ScriptedDriver.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

class RegistryTest : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();

    // What the guarded export recorded, or "" when nothing failed since the
    // last HW_Initialize.
    static std::string recorded() { return HW_Fail() && HW_Error() ? HW_Error() : ""; }

    template <typename Action>
    static std::string failureOf(Action action) {
        try {
            action();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "no failure";
    }
};
