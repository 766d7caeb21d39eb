#include "platform/win32/OrdinaryRename.h"

#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr char Procedure[] = "RenameOrdinaryFile";

AppError Refusal(const std::wstring &path, const std::string &what) {
    return AppError(ErrorCategory::Refusal, ERROR_ACCESS_DENIED,
                    Narrow(OrdinaryForm(path)) + " " + what, Procedure);
}

// Refuses, saying what it is, a file whose attributes show it is not an
// ordinary file.
void RefuseUnlessOrdinary(DWORD attributes, const std::wstring &path) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        throw Refusal(path, "is a link, not an ordinary file.");
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw Refusal(path, "is a folder, not a file.");
    }
    if (attributes & FILE_ATTRIBUTE_SYSTEM) {
        throw Refusal(path, "is a system file.");
    }
    if (attributes & FILE_ATTRIBUTE_HIDDEN) {
        throw Refusal(path, "is a hidden file.");
    }
}

// The path the system reaches the open file by, every link on the way
// followed, in ordinary form.
std::wstring FinalPath(HANDLE file) {
    // Room for an ordinary path at the first call: each call searches the
    // drives for the volume's letter, a few tenths of a millisecond under
    // Wine.
    DWORD needed = MAX_PATH + 1;
    for (;;) {
        std::wstring path(needed, L'\0');
        const DWORD written =
            GetFinalPathNameByHandleW(file, path.data(), needed, FILE_NAME_NORMALIZED);
        if (written == 0) {
            throw Win32Error(GetLastError(), "GetFinalPathNameByHandleW");
        }
        if (written < needed) {
            path.resize(written);
            return OrdinaryForm(path);
        }
        needed = written; // the room it needs, its NUL included
    }
}

// Gives the open file the name target, a full path: a bare name would be
// taken relative to the current folder, and a root folder handle is not
// accepted everywhere.
void RenameOpenFile(HANDLE file, const std::wstring &target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t);
    // new[] of bytes is aligned for any ordinary type, the handle in it too.
    const auto buffer = std::make_unique<unsigned char[]>(size);
    auto *const rename = new (buffer.get()) FILE_RENAME_INFO{};
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(buffer.get() + offsetof(FILE_RENAME_INFO, FileName), target.c_str(),
                nameBytes + sizeof(wchar_t));
    if (!SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(size))) {
        throw Win32Error(GetLastError(), "SetFileInformationByHandle");
    }
}

} // namespace

void RenameVerifiedFile(const std::wstring &from, const std::wstring &to, RenameMode mode) {
    const std::wstring source = FullForm(from);
    const std::wstring target = FullForm(to);
    const std::wstring folder = FolderOf(target);
    if (!SamePathText(OrdinaryForm(FolderOf(source)), OrdinaryForm(folder)) ||
        target.size() == folder.size() + 1) {
        throw AppError(ErrorCategory::Win32, ERROR_INVALID_PARAMETER,
                       Narrow(to) + " is not a new name in the folder of " + Narrow(from) + ".",
                       Procedure);
    }
    // The link itself, never what it points to. Opening for deletion fails
    // with a sharing violation while a program holds the file open without
    // sharing its deletion, as Quorvex does while it runs. Backup semantics
    // let a folder open, to be refused by name rather than with a bare
    // access denied.
    const unique_hfile file(
        CreateFileW(LongPathForm(source).c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        throw Win32Error(GetLastError(), "CreateFileW");
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)) {
        throw Win32Error(GetLastError(), "GetFileInformationByHandle");
    }
    RefuseUnlessOrdinary(information.dwFileAttributes, source);
    // A link in a folder on the way leads to a file somewhere else.
    const std::wstring reached = FinalPath(file.get());
    if (!SamePathText(reached, OrdinaryForm(source))) {
        throw Refusal(source, "leads through a link to " + Narrow(reached) + ".");
    }
    if (mode == RenameMode::TestOnly) {
        return;
    }
    RenameOpenFile(file.get(), target);
}
