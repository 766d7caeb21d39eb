#include "platform/win32/Win32Application.h"

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

#include <vector>

namespace {

// The version functions, from version.dll in the system folder: a
// version.dll beside the program must never be the one used.
struct VersionLibrary {
    SystemLibrary library{L"version.dll"};
    decltype(&GetFileVersionInfoSizeW) getFileVersionInfoSize =
        library.Get<decltype(&GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    decltype(&GetFileVersionInfoW) getFileVersionInfo =
        library.Get<decltype(&GetFileVersionInfoW)>("GetFileVersionInfoW");
    decltype(&VerQueryValueW) verQueryValue =
        library.Get<decltype(&VerQueryValueW)>("VerQueryValueW");
};

} // namespace

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            throw Win32Error(GetLastError());
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

AppInfo ReadVersionInfo(const std::wstring &modulePath) {
    const VersionLibrary version;
    DWORD ignored = 0;
    const DWORD size = version.getFileVersionInfoSize(modulePath.c_str(), &ignored);
    if (size == 0) {
        throw Win32Error(GetLastError());
    }
    std::vector<unsigned char> block(size);
    if (!version.getFileVersionInfo(modulePath.c_str(), 0, size, block.data())) {
        throw Win32Error(GetLastError());
    }
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT fixedSize = 0;
    wchar_t *productName = nullptr;
    UINT nameLength = 0;
    if (!version.verQueryValue(block.data(), L"\\", reinterpret_cast<void **>(&fixed),
                               &fixedSize) ||
        fixedSize < sizeof(VS_FIXEDFILEINFO) ||
        !version.verQueryValue(block.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void **>(&productName), &nameLength)) {
        throw Win32Error(ERROR_RESOURCE_TYPE_NOT_FOUND);
    }
    AppInfo info;
    info.productName = Narrow(std::wstring(productName, wcsnlen(productName, nameLength)));
    info.major = HIWORD(fixed->dwFileVersionMS);
    info.minor = LOWORD(fixed->dwFileVersionMS);
    info.revision = LOWORD(fixed->dwFileVersionLS);
    return info;
}

AppInfo Win32Application::Info() {
    if (!info_) {
        info_ = ReadVersionInfo(ExecutablePath());
    }
    return *info_;
}

void Win32Application::End(int exitCode) {
    if (exitCode_) {
        return;
    }
    exitCode_ = exitCode;
    // Nothing may run after the end: the window goes away and the message
    // loop stops.
    if (mainWindow_ != nullptr) {
        ShowWindow(mainWindow_, SW_HIDE);
    }
    PostQuitMessage(exitCode);
}

std::string Win32Application::ErrorText(std::int32_t code) {
    return SystemErrorText(static_cast<DWORD>(code));
}
