#include "GroupRename.h"

#include "platform/win32/UniqueHandles.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace {

constexpr wchar_t LongPathPrefix[] = L"\\\\?\\";
constexpr wchar_t RenamedSuffix[] = L".Advanced";
// Room for the longest path the wide calls give.
constexpr DWORD PathCapacity = 32768;

struct OpenCopy {
    unique_hfile file;
    std::wstring finalPath; // as the system gives it: \\?\C:\...
};

bool IsNothingThere(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

DWORD FinalPathOf(HANDLE file, std::wstring &path) {
    path.assign(PathCapacity, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file, path.data(), PathCapacity,
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= PathCapacity) {
        return length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
    }
    path.resize(length);
    return ERROR_SUCCESS;
}

// The final path lies inside allowed as written; else, when a link on the
// way (a moved profiles folder) leads there, inside the folder's own final
// path.
bool ReachedInside(const std::wstring &finalPath, const std::wstring &allowed) {
    if (LiesInFolder(finalPath, LongPathPrefix + allowed)) {
        return true;
    }
    const unique_hfile folder(CreateFileW(allowed.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                          nullptr));
    std::wstring folderPath;
    return folder && FinalPathOf(folder.get(), folderPath) == ERROR_SUCCESS &&
           LiesInFolder(finalPath, folderPath);
}

// Opens the copy for its move and checks it through that handle: 0 with
// opened set, ERROR_FILE_NOT_FOUND when there is nothing to count there,
// else why it cannot be moved.
DWORD OpenChecked(const FloorCopy &copy, OpenCopy &opened) {
    unique_hfile file(CreateFileW(copy.path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        return GetLastError();
    }
    FILE_ATTRIBUTE_TAG_INFO information{};
    if (!GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &information,
                                      sizeof information)) {
        return GetLastError();
    }
    if (information.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        return ERROR_FILE_NOT_FOUND;
    }
    if ((information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        IsReparseTagNameSurrogate(information.ReparseTag)) {
        return ERROR_ACCESS_DENIED;
    }
    std::wstring finalPath;
    if (const DWORD error = FinalPathOf(file.get(), finalPath); error != ERROR_SUCCESS) {
        return error;
    }
    if (!copy.allowedFolder.empty() && !ReachedInside(finalPath, copy.allowedFolder)) {
        return ERROR_ACCESS_DENIED;
    }
    // The new name goes in the folder the file was found in.
    const std::wstring folder = finalPath.substr(0, finalPath.find_last_of(L'\\'));
    const unique_hfile addable(CreateFileW(
        folder.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!addable) {
        return GetLastError();
    }
    opened = {std::move(file), std::move(finalPath)};
    return ERROR_SUCCESS;
}

// Gives the open file the full path target, never replacing a file there.
DWORD RenameOpenFile(HANDLE file, const std::wstring &target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t);
    std::vector<unsigned char> buffer(size);
    auto *const rename = new (buffer.data()) FILE_RENAME_INFO{};
    rename->ReplaceIfExists = FALSE;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(buffer.data() + offsetof(FILE_RENAME_INFO, FileName), target.c_str(),
                nameBytes + sizeof(wchar_t));
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(size))
               ? ERROR_SUCCESS
               : GetLastError();
}

} // namespace

bool LiesInFolder(const std::wstring &path, const std::wstring &folder) {
    std::size_t length = folder.size();
    if (length > 0 && folder[length - 1] == L'\\') {
        --length; // a root folder, written with its backslash
    }
    return length > 0 && path.size() > length + 1 && path[length] == L'\\' &&
           CompareStringOrdinal(path.data(), static_cast<int>(length), folder.data(),
                                static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

DWORD SetAsideTogether(const std::vector<FloorCopy> &group) {
    DWORD result = ERROR_SUCCESS;
    const auto failed = [&](DWORD error) {
        if (result == ERROR_SUCCESS) {
            result = error;
        }
    };
    std::vector<OpenCopy> open;
    for (const FloorCopy &copy : group) {
        OpenCopy opened;
        const DWORD error = OpenChecked(copy, opened);
        if (error == ERROR_SHARING_VIOLATION) {
            return error;
        }
        if (error == ERROR_SUCCESS) {
            open.push_back(std::move(opened));
        } else if (!IsNothingThere(error)) {
            failed(error);
        }
    }
    std::vector<const OpenCopy *> moved;
    for (const OpenCopy &copy : open) {
        const DWORD error = RenameOpenFile(copy.file.get(), copy.finalPath + RenamedSuffix);
        if (error == ERROR_SUCCESS) {
            moved.push_back(&copy);
        } else if (error == ERROR_ALREADY_EXISTS) {
            failed(error);
        } else {
            for (const OpenCopy *back : moved) {
                RenameOpenFile(back->file.get(), back->finalPath);
            }
            failed(error);
            break;
        }
    }
    return result;
}
