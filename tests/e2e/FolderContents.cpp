#include "FolderContents.h"

#include "TempFolder.h"
#include "platform/win32/UniqueHandles.h"

FolderContents ContentsOf(const std::wstring &folder) {
    FolderContents contents;
    WIN32_FIND_DATAW entry{};
    unique_find search(FindFirstFileW(Extended(folder + L"\\*").c_str(), &entry));
    if (!search) {
        return contents;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        contents[name] = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                             ? "(folder)"
                             : ReadFile(folder + L"\\" + name);
    } while (FindNextFileW(search.get(), &entry));
    return contents;
}
