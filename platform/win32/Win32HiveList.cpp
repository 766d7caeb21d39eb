#include "platform/win32/Win32HiveList.h"

#include "platform/win32/FinalPath.h"
#include "platform/win32/OpenExisting.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

#include <utility>

namespace {

// A value for each hive loaded, named by its key (\REGISTRY\USER\<SID>)
// and holding the path of its file on its device
// (\Device\HarddiskVolume3\Users\ann\NTUSER.DAT).
constexpr wchar_t HiveList[] = L"SYSTEM\\CurrentControlSet\\Control\\hivelist";
constexpr char HiveListName[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\hivelist";
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
    unique_hkey list;
    const LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, HiveList, 0,
                                         KEY_QUERY_VALUE | KEY_WOW64_64KEY, list.put());
    if (opened != ERROR_SUCCESS) {
        throw Win32ErrorOn(static_cast<DWORD>(opened), HiveListName, "RegOpenKeyExW");
    }
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
