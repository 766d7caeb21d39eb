#include "platform/win32/FinalPath.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/WideText.h"

std::optional<std::wstring> SystemFinalPath(HANDLE file, DWORD volumeName) {
    // Room for an ordinary path at the first call: each call searches the
    // drives for the volume's letter, a few tenths of a millisecond under
    // Wine.
    DWORD needed = MAX_PATH + 1;
    for (;;) {
        std::wstring path(needed, L'\0');
        const DWORD written =
            GetFinalPathNameByHandleW(file, path.data(), needed, FILE_NAME_NORMALIZED | volumeName);
        if (written == 0) {
            const DWORD error = GetLastError();
            if (error == ERROR_PATH_NOT_FOUND && volumeName == VOLUME_NAME_DOS) {
                return std::nullopt;
            }
            throw Win32Error(error, "GetFinalPathNameByHandleW");
        }
        if (written < needed) {
            path.resize(written);
            return path;
        }
        needed = written; // the room it needs, its NUL included
    }
}

std::wstring FinalPathOf(HANDLE file) {
    if (const std::optional<std::wstring> path = SystemFinalPath(file, VOLUME_NAME_DOS)) {
        return OrdinaryForm(*path);
    }
    throw Win32Error(ERROR_PATH_NOT_FOUND, "GetFinalPathNameByHandleW");
}
