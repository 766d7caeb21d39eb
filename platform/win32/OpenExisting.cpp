#include "platform/win32/OpenExisting.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/WideText.h"

unique_hfile OpenExisting(const std::wstring &path, DWORD access, DWORD flags) {
    return unique_hfile(CreateFileW(LongPathForm(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

unique_hfile OpenForRename(const std::wstring &path) {
    unique_hfile file = OpenExisting(path, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                     FILE_FLAG_OPEN_REPARSE_POINT);
    if (!file) {
        throw Win32Error(GetLastError(), "CreateFileW");
    }
    return file;
}
