#include "platform/win32/Win32SystemFolders.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

#include <windows.h>

// The known folders' identifiers are defined here, so no import library is
// needed for them.
#include <initguid.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// SHGetKnownFolderPath from shell32 in the system folder, and what frees
// the text it gives.
class KnownFolders {
public:
    // The folder's path as the shell gives it; throws Win32Error.
    std::wstring Path(const KNOWNFOLDERID &id) const {
        wchar_t *path = nullptr;
        const HRESULT result = getKnownFolderPath_(id, 0, nullptr, &path);
        // Freed on every path, a failure's too.
        const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owner(path, freeMemory_);
        if (FAILED(result)) {
            throw Win32Error(HRESULT_FACILITY(result) == FACILITY_WIN32
                                 ? static_cast<DWORD>(HRESULT_CODE(result))
                                 : static_cast<DWORD>(result),
                             "SHGetKnownFolderPath");
        }
        return path;
    }

private:
    SystemLibrary shell_{L"shell32.dll"};
    SystemLibrary ole_{L"ole32.dll"};
    decltype(&SHGetKnownFolderPath) getKnownFolderPath_ =
        shell_.Get<decltype(&SHGetKnownFolderPath)>("SHGetKnownFolderPath");
    decltype(&CoTaskMemFree) freeMemory_ = ole_.Get<decltype(&CoTaskMemFree)>("CoTaskMemFree");
};

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

struct MachineFolders {
    std::vector<std::string> virtualized;
    std::string localAppData;
};

MachineFolders LookUpMachineFolders() {
    const KnownFolders known;
    std::vector<std::wstring> candidates;
    // A 32-bit process on 64-bit Windows is given Program Files (x86) for
    // both Program Files; only this names the 64-bit one there.
    if (const auto programFiles64 = EnvironmentVariable(L"ProgramW6432");
        programFiles64 && !programFiles64->empty()) {
        candidates.push_back(*programFiles64);
    }
    for (const KNOWNFOLDERID *id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86,
                                    &FOLDERID_ProgramData, &FOLDERID_Windows}) {
        candidates.push_back(known.Path(*id));
    }
    std::vector<std::wstring> distinct;
    MachineFolders folders;
    for (const std::wstring &candidate : candidates) {
        const std::wstring full = FullForm(candidate);
        if (std::none_of(distinct.begin(), distinct.end(),
                         [&](const std::wstring &seen) { return SamePathText(seen, full); })) {
            distinct.push_back(full);
            folders.virtualized.push_back(Narrow(full));
        }
    }
    folders.localAppData = Narrow(FullForm(known.Path(FOLDERID_LocalAppData)));
    return folders;
}

const MachineFolders &Folders() {
    static const MachineFolders folders = LookUpMachineFolders();
    return folders;
}

} // namespace

std::vector<std::string> Win32SystemFolders::VirtualizedFolders() { return Folders().virtualized; }

std::string Win32SystemFolders::LocalAppData() { return Folders().localAppData; }
