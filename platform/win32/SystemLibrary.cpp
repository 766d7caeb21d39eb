#include "platform/win32/SystemLibrary.h"

#include "platform/win32/WideText.h"

#include <string>

namespace {

// The full path in the system folder: for systems without the search
// option (an unpatched Windows 7), where a bare name would be searched for
// beside the program first.
std::wstring SystemFolderPath(const wchar_t *name) {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0 || length >= folder.size()) {
        throw Win32Error(length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW,
                         "GetSystemDirectoryW");
    }
    folder.resize(length);
    return folder + L"\\" + name;
}

} // namespace

SystemLibrary::SystemLibrary(const wchar_t *name)
    : module_(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER) {
        // The DLLs it needs in turn are then looked for in its own folder.
        module_.reset(
            LoadLibraryExW(SystemFolderPath(name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    if (!module_) {
        throw Win32Error(GetLastError(), "LoadLibraryExW");
    }
}

FARPROC SystemLibrary::Address(const char *name) const {
    const FARPROC address = GetProcAddress(module_.get(), name);
    if (address == nullptr) {
        throw Win32Error(GetLastError(), "GetProcAddress");
    }
    return address;
}
