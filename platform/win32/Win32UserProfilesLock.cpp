#include "platform/win32/Win32UserProfilesLock.h"

#include "platform/win32/SecurityFromSddl.h"
#include "platform/win32/WideText.h"

namespace {

// Private namespaces are machine-wide, so runs from every session (System's,
// an administrator's over remote desktop) meet the same one. Only a process
// whose token holds the Administrators group enabled is inside the boundary
// and may make the namespace; its descriptor lets no one else open it.
constexpr wchar_t NamespaceName[] = L"Torvane";
constexpr wchar_t MutexName[] = L"Torvane\\EveryUser";
// Wine has no private namespaces, and every program there runs as the one
// user whose prefix it is: no other user can make this name first.
constexpr wchar_t WineMutexName[] = L"Global\\Torvane-EveryUser-Wine";
// Only System and administrators may open the namespace and the mutex.
constexpr char LockSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)";
// Tries at making or opening the namespace while other runs close theirs.
constexpr int NamespaceTries = 3;

// Detected by an export of the loaded ntdll, which no user can change.
bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

unique_boundary AdministratorsBoundary() {
    unique_boundary boundary(CreateBoundaryDescriptorW(NamespaceName, 0));
    if (!boundary) {
        return boundary;
    }
    alignas(DWORD) BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &size)) {
        throw Win32Error(GetLastError(), "CreateWellKnownSid");
    }
    // It may move the descriptor to make room.
    HANDLE grown = boundary.release();
    const BOOL added = AddSIDToBoundaryDescriptor(&grown, sid);
    boundary.reset(grown);
    if (!added) {
        throw Win32Error(GetLastError(), "AddSIDToBoundaryDescriptor");
    }
    return boundary;
}

// Makes the namespace, or opens the one another run made.
unique_namespace LockNamespace(HANDLE boundary, SECURITY_ATTRIBUTES &attributes) {
    for (int tries = 0;; ++tries) {
        unique_namespace space(CreatePrivateNamespaceW(&attributes, boundary, NamespaceName));
        if (space) {
            return space;
        }
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS) {
            space.reset(OpenPrivateNamespaceW(boundary, NamespaceName));
            if (space) {
                return space;
            }
            // The run that held it closed it in between.
            error = GetLastError();
        }
        if (tries + 1 == NamespaceTries) {
            throw Win32Error(error, "CreatePrivateNamespaceW");
        }
    }
}

} // namespace

std::unique_ptr<Win32UserProfilesLock> Win32UserProfilesLock::Take(DWORD wait) {
    const unique_hlocal descriptor = SecurityFromSddl(LockSecurity);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    unique_namespace space;
    const wchar_t *name = MutexName;
    const unique_boundary boundary = AdministratorsBoundary();
    if (boundary) {
        space = LockNamespace(boundary.get(), attributes);
    } else if (RunsUnderWine()) {
        name = WineMutexName;
    } else {
        const DWORD error = GetLastError();
        throw Win32Error(error != ERROR_SUCCESS ? error : ERROR_INVALID_FUNCTION,
                         "CreateBoundaryDescriptorW");
    }
    unique_handle mutex(CreateMutexW(&attributes, FALSE, name));
    if (!mutex) {
        throw Win32Error(GetLastError(), "CreateMutexW");
    }
    switch (WaitForSingleObject(mutex.get(), wait)) {
    case WAIT_OBJECT_0:
    // A run that was killed while holding it left nothing half done that
    // the next one's healing does not mend.
    case WAIT_ABANDONED:
        return std::unique_ptr<Win32UserProfilesLock>(
            new Win32UserProfilesLock(std::move(space), std::move(mutex)));
    case WAIT_TIMEOUT:
        throw Win32Error(ERROR_SHARING_VIOLATION, "WaitForSingleObject");
    default:
        throw Win32Error(GetLastError(), "WaitForSingleObject");
    }
}

Win32UserProfilesLock::~Win32UserProfilesLock() { ReleaseMutex(mutex_.get()); }
