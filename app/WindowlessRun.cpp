#include "app/WindowlessRun.h"

#include "core/CommandJob.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Output.h"
#include "platform/win32/Win32UserProfiles.h"

#include <windows.h>

#include <cstdlib>

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
    Win32UserProfiles profiles;
    return RunCommand(services, profiles, output, commandLine, applicationTitle);
}
