#include "app/WindowlessRun.h"

#include "core/CommandJob.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Hives.h"
#include "platform/win32/Win32Output.h"
#include "platform/win32/Win32UserProfiles.h"

#include <windows.h>

#include <cstdlib>

namespace {

// Ctrl+C, Ctrl+Break and closing the console end the process: a hive it
// has loaded must go first, or its user cannot sign in. Windows ends the
// process about 5 seconds after a close, whatever the handler does.
BOOL WINAPI UnloadHivesBeforeTheEnd(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
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
    SetConsoleCtrlHandler(UnloadHivesBeforeTheEnd, TRUE);
    Win32UserProfiles profiles;
    return RunCommand(services, profiles, output, commandLine, applicationTitle);
}
