// Whether the program runs with administrator rights, or as System, and
// starting it again with administrator rights.

#include "platform/PeoplesSids.h"
#include "platform/win32/AccountSids.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"

#include <shellapi.h>

std::optional<bool> ProcessElevation(HANDLE process) {
    unique_handle token;
    if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) {
        return std::nullopt;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

bool Win32Application::IsElevated() { return ProcessElevation(GetCurrentProcess()).value_or(true); }

bool Win32Application::RunsAsSystem() {
    try {
        return ProcessUserSid() == SystemSid;
    } catch (const std::exception &) {
        return true;
    }
}

void Win32Application::StartElevated(const std::string &parameters) {
    // shell32 is loaded only here, so no other run pays for it.
    const SystemLibrary shell(L"shell32.dll");
    const auto shellExecute = shell.Get<decltype(&ShellExecuteExW)>("ShellExecuteExW");
    const std::wstring executable = ExecutablePath();
    const std::wstring arguments = Widen(parameters);
    // The same current folder, so a relative path names the same file.
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = mainWindow_;
    execute.lpVerb = L"runas";
    execute.lpFile = executable.c_str();
    execute.lpParameters = arguments.c_str();
    execute.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!shellExecute(&execute)) {
        throw Win32Error(GetLastError(), "ShellExecuteExW");
    }
}
