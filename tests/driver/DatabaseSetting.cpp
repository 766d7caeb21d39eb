#include "DatabaseSetting.h"

#include "UserKey.h"

#include <array>
#include <iomanip>
#include <stdexcept>

namespace {

constexpr wchar_t ValueName[] = L"Database";
// Each key on the way down to the program's, outermost first.
constexpr std::array<const wchar_t *, 4> KeyChain{L"SOFTWARE", L"SOFTWARE\\Kestrova",
                                                  L"SOFTWARE\\Kestrova\\Quorvex",
                                                  L"SOFTWARE\\Kestrova\\Quorvex\\Defaults"};
const wchar_t *const ProgramKey = KeyChain.back();

unique_hkey OpenKey(const wchar_t *path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return unique_hkey();
    }
    return unique_hkey(key);
}

} // namespace

std::ostream &operator<<(std::ostream &out, const StoredValue &value) {
    if (!value.present) {
        return out << "(no value)";
    }
    out << "type " << value.type << ", bytes";
    for (BYTE byte : value.data) {
        out << ' ' << std::hex << std::setw(2) << std::setfill('0') << int{byte};
    }
    return out << std::dec;
}

DatabaseSetting::DatabaseSetting() : original_(Read()) {
    while (existingKeys_ < KeyChain.size() && OpenKey(KeyChain[existingKeys_])) {
        ++existingKeys_;
    }
}

DatabaseSetting::~DatabaseSetting() {
    try {
        Write(original_);
    } catch (const std::exception &) {
        // Nothing more can be put back.
    }
    for (std::size_t key = KeyChain.size(); key > existingKeys_; --key) {
        RegDeleteKeyW(HKEY_CURRENT_USER, KeyChain[key - 1]);
    }
}

void DatabaseSetting::Store(const std::wstring &text) const {
    const auto *bytes = reinterpret_cast<const BYTE *>(text.c_str());
    Write({true, REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))});
}

void DatabaseSetting::Remove() const { Write({}); }

StoredValue DatabaseSetting::Read() {
    StoredValue value;
    const unique_hkey key = OpenKey(ProgramKey);
    DWORD size = 0;
    if (!key || RegQueryValueExW(key.get(), ValueName, nullptr, &value.type, nullptr, &size) !=
                    ERROR_SUCCESS) {
        return {};
    }
    value.present = true;
    value.data.resize(size);
    RegQueryValueExW(key.get(), ValueName, nullptr, &value.type, value.data.data(), &size);
    value.data.resize(size);
    return value;
}

void DatabaseSetting::Write(const StoredValue &value) const {
    const unique_hkey key = CreateUserKey(ProgramKey, "the program's key");
    const LSTATUS status =
        value.present ? RegSetValueExW(key.get(), ValueName, 0, value.type, value.data.data(),
                                       static_cast<DWORD>(value.data.size()))
                      : RegDeleteValueW(key.get(), ValueName);
    if (status != ERROR_SUCCESS && !(status == ERROR_FILE_NOT_FOUND && !value.present)) {
        throw std::runtime_error("cannot change the Database value: error " +
                                 std::to_string(status));
    }
}
