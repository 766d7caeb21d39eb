#include "DatabaseSlot.h"

#include "TempFolder.h"

#include <stdexcept>

const std::wstring DefaultDatabase::Folder = L"C:\\Program Files\\Quorvex";
const std::wstring DefaultDatabase::Path = Folder + L"\\QvxData.mdb";
const std::wstring DefaultDatabase::RenamedPath = Path + L".Advanced";

std::wstring VirtualStoreCopy::PathOf(const std::wstring &database) {
    wchar_t localAppData[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH) == 0) {
        throw std::runtime_error("no LOCALAPPDATA");
    }
    return std::wstring(localAppData) + L"\\VirtualStore" + database.substr(2);
}

DatabaseSlot::DatabaseSlot(std::wstring path)
    : path_(std::move(path)), madeFolders_(MakeFoldersFor(path_)) {
    database_ = Take(path_);
    renamed_ = Take(RenamedPath());
}

DatabaseSlot::~DatabaseSlot() {
    try {
        PutBack(path_, database_);
        PutBack(RenamedPath(), renamed_);
    } catch (const std::exception &) {
        // Nothing more can be put back.
    }
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
        RemoveDirectoryW(folder->c_str());
    }
}

void DatabaseSlot::Create(const std::string &bytes) const { WriteFile(path_, bytes); }

// Reads the file at path, if any, and removes it.
std::optional<DatabaseSlot::SavedFile> DatabaseSlot::Take(const std::wstring &path) {
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
void DatabaseSlot::PutBack(const std::wstring &path, const std::optional<SavedFile> &saved) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    if (saved) {
        WriteFile(path, saved->bytes, saved->attributes);
    }
}
