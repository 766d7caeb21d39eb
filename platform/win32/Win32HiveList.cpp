#include "platform/win32/Win32HiveList.h"

#include "platform/win32/FinalPath.h"
#include "platform/win32/OpenExisting.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryNames.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <utility>

namespace {

constexpr wchar_t UsersPrefix[] = L"\\REGISTRY\\USER\\";

// The file's path on its device, in the form the list holds.
std::wstring DevicePath(const std::wstring &file) {
    // Attributes only: no share mode of the system's, which holds a loaded
    // hive's file shared with no one, stands in its way.
    const unique_hfile opened = OpenExisting(file, FILE_READ_ATTRIBUTES);
    if (!opened) {
        throw Win32ErrorOn(GetLastError(), Narrow(file), "CreateFileW");
    }
    std::optional<std::wstring> path = SystemFinalPath(opened.get(), VOLUME_NAME_NT);
    if (!path) {
        throw Win32ErrorOn(ERROR_PATH_NOT_FOUND, Narrow(file), "GetFinalPathNameByHandleW");
    }
    return std::move(*path);
}

} // namespace

std::optional<std::wstring> UsersKeyLoadedFrom(const std::wstring &file) {
    const std::wstring device = DevicePath(file);
    const unique_hkey list = OpenMachineKey(HiveListKey, HiveListName, KEY_QUERY_VALUE);
    const std::wstring prefix = UsersPrefix;
    for (const std::wstring &name : ValueNames(list.get(), HiveListName)) {
        std::wstring path;
        DWORD type = 0;
        if (name.size() <= prefix.size() || !SamePathText(name.substr(0, prefix.size()), prefix) ||
            ReadStoredText(list.get(), name.c_str(), path, type) != ERROR_SUCCESS ||
            !IsTextType(type) || !SamePathText(path, device)) {
            continue;
        }
        return name.substr(prefix.size());
    }
    return std::nullopt;
}
