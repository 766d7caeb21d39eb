#include "platform/win32/Win32LockFiles.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/SecurityFromSddl.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <windows.h>

namespace {

class HeldFile : public IUsersLock {
public:
    explicit HeldFile(unique_hfile file) : file_(std::move(file)) {}

private:
    unique_hfile file_;
};

} // namespace

std::unique_ptr<IUsersLock> Win32LockFiles::TryHold(const std::string &path,
                                                    const std::string &sddl, std::int32_t &error) {
    const unique_hlocal descriptor = SecurityFromSddl(sddl);
    SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
    // Opened if a power cut left it, as the one run that may hold it. A
    // link there would be removed, never what it leads to.
    unique_hfile file(CreateFileW(
        LongPathForm(Widen(path)).c_str(), DELETE, 0, &security, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        error = static_cast<std::int32_t>(GetLastError());
        return nullptr;
    }
    error = 0;
    return std::make_unique<HeldFile>(std::move(file));
}
