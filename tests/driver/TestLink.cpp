#include "TestLink.h"

#include "UnderWine.h"
#include "Wait.h"
#include "platform/win32/UniqueHandles.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace {

// Wine's own export: the Unix path of a Windows one, or nothing elsewhere.
std::string UnixPath(const std::wstring &path) {
    using UnixFileName = char *(CDECL *)(const wchar_t *);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char *unixPath = unixFileName != nullptr ? unixFileName(path.c_str()) : nullptr;
    if (unixPath == nullptr) {
        throw std::runtime_error("no Unix path for a test link");
    }
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::wstring Quoted(const std::string &text) {
    return L" \"" + std::wstring(text.begin(), text.end()) + L"\"";
}

// Starts a Unix tool with these arguments. Wine hands it to the system and
// cannot wait for it: the caller watches for its effect.
void StartUnixTool(const wchar_t *tool, const std::wstring &arguments) {
    std::wstring commandLine = std::wstring(tool) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW((std::wstring(L"Z:\\bin\\") + tool).c_str(), commandLine.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start the Unix tool");
    }
    const unique_handle processHandle(process.hProcess);
    const unique_handle threadHandle(process.hThread);
}

bool LinkExists(const std::wstring &path) {
    WIN32_FIND_DATAW entry{};
    return static_cast<bool>(unique_find(FindFirstFileW(path.c_str(), &entry)));
}

} // namespace

TestLink::TestLink(std::wstring link, const std::wstring &target, Kind kind)
    : link_(std::move(link)), kind_(kind) {
    const DWORD folderFlag = kind == Kind::Folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    // Developer mode lets a user without the privilege make links.
    constexpr DWORD Unprivileged = 0x2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    if ((CreateSymbolicLinkW(link_.c_str(), target.c_str(), folderFlag | Unprivileged) ||
         CreateSymbolicLinkW(link_.c_str(), target.c_str(), folderFlag)) &&
        LinkExists(link_)) {
        return;
    }
    if (!UnderWine()) {
        throw std::runtime_error("cannot make a symbolic link: error " +
                                 std::to_string(GetLastError()) +
                                 " (Windows asks for the privilege or developer mode)");
    }
    StartUnixTool(L"ln", L"-s --" + Quoted(UnixPath(target)) + Quoted(UnixPath(link_)));
    if (!WaitUntil([&] { return LinkExists(link_); })) {
        throw std::runtime_error("the Unix link did not appear");
    }
    unixLink_ = true;
}

TestLink::~TestLink() {
    try {
        if (unixLink_) {
            StartUnixTool(L"rm", L"-f --" + Quoted(UnixPath(link_)));
            WaitUntil([&] { return !LinkExists(link_); });
        } else if (kind_ == Kind::Folder) {
            RemoveDirectoryW(link_.c_str());
        } else {
            DeleteFileW(link_.c_str());
        }
    } catch (const std::exception &) {
        // The temp folder goes soon anyway.
    }
}
