// Who the program runs as, on the real system.

#include "platform/win32/Win32Application.h"

#include <gtest/gtest.h>

namespace {

// The tests run as a user (elevated or not), never as System: a wrong
// answer here would refuse every administrator's log on a share.
TEST(Win32Application, ARunAsAUserIsNotARunAsSystem) {
    Win32Application application;
    EXPECT_FALSE(application.RunsAsSystem());
}

} // namespace
