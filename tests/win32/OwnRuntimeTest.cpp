// Torvane seeds the stack protector's guard itself rather than through GCC's
// runtime, ends on a failure nobody catches through its own terminate
// handler, and throws the library's failures itself; a probe linked with all
// three shows the guard is seeded, that a smashed stack still ends the
// process, with which code an uncaught failure does, and that the library's
// failures can still be caught.

#include "ChildProcess.h"
#include "platform/win32/Win32Application.h"

#include <gtest/gtest.h>

namespace {

std::wstring ProbePath() {
    const std::wstring self = ExecutablePath();
    return self.substr(0, self.rfind(L'\\') + 1) + L"torvane_runtime_probe.exe";
}

DWORD ExitCodeOfProbe(const std::vector<std::wstring> &arguments) {
    StartOptions options;
    options.arguments = arguments;
    const ChildProcess probe(ProbePath(), options);
    const std::optional<DWORD> exitCode = probe.WaitForExit(10000);
    EXPECT_TRUE(exitCode.has_value()) << "the probe keeps running";
    return exitCode.value_or(0);
}

TEST(StackGuardTest, GuardIsSeededAndASmashedStackEndsTheProcess) {
    EXPECT_EQ(0u, ExitCodeOfProbe({}));
    EXPECT_EQ(static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN),
              ExitCodeOfProbe({L"overrun", std::wstring(64, L'x')}));
}

TEST(TerminateHandlerTest, AFailureNobodyCatchesEndsWithInternalError) {
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNAL_ERROR), ExitCodeOfProbe({L"throw"}));
}

// The library's failures are still thrown, to be caught and reported.
TEST(LibraryFailuresTest, APositionPastTheEndIsThrownWithItsMessage) {
    EXPECT_EQ(0u, ExitCodeOfProbe({L"past-the-end"}));
}

} // namespace
