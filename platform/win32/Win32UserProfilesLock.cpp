#include "platform/win32/Win32UserProfilesLock.h"

#include "platform/win32/WideText.h"

#include <sddl.h>

namespace {

// In the global namespace, so runs from every session (System's, an
// administrator's over remote desktop) meet the same one.
constexpr wchar_t MutexName[] = L"Global\\Torvane-EveryUser";
// Only System and administrators may open it: another user cannot hold it.
constexpr wchar_t MutexSecurity[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)";

struct LocalMemoryFree {
    void operator()(void *memory) const noexcept { LocalFree(memory); }
};

} // namespace

std::unique_ptr<Win32UserProfilesLock> Win32UserProfilesLock::Take(DWORD wait) {
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(MutexSecurity, SDDL_REVISION_1, &made,
                                                              nullptr)) {
        throw Win32Error(GetLastError(), "ConvertStringSecurityDescriptorToSecurityDescriptorW");
    }
    const std::unique_ptr<void, LocalMemoryFree> descriptor(made);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    unique_handle mutex(CreateMutexW(&attributes, FALSE, MutexName));
    if (!mutex) {
        throw Win32Error(GetLastError(), "CreateMutexW");
    }
    switch (WaitForSingleObject(mutex.get(), wait)) {
    case WAIT_OBJECT_0:
    // A run that was killed while holding it left nothing half done that
    // the next one's healing does not mend.
    case WAIT_ABANDONED:
        return std::unique_ptr<Win32UserProfilesLock>(new Win32UserProfilesLock(std::move(mutex)));
    case WAIT_TIMEOUT:
        throw Win32Error(ERROR_SHARING_VIOLATION, "WaitForSingleObject");
    default:
        throw Win32Error(GetLastError(), "WaitForSingleObject");
    }
}

Win32UserProfilesLock::~Win32UserProfilesLock() { ReleaseMutex(mutex_.get()); }
