// A test fixture that gives each test a fresh application, screen, window manager, clipboard and dialog log.
#pragma once

#include <gtest/gtest.h>

#include "host/app/app.h"
#include "host/app/responders.h"
#include "host/rtl/clock.h"
#include "host/windows/clipboard.h"
#include "host/windows/inputsim.h"
#include "host/windows/wintest.h"

namespace apptest {

class TAppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host::Clock::UseVirtual();
        host::RecreateApplication();
        host::wintest::Reset();
        host::Input::Clear();
        host::ResetClipboard();
        host::ClearDialogLog();
    }
    void TearDown() override {
        host::RecreateApplication();
        host::wintest::Reset();
        host::Input::Clear();
        host::ResetClipboard();
        host::Clock::UseReal();
    }
};

}  // namespace apptest
