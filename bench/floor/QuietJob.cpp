#include "QuietJob.h"

#include "platform/win32/UniqueHandles.h"

#include <cstring>

namespace {

constexpr char DatabaseKey[] = "SOFTWARE\\Kestrova\\Quorvex\\Defaults";
// One read with room for the longest path the wide calls take, rather than
// a second call to ask the size.
constexpr DWORD PathCapacity = 32768;

} // namespace

LSTATUS ReadDatabasePath(HKEY root, const std::string &userKey, std::wstring &path) {
    unique_hkey key;
    LSTATUS status =
        RegOpenKeyExA(root, (userKey + DatabaseKey).c_str(), 0, KEY_QUERY_VALUE, key.put());
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::string ansi(PathCapacity, '\0');
    DWORD type = 0;
    DWORD size = PathCapacity;
    status = RegQueryValueExA(key.get(), "Database", nullptr, &type,
                              reinterpret_cast<BYTE *>(ansi.data()), &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (type != REG_SZ) {
        return ERROR_INVALID_DATA;
    }
    // The text ends at its NUL, or where the size says if stored without one.
    ansi.resize(strnlen(ansi.c_str(), size));
    // Each ANSI byte gives at most one UTF-16 unit.
    path.assign(ansi.size(), L'\0');
    path.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), path.data(),
                            static_cast<int>(path.size()))));
    return ERROR_SUCCESS;
}

DWORD SetAside(const std::wstring &path) {
    return MoveFileExW(path.c_str(), (path + L".Advanced").c_str(), 0) ? ERROR_SUCCESS
                                                                       : GetLastError();
}
