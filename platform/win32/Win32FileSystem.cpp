#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

namespace {

constexpr DWORD NotANormalFile =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

bool IsExtended(const std::wstring &path) { return path.rfind(L"\\\\?\\", 0) == 0; }

std::wstring FullPath(const std::wstring &path) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    for (;;) {
        if (needed == 0) {
            throw Win32Error(GetLastError(), "GetFullPathNameW");
        }
        std::wstring full(needed, L'\0');
        const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        if (written != 0 && written < needed) {
            full.resize(written);
            return full;
        }
        needed = written; // 0 on failure; larger if the current folder changed meanwhile
    }
}

// The absolute \\?\ form, which no length limit applies to.
std::wstring ExtendedForm(const std::wstring &path) {
    if (IsExtended(path)) {
        return path;
    }
    const std::wstring full = FullPath(path);
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

} // namespace

std::wstring LongPathForm(const std::wstring &path) {
    return path.size() < MAX_PATH ? path : ExtendedForm(path);
}

std::string Win32FileSystem::FirstMatchingFile(const std::string &path) {
    WIN32_FIND_DATAW entry{};
    unique_find search(FindFirstFileW(LongPathForm(Widen(path)).c_str(), &entry));
    if (!search) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_NO_MORE_FILES) {
            return {};
        }
        throw Win32Error(error, "FindFirstFileW");
    }
    do {
        if ((entry.dwFileAttributes & NotANormalFile) == 0) {
            return Narrow(entry.cFileName);
        }
    } while (FindNextFileW(search.get(), &entry));
    return {};
}

void Win32FileSystem::RenameFile(const std::string &from, const std::string &to) {
    std::wstring source = Widen(from);
    std::wstring target = Widen(to);
    // Both names take the same form, so a long target never meets a short
    // source that Windows would normalise differently.
    if (source.size() >= MAX_PATH || target.size() >= MAX_PATH) {
        source = ExtendedForm(source);
        target = ExtendedForm(target);
    }
    // No MOVEFILE_REPLACE_EXISTING: an existing file is never overwritten.
    if (!MoveFileExW(source.c_str(), target.c_str(), 0)) {
        throw Win32Error(GetLastError(), "MoveFileExW");
    }
}
