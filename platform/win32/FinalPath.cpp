#include "platform/win32/FinalPath.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/WideText.h"

std::wstring FinalPathOf(HANDLE file) {
    // Room for an ordinary path at the first call: each call searches the
    // drives for the volume's letter.
    DWORD needed = MAX_PATH + 1;
    for (;;) {
        std::wstring path(needed, L'\0');
        const DWORD written =
            GetFinalPathNameByHandleW(file, path.data(), needed, FILE_NAME_NORMALIZED);
        if (written == 0) {
            throw Win32Error(GetLastError(), "GetFinalPathNameByHandleW");
        }
        if (written < needed) {
            path.resize(written);
            return OrdinaryForm(path);
        }
        needed = written; // the room it needs, its NUL included
    }
}
