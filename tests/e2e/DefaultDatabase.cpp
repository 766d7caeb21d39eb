#include "DefaultDatabase.h"

#include "TempFolder.h"

const std::wstring DefaultDatabase::Folder = L"C:\\Program Files\\Quorvex";
const std::wstring DefaultDatabase::Path = Folder + L"\\QvxData.mdb";
const std::wstring DefaultDatabase::RenamedPath = Path + L".Advanced";

DefaultDatabase::DefaultDatabase()
    : folderExisted_(Exists(Folder)), database_(Take(Path)), renamed_(Take(RenamedPath)) {
    CreateDirectoryW(Folder.c_str(), nullptr);
}

DefaultDatabase::~DefaultDatabase() {
    try {
        PutBack(Path, database_);
        PutBack(RenamedPath, renamed_);
    } catch (const std::exception &) {
        // Nothing more can be put back.
    }
    if (!folderExisted_) {
        RemoveDirectoryW(Folder.c_str());
    }
}

void DefaultDatabase::Create(const std::string &bytes) const { WriteFile(Path, bytes); }

// Reads the file at path, if any, and removes it.
std::optional<DefaultDatabase::SavedFile> DefaultDatabase::Take(const std::wstring &path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    SavedFile saved{ReadFile(path), attributes};
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return saved;
}

// Leaves path as it was saved: the same file, or none.
void DefaultDatabase::PutBack(const std::wstring &path, const std::optional<SavedFile> &saved) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    if (saved) {
        WriteFile(path, saved->bytes, saved->attributes);
    }
}
