#pragma once

// The database where the program looks when no path is stored:
// C:\Program Files\Quorvex\QvxData.mdb. The owner clears it and its renamed
// copy for the test, and puts back what was there when it goes away.

#include <windows.h>

#include <optional>
#include <string>

class DefaultDatabase {
public:
    static const std::wstring Folder;
    static const std::wstring Path;
    static const std::wstring RenamedPath;

    DefaultDatabase();
    DefaultDatabase(const DefaultDatabase &) = delete;
    DefaultDatabase &operator=(const DefaultDatabase &) = delete;
    ~DefaultDatabase();

    void Create(const std::string &bytes) const;

private:
    struct SavedFile {
        std::string bytes;
        DWORD attributes;
    };
    static std::optional<SavedFile> Take(const std::wstring &path);
    static void PutBack(const std::wstring &path, const std::optional<SavedFile> &saved);

    bool folderExisted_;
    std::optional<SavedFile> database_;
    std::optional<SavedFile> renamed_;
};
