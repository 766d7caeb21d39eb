#include "app/WindowlessRun.h"

#include "core/CommandJob.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Hives.h"
#include "platform/win32/Win32Output.h"
#include "platform/win32/Win32UserProfiles.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

namespace {

// Set by Ctrl+C or Ctrl+Break: the run renames nothing more, unloads its
// hives and ends with 1223.
std::atomic<bool> stopRequested{false};

// Ctrl+C and Ctrl+Break ask the run to stop, and it ends by itself. Closing
// the console ends the process about 5 seconds later whatever the handler
// does: a hive it has loaded must go first, or its user cannot sign in.
BOOL WINAPI StopTheRun(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        stopRequested = true;
        return TRUE;
    case CTRL_CLOSE_EVENT: {
        // Never undone: the process is ending.
        static const StoppedHiveLoads stopped;
        break;
    }
    default:
        break;
    }
    // The default handler then ends the process as before.
    return FALSE;
}

} // namespace

std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) {
        arguments.push_back(Narrow(__wargv[i]));
    }
    return arguments;
}

int RunWithoutWindow(const PlatformServices &services, const CommandLine &commandLine,
                     const std::string &applicationTitle) {
    Win32Output output;
    // After the output, which may attach to a console: that resets the
    // handlers.
    SetConsoleCtrlHandler(StopTheRun, TRUE);
    Win32UserProfiles profiles;
    return RunCommand(services, profiles, output, commandLine, applicationTitle,
                      [] { return stopRequested.load(); });
}
