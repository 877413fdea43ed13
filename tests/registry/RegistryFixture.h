// A registry test starts with a scripted driver holding the boards it lists.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Failure.h"
#include "ScriptedDriver.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using testing_support::failureOf;

class RegistryTest : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();

    // What the guarded export recorded, or "" when nothing failed since the
    // last HW_Initialize.
    static std::string recorded() { return HW_Fail() && HW_Error() ? HW_Error() : ""; }
};
