#pragma once

// A place where the program looks for a database: the default path, and the
// user's VirtualStore copy of it. The owner clears the file and its renamed
// copy for the test, makes the folders, and when it goes away puts back
// what was there and removes the folders it made.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class DatabaseSlot {
public:
    explicit DatabaseSlot(std::wstring path);
    DatabaseSlot(const DatabaseSlot &) = delete;
    DatabaseSlot &operator=(const DatabaseSlot &) = delete;
    ~DatabaseSlot();

    const std::wstring &Path() const { return path_; }
    std::wstring RenamedPath() const { return path_ + L".Advanced"; }
    void Create(const std::string &bytes) const;

private:
    struct SavedFile {
        std::string bytes;
        DWORD attributes;
    };
    static std::optional<SavedFile> Take(const std::wstring &path);
    static void PutBack(const std::wstring &path, const std::optional<SavedFile> &saved);

    std::wstring path_;
    std::vector<std::wstring> madeFolders_; // deepest last
    std::optional<SavedFile> database_;
    std::optional<SavedFile> renamed_;
};

// Where the program looks when no path is stored:
// C:\Program Files\Quorvex\QvxData.mdb.
class DefaultDatabase : public DatabaseSlot {
public:
    static const std::wstring Folder;
    static const std::wstring Path;
    static const std::wstring RenamedPath;

    DefaultDatabase() : DatabaseSlot(Path) {}
};

// The running user's VirtualStore copy of the default database, which
// Windows would make for a legacy program (Wine never does).
class VirtualStoreCopy : public DatabaseSlot {
public:
    static std::wstring PathOf(const std::wstring &database);
    VirtualStoreCopy() : DatabaseSlot(PathOf(DefaultDatabase::Path)) {}
};
