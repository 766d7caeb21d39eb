#include "platform/win32/Win32LogPlaces.h"

#include "platform/win32/AccountSids.h"
#include "platform/win32/FinalPath.h"
#include "platform/win32/OpenExisting.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/SecurityFromSddl.h"
#include "platform/win32/WideText.h"

#include <aclapi.h>

#include <vector>

namespace {

// DOMAIN\name, or the SID itself for an account the system cannot name.
std::string AccountName(PSID sid) {
    DWORD nameSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use{};
    LookupAccountSidW(nullptr, sid, nullptr, &nameSize, nullptr, &domainSize, &use);
    if (nameSize == 0) {
        return SidText(sid);
    }
    std::vector<wchar_t> name(nameSize);
    std::vector<wchar_t> domain(domainSize + 1);
    if (!LookupAccountSidW(nullptr, sid, name.data(), &nameSize, domain.data(), &domainSize,
                           &use)) {
        return SidText(sid);
    }
    const std::wstring account(name.data());
    return Narrow(domain[0] == L'\0' ? account : std::wstring(domain.data()) + L"\\" + account);
}

// What the handle, opened without following a link, is: read through it,
// never through the path again.
LogPlaceEntry Describe(HANDLE handle) {
    LogPlaceEntry entry;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) {
        throw Win32Error(GetLastError(), "GetFileInformationByHandleEx");
    }
    entry.link = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                 IsReparseTagNameSurrogate(tag.ReparseTag);
    PSID owner = nullptr;
    unique_hlocal descriptor;
    const DWORD status = GetSecurityInfo(
        handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
        reinterpret_cast<PSECURITY_DESCRIPTOR *>(descriptor.put()));
    if (status != ERROR_SUCCESS) {
        throw Win32Error(status, "GetSecurityInfo");
    }
    entry.ownerSid = SidText(owner);
    entry.ownerName = AccountName(owner);
    entry.finalPath = Narrow(FinalPathOf(handle));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) {
        throw Win32Error(GetLastError(), "GetFileInformationByHandle");
    }
    entry.names = information.nNumberOfLinks;
    return entry;
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Tries at making or opening a log that other processes make and remove.
constexpr int OpenTries = 3;

} // namespace

std::string Win32LogPlaces::FullPath(const std::string &path) {
    return Narrow(FullForm(Widen(path)));
}

bool Win32LogPlaces::SamePath(const std::string &a, const std::string &b) {
    return SamePathText(Widen(a), Widen(b));
}

bool Win32LogPlaces::Exists(const std::string &path) {
    return GetFileAttributesW(LongPathForm(Widen(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<LogPlaceEntry> Win32LogPlaces::LookAt(const std::string &path) {
    // The folder itself, not where a link leads; backup semantics let a
    // folder open at all.
    const unique_hfile folder = OpenExisting(Widen(path), FILE_READ_ATTRIBUTES | READ_CONTROL,
                                             FILE_FLAG_OPEN_REPARSE_POINT);
    if (!folder) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) {
            return std::nullopt;
        }
        throw Win32Error(error, "CreateFileW");
    }
    return Describe(folder.get());
}

void Win32LogPlaces::MakeFolder(const std::string &path, const std::string &sddl) {
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    unique_hlocal descriptor;
    if (!sddl.empty()) {
        descriptor = SecurityFromSddl(sddl);
        attributes.lpSecurityDescriptor = descriptor.get();
    }
    if (!CreateDirectoryW(LongPathForm(Widen(path)).c_str(),
                          sddl.empty() ? nullptr : &attributes)) {
        throw Win32Error(GetLastError(), "CreateDirectoryW");
    }
}

OpenedLog Win32LogPlaces::OpenLogFile(const std::string &path, bool guarded) {
    // Appending only: an earlier run's lines are never overwritten, and
    // another run may read or append at the same time. Guarded, a link is
    // opened as itself, to be refused. Shared for deleting too, so a log
    // this run made can be removed through its own handle while another
    // run has it open.
    const std::wstring name = LongPathForm(Widen(path));
    const DWORD access = FILE_APPEND_DATA | (guarded ? READ_CONTROL | FILE_READ_ATTRIBUTES : 0);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (guarded ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    OpenedLog opened;
    // Made new or opened as it was, and which of the two known for sure; a
    // guarded log made new may be removed through its own handle.
    for (int tries = 1;; ++tries) {
        log_.reset(CreateFileW(name.c_str(), access | (guarded ? DELETE : 0), share, nullptr,
                               CREATE_NEW, flags, nullptr));
        if (log_) {
            break;
        }
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS) {
            log_.reset(
                CreateFileW(name.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
            if (log_) {
                opened.existed = true;
                break;
            }
            error = GetLastError();
            // Removed in between: made anew.
            if (IsMissing(error) && tries < OpenTries) {
                continue;
            }
        }
        throw Win32Error(error, "CreateFileW");
    }
    if (guarded) {
        try {
            opened.entry = Describe(log_.get());
        } catch (...) {
            opened.existed ? CloseLogFile() : RemoveLogFile();
            throw;
        }
    }
    return opened;
}

void Win32LogPlaces::RemoveLogFile() {
    FILE_DISPOSITION_INFO deleted{TRUE};
    // A log that cannot be removed is left empty: the refusal is what the
    // run reports.
    SetFileInformationByHandle(log_.get(), FileDispositionInfo, &deleted, sizeof deleted);
    log_.reset();
}

std::string Win32LogPlaces::RunUserSid() { return ProcessUserSid(); }
