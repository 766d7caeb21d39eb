#include "app/WindowlessRun.h"

#include "app/modMain.h"
#include "core/CommandJob.h"
#include "core/OutputDialogs.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Output.h"

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
    OutputDialogs quietDialogs(output, applicationTitle);
    IDialogs &dialogs = commandLine.quiet ? quietDialogs : services.dialogs;
    const PlatformServices run{services.registry, services.codePage,    services.files,
                               dialogs,           services.application, services.folders};
    // Declared after the dialogs the settings object reports through.
    const ProgramSettingsLifetime settingsLifetime;
    return RunCommand(run, output, commandLine);
}
