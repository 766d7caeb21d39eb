// Start-up: the Windows services, the main window, and the standard report
// for anything that fails before the window can take over.

#include "app/WindowlessRun.h"
#include "app/modMain.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemFolders.h"
#include "ui/win32/MainWindow.h"

#include <windows.h>

namespace {

// The title every message box carries unless it names its own.
constexpr char ApplicationTitle[] = "Torvane";

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
    RestrictDllSearchToSystemFolder();
    Win32Registry registry;
    Win32AnsiCodePage codePage;
    Win32FileSystem files;
    Win32Dialogs dialogs(ApplicationTitle);
    Win32Application application;
    Win32SystemFolders folders;
    const PlatformServices services{registry, codePage, files, dialogs, application, folders};
    // Declared after the services, so the settings object goes before them.
    const ProgramSettingsLifetime settingsLifetime;

    const CommandLine commandLine = ParseCommandLine(ProgramArguments());
    if (commandLine.command != Command::Window) {
        return RunWithoutWindow(services, commandLine, ApplicationTitle);
    }

    int exitCode = ExitCode::Failure;
    RunEvent(services, [&] {
        MainWindow window(services, application, dialogs, commandLine.path);
        window.Open(hInstance, nShowCmd);
        exitCode = window.RunMessageLoop();
    });
    return application.ExitCodeOr(exitCode);
}
