#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/OpenExisting.h"
#include "platform/win32/OrdinaryRename.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <algorithm>
#include <optional>

namespace {

constexpr DWORD NotANormalFile =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// What tells one file from every other: its volume and its index there.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;

    bool operator==(const FileIdentity &other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};

// The identity of the file or folder at path, or nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::wstring &path) {
    // Attributes only, shared every way, so a file another program holds
    // open is still identified; backup semantics let a folder open too.
    const unique_hfile file = OpenExisting(path, FILE_READ_ATTRIBUTES);
    if (!file) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) {
            return std::nullopt;
        }
        throw Win32Error(error, "CreateFileW");
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)) {
        throw Win32Error(GetLastError(), "GetFileInformationByHandle");
    }
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                        information.nFileIndexLow};
}

// The folder that holds path, a full path, as a path that opens it: a
// drive's or a share's root keeps its backslash ("C:" alone is the drive's
// current folder).
std::wstring OpenableFolderOf(const std::wstring &path) {
    std::wstring folder = FolderOf(path);
    const bool share =
        folder.rfind(L"\\\\", 0) == 0 && std::count(folder.begin(), folder.end(), L'\\') < 4;
    if (!folder.empty() && (folder.back() == L':' || share)) {
        folder.push_back(L'\\');
    }
    return folder;
}

} // namespace

std::string Win32FileSystem::FirstMatchingFile(const std::string &path) {
    WIN32_FIND_DATAW entry{};
    unique_find search(FindFirstFileW(LongPathForm(Widen(path)).c_str(), &entry));
    if (!search) {
        const DWORD error = GetLastError();
        if (IsMissing(error) || error == ERROR_NO_MORE_FILES) {
            return {};
        }
        throw Win32Error(error, "FindFirstFileW");
    }
    do {
        if ((entry.dwFileAttributes & NotANormalFile) == 0) {
            return Narrow(entry.cFileName);
        }
    } while (FindNextFileW(search.get(), &entry));
    return {};
}

void Win32FileSystem::RenameFile(const std::string &from, const std::string &to, RenameMode mode) {
    if (mode == RenameMode::TestOnly) {
        // What the move meets first: the file's own name opened for its
        // deletion. The move renames a link itself, and a folder too.
        OpenForRename(Widen(from));
        return;
    }
    std::wstring source = Widen(from);
    std::wstring target = Widen(to);
    // Both names take the same form, so a long target never meets a short
    // source that Windows would normalise differently.
    if (source.size() >= MAX_PATH || target.size() >= MAX_PATH) {
        source = ExtendedForm(source);
        target = ExtendedForm(target);
    }
    // No MOVEFILE_REPLACE_EXISTING: an existing file is never overwritten.
    if (!MoveFileExW(source.c_str(), target.c_str(), 0)) {
        throw Win32Error(GetLastError(), "MoveFileExW");
    }
}

std::string Win32FileSystem::FullPath(const std::string &path) {
    return Narrow(FullForm(Widen(path)));
}

PathKind Win32FileSystem::KindOf(const std::string &path) {
    const DWORD attributes = GetFileAttributesW(LongPathForm(Widen(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) {
            return PathKind::Nothing;
        }
        throw Win32Error(error, "GetFileAttributesW");
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return PathKind::Folder;
    }
    if (attributes & FILE_ATTRIBUTE_SYSTEM) {
        return PathKind::SystemFile;
    }
    if (attributes & FILE_ATTRIBUTE_HIDDEN) {
        return PathKind::HiddenFile;
    }
    return PathKind::NormalFile;
}

bool Win32FileSystem::SameExistingFile(const std::string &a, const std::string &b) {
    const std::optional<FileIdentity> first = IdentityOf(Widen(a));
    if (!first) {
        return false;
    }
    const std::optional<FileIdentity> second = IdentityOf(Widen(b));
    return second && *first == *second;
}

void Win32FileSystem::RenameOrdinaryFile(const std::string &from, const std::string &to,
                                         const std::string &allowedFolder, RenameMode mode) {
    RenameVerifiedFile(Widen(from), Widen(to), Widen(allowedFolder), mode);
}

bool Win32FileSystem::SameName(const std::string &a, const std::string &b) {
    return SamePathText(Widen(a), Widen(b));
}

bool Win32FileSystem::SameEntry(const std::string &a, const std::string &b) {
    const std::wstring first = FullForm(Widen(a));
    const std::wstring second = FullForm(Widen(b));
    if (!SamePathText(first.substr(FolderOf(first).size()),
                      second.substr(FolderOf(second).size()))) {
        return false;
    }
    const std::optional<FileIdentity> folder = IdentityOf(OpenableFolderOf(first));
    return folder && folder == IdentityOf(OpenableFolderOf(second));
}

bool Win32FileSystem::IsNetworkDrive(const std::string &root) {
    return GetDriveTypeW(Widen(root).c_str()) == DRIVE_REMOTE;
}
