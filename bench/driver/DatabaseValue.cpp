#include "DatabaseValue.h"

#include <array>
#include <stdexcept>

namespace {

constexpr wchar_t ValueName[] = L"Database";
// Each key on the way down to Torvane's, outermost first.
constexpr std::array<const wchar_t *, 3> KeyChain{L"SOFTWARE\\Kestrova",
                                                  L"SOFTWARE\\Kestrova\\Quorvex",
                                                  L"SOFTWARE\\Kestrova\\Quorvex\\Defaults"};

bool KeyExists(const wchar_t *path) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    const unique_hkey opened(status == ERROR_SUCCESS ? key : nullptr);
    return static_cast<bool>(opened);
}

} // namespace

DatabaseValue::DatabaseValue(const std::wstring &path) {
    while (existingKeys_ < KeyChain.size() && KeyExists(KeyChain[existingKeys_])) {
        ++existingKeys_;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyChain.back(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot open Torvane's registry key");
    }
    key_.reset(key);

    DWORD size = 0;
    hadValue_ = RegQueryValueExW(key, ValueName, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS;
    data_.resize(size);
    if (hadValue_) {
        RegQueryValueExW(key, ValueName, nullptr, &type_, data_.data(), &size);
        data_.resize(size);
    }

    const auto bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    if (RegSetValueExW(key, ValueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(path.c_str()),
                       bytes) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot set Torvane's Database value");
    }
}

DatabaseValue::~DatabaseValue() {
    if (hadValue_) {
        RegSetValueExW(key_.get(), ValueName, 0, type_, data_.data(),
                       static_cast<DWORD>(data_.size()));
    } else {
        RegDeleteValueW(key_.get(), ValueName);
    }
    key_.reset();
    for (std::size_t key = KeyChain.size(); key > existingKeys_; --key) {
        RegDeleteKeyW(HKEY_CURRENT_USER, KeyChain[key - 1]);
    }
}
