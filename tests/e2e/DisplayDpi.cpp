#include "DisplayDpi.h"

#include "UserKey.h"

#include <stdexcept>
#include <string>

namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t ValueName[] = L"LogPixels";

} // namespace

DisplayDpi::DisplayDpi(DWORD dpi) {
    const unique_hkey key = CreateUserKey(DesktopKey, "the desktop settings");
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), ValueName, nullptr, &type, reinterpret_cast<BYTE *>(&value),
                         &size) == ERROR_SUCCESS &&
        type == REG_DWORD) {
        original_ = value;
    }
    const LSTATUS status = RegSetValueExW(key.get(), ValueName, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE *>(&dpi), sizeof dpi);
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set the screen DPI: error " + std::to_string(status));
    }
}

DisplayDpi::~DisplayDpi() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, DesktopKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return;
    }
    const unique_hkey owned(key);
    if (original_) {
        RegSetValueExW(key, ValueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&*original_),
                       sizeof *original_);
    } else {
        RegDeleteValueW(key, ValueName);
    }
}
