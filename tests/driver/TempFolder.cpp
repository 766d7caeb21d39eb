#include "TempFolder.h"

#include "platform/win32/UniqueHandles.h"

#include <stdexcept>
#include <vector>

namespace {

void RemoveTree(const std::wstring &folder) {
    WIN32_FIND_DATAW entry{};
    unique_find search(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = folder + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            // A link to a folder goes by itself: what it points to may lie
            // outside the tree.
            const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder && (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                RemoveDirectoryW(child.c_str());
            } else if (isFolder) {
                RemoveTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search.get(), &entry));
    }
    search.reset();
    RemoveDirectoryW(folder.c_str());
}

} // namespace

std::wstring Extended(const std::wstring &path) {
    return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

TempFolder::TempFolder(const std::wstring &name) {
    std::vector<wchar_t> temp(MAX_PATH + 1);
    const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    std::wstring base(temp.data(), length);
    if (!base.empty() && base.back() == L'\\') {
        base.pop_back();
    }
    path_ = base + L"\\" + name;
    RemoveTree(Extended(path_));
    if (!CreateDirectoryW(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create the test folder");
    }
}

TempFolder::~TempFolder() { RemoveTree(Extended(path_)); }

void WriteFile(const std::wstring &path, const std::string &bytes, DWORD attributes) {
    {
        unique_hfile file(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr)) {
            throw std::runtime_error("cannot create a test file");
        }
    }
    if (attributes != 0) {
        SetFileAttributesW(Extended(path).c_str(), attributes);
    }
}

std::string ReadFile(const std::wstring &path) {
    unique_hfile file(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) {
        throw std::runtime_error("cannot open a test file");
    }
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

bool Exists(const std::wstring &path) {
    return GetFileAttributesW(Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> MakeFoldersFor(const std::wstring &path) {
    std::vector<std::wstring> made;
    for (std::size_t end = path.find(L'\\', 3); end != std::wstring::npos;
         end = path.find(L'\\', end + 1)) {
        const std::wstring folder = path.substr(0, end);
        if (!Exists(folder) && CreateDirectoryW(folder.c_str(), nullptr)) {
            made.push_back(folder);
        }
    }
    return made;
}
