#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/FinalPath.h"
#include "platform/win32/HeldFile.h"
#include "platform/win32/OpenExisting.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <optional>

namespace {

constexpr DWORD NotANormalFile =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

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

std::unique_ptr<IHeldFile> Win32FileSystem::OpenForMove(const std::string &from,
                                                        const std::string &to,
                                                        const std::string &allowedFolder) {
    return OpenHeldFile(Widen(from), Widen(to), Widen(allowedFolder));
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

std::optional<std::string> Win32FileSystem::FinalPath(const std::string &path) {
    const unique_hfile opened = OpenExisting(Widen(path), FILE_READ_ATTRIBUTES);
    if (!opened) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) {
            return std::nullopt;
        }
        throw Win32ErrorOn(error, path, "CreateFileW");
    }
    return Narrow(FinalPathOf(opened.get()));
}

bool Win32FileSystem::IsNetworkDrive(const std::string &root) {
    return GetDriveTypeW(Widen(root).c_str()) == DRIVE_REMOTE;
}
