#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temp folder, removed with everything in it when
// the owner goes out of scope. Paths are wide and may be of any length.
class TempFolder {
public:
    explicit TempFolder(const std::wstring &name);
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    ~TempFolder();

    const std::wstring &Path() const { return path_; }
    std::wstring operator/(const std::wstring &child) const { return path_ + L"\\" + child; }

private:
    std::wstring path_;
};

// Test files, written and read in whole.
void WriteFile(const std::wstring &path, const std::string &bytes, DWORD attributes = 0);
std::string ReadFile(const std::wstring &path);
bool Exists(const std::wstring &path);
// Makes the missing folders on the way to path (a full path), its own folder
// last; gives those it made, from the top down.
std::vector<std::wstring> MakeFoldersFor(const std::wstring &path);
// The \\?\ form of an absolute path, for creating paths of any length.
std::wstring Extended(const std::wstring &path);
