#include "platform/win32/OpenExisting.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/WideText.h"

unique_hfile OpenExisting(const std::wstring &path, DWORD access, DWORD flags) {
    return unique_hfile(CreateFileW(LongPathForm(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}
