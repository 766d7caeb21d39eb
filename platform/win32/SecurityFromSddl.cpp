#include "platform/win32/SecurityFromSddl.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <sddl.h>

unique_hlocal SecurityFromSddl(const std::string &sddl) {
    unique_hlocal descriptor;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            Widen(sddl).c_str(), SDDL_REVISION_1,
            reinterpret_cast<PSECURITY_DESCRIPTOR *>(descriptor.put()), nullptr)) {
        throw Win32Error(GetLastError(), "ConvertStringSecurityDescriptorToSecurityDescriptorW");
    }
    return descriptor;
}
