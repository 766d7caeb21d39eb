#include "UserKey.h"

#include <stdexcept>
#include <string>

unique_hkey CreateUserKey(const wchar_t *path, const char *what) {
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                           KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string("cannot open ") + what + ": error " +
                                 std::to_string(status));
    }
    return unique_hkey(key);
}
