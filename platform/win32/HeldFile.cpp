#include "platform/win32/HeldFile.h"

#include "platform/win32/OpenExisting.h"
#include "platform/win32/OrdinaryFile.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

namespace {

constexpr char Procedure[] = "OpenForMove";

// The file itself, never what a link points to, opened as a rename through
// its handle needs it: for its deletion. Never shared for deletion, so the
// open fails with a sharing violation while another program has the file
// open without sharing its deletion (as Quorvex has while it runs), and no
// such program opens it while it is held; a scanner's brief read that
// shares everything stands in no one's way.
// A folder opens too.
unique_hfile OpenToMove(const std::wstring &path) {
    unique_hfile file(
        CreateFileW(LongPathForm(path).c_str(), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        throw Win32Error(GetLastError(), "CreateFileW");
    }
    return file;
}

// Fails, before anything moves, when no name can be added to the folder
// that is to hold target: the run may not (5), as the rename would find, or
// another program holds the folder without sharing that right (32).
// Backup semantics only let a folder open: they pass over its security with
// the backup and restore privileges enabled, which the run enables only
// while it loads a hive.
void TestFolderTakesName(const std::wstring &target) {
    if (!OpenExisting(OpenableFolderOf(target), FILE_ADD_FILE)) {
        throw Win32Error(GetLastError(), "CreateFileW");
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

class HeldFile : public IHeldFile {
public:
    HeldFile(unique_hfile file, std::wstring target)
        : file_(std::move(file)), target_(std::move(target)) {}

    void Rename() override {
        if (asked_) {
            throw AppError(ErrorCategory::Program, ErrorNumber::Internal,
                           Narrow(OrdinaryForm(target_)) + ": a held file is renamed once only.",
                           "Rename");
        }
        asked_ = true;
        RenameOpenFile(file_.get(), target_);
        // Renamed: nothing is left to hold it for.
        file_.reset();
    }

private:
    unique_hfile file_;
    std::wstring target_;
    bool asked_ = false;
};

} // namespace

std::unique_ptr<IHeldFile> OpenHeldFile(const std::wstring &from, const std::wstring &to,
                                        const std::wstring &allowedFolder) {
    const std::wstring source = FullForm(from);
    const std::wstring target = FullForm(to);
    const std::wstring folder = FolderOf(target);
    if (!SamePathText(OrdinaryForm(FolderOf(source)), OrdinaryForm(folder)) ||
        target.size() == folder.size() + 1) {
        throw AppError(ErrorCategory::Win32, ERROR_INVALID_PARAMETER,
                       Narrow(to) + " is not a new name in the folder of " + Narrow(from) + ".",
                       Procedure);
    }
    unique_hfile file = OpenToMove(source);
    std::wstring newPath = LongPathForm(target);
    if (!allowedFolder.empty()) {
        // The new name goes in the folder the file was found in, not the
        // one written, which could be made to lead elsewhere meanwhile.
        const std::wstring reached = OrdinaryFinalPath(file.get(), source, FullForm(allowedFolder));
        newPath = FolderOf(reached) + L"\\" + target.substr(folder.size() + 1);
    }
    TestFolderTakesName(newPath);
    return std::make_unique<HeldFile>(std::move(file), std::move(newPath));
}
