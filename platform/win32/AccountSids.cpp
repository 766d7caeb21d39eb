#include "platform/win32/AccountSids.h"

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <sddl.h>

#include <vector>

std::string SidText(PSID sid) {
    unique_hlocal text;
    if (!ConvertSidToStringSidW(sid, reinterpret_cast<LPWSTR *>(text.put()))) {
        throw Win32Error(GetLastError(), "ConvertSidToStringSidW");
    }
    return Narrow(static_cast<const wchar_t *>(text.get()));
}

namespace {

std::string ReadProcessUserSid() {
    unique_handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        throw Win32Error(GetLastError(), "OpenProcessToken");
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    // DWORD-aligned storage for the SID the structure points into.
    std::vector<DWORD> user((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    if (!GetTokenInformation(token.get(), TokenUser, user.data(),
                             static_cast<DWORD>(user.size() * sizeof(DWORD)), &size)) {
        throw Win32Error(GetLastError(), "GetTokenInformation");
    }
    return SidText(reinterpret_cast<const TOKEN_USER *>(user.data())->User.Sid);
}

} // namespace

std::string ProcessUserSid() {
    // The process's user stays the same while it runs: read once. A read
    // that fails is tried again next time.
    static const std::string sid = ReadProcessUserSid();
    return sid;
}
