#include "platform/win32/Win32SystemFolders.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <optional>

// The folders as Windows defines them for every program: the registry
// values the shell's known folders (Program Files, Program Files (x86),
// ProgramData, Local AppData) are made from, and the Windows folder from the
// system itself. The shell's own lookup, SHGetKnownFolderPath, gives the same
// paths but brings COM into the process with it: about 40 ms a run under
// Wine, twice what the whole quiet job takes.

namespace {

constexpr wchar_t CurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr wchar_t ProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr wchar_t UserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::optional<std::wstring> EnvironmentVariable(const wchar_t *name) {
    DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    while (needed != 0) {
        std::wstring value(needed, L'\0');
        const DWORD written = GetEnvironmentVariableW(name, value.data(), needed);
        if (written < needed) {
            value.resize(written);
            return value;
        }
        needed = written; // it grew meanwhile
    }
    return std::nullopt;
}

// A value of the machine's, in its own (64-bit) view of the registry.
std::optional<std::wstring> Machine(const wchar_t *key, const wchar_t *name) {
    return ReadExpandedText(HKEY_LOCAL_MACHINE, key, name, "HKEY_LOCAL_MACHINE\\" + Narrow(key),
                            KEY_WOW64_64KEY);
}

// Each folder once, in full form, in the order given.
std::vector<std::string> Distinct(const std::vector<std::optional<std::wstring>> &candidates) {
    std::vector<std::wstring> distinct;
    std::vector<std::string> folders;
    for (const std::optional<std::wstring> &candidate : candidates) {
        if (!candidate) {
            continue;
        }
        const std::wstring full = FullForm(*candidate);
        if (std::none_of(distinct.begin(), distinct.end(),
                         [&](const std::wstring &seen) { return SamePathText(seen, full); })) {
            distinct.push_back(full);
            folders.push_back(Narrow(full));
        }
    }
    return folders;
}

struct MachineFolders {
    std::vector<std::string> programFiles;
    std::vector<std::string> virtualized;
};

MachineFolders LookUpMachineFolders() {
    // Read in the 64-bit view, these name the 64-bit Program Files also to
    // a 32-bit process, which its own view would give Program Files (x86)
    // for both. A 32-bit Windows has neither of the last two.
    const std::vector<std::optional<std::wstring>> programFiles{
        Machine(CurrentVersion, L"ProgramFilesDir"),
        Machine(CurrentVersion, L"ProgramW6432Dir"),
        Machine(CurrentVersion, L"ProgramFilesDir (x86)"),
    };
    std::vector<std::optional<std::wstring>> virtualized = programFiles;
    virtualized.push_back(Machine(ProfileList, L"ProgramData"));
    virtualized.emplace_back(WindowsFolder());
    return {Distinct(programFiles), Distinct(virtualized)};
}

const MachineFolders &TheMachinesFolders() {
    static const MachineFolders folders = LookUpMachineFolders();
    return folders;
}

std::string LookUpLocalAppData() {
    std::optional<std::wstring> folder =
        ReadExpandedText(HKEY_CURRENT_USER, UserShellFolders, L"Local AppData",
                         "HKEY_CURRENT_USER\\User Shell Folders");
    if (!folder) {
        folder = EnvironmentVariable(L"LOCALAPPDATA");
    }
    if (!folder || folder->empty()) {
        throw Win32ErrorOn(ERROR_FILE_NOT_FOUND, "Local AppData", "Win32SystemFolders");
    }
    return Narrow(FullForm(*folder));
}

} // namespace

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        throw Win32Error(length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW,
                         "GetSystemWindowsDirectoryW");
    }
    return folder;
}

std::vector<std::string> Win32SystemFolders::VirtualizedFolders() {
    return TheMachinesFolders().virtualized;
}

std::vector<std::string> Win32SystemFolders::ProgramFilesFolders() {
    return TheMachinesFolders().programFiles;
}

std::string Win32SystemFolders::LocalAppData() {
    static const std::string folder = LookUpLocalAppData();
    return folder;
}
