#include "platform/win32/Win32Application.h"

#include "platform/win32/WideText.h"

#include <vector>

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
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(modulePath.c_str(), &ignored);
    if (size == 0) {
        throw Win32Error(GetLastError());
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(modulePath.c_str(), 0, size, block.data())) {
        throw Win32Error(GetLastError());
    }
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT fixedSize = 0;
    wchar_t *productName = nullptr;
    UINT nameLength = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &fixedSize) ||
        fixedSize < sizeof(VS_FIXEDFILEINFO) ||
        !VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductName",
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
