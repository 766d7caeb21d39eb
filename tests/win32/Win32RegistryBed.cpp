#include "contract/RegistryBed.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace {

// The real registry, below a key of the tests' own that is removed before
// and after each test.
class Win32RegistryBed : public RegistryBed {
public:
    Win32RegistryBed() { RemoveTestKeys(); }
    ~Win32RegistryBed() override { RemoveTestKeys(); }

    IRegistry &Registry() override { return registry_; }
    IAnsiCodePage &CodePage() override { return codePage_; }

    void Store(const std::string &name, std::uint32_t type, const std::string &bytes) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create the test key");
        }
        // A non-zero byte after the data: the registry would otherwise add a
        // NUL to a string stored without one.
        std::vector<BYTE> data(bytes.begin(), bytes.end());
        data.push_back('X');
        const LONG status = RegSetValueExA(key, name.c_str(), 0, type, data.data(),
                                           static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            throw std::runtime_error("cannot store the test value");
        }
    }

    void StoreUnicode(const std::string &name, const std::string &text,
                      const std::string &) override {
        const std::wstring wide = Widen(text);
        const LONG status = RegSetKeyValueW(
            HKEY_CURRENT_USER, Widen(KeyPath()).c_str(), Widen(name).c_str(), REG_SZ, wide.c_str(),
            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS) {
            throw std::runtime_error("cannot store the test value");
        }
    }

    std::optional<std::pair<std::uint32_t, std::string>> Stored(const std::string &name) override {
        DWORD type = 0;
        DWORD size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, KeyPath().c_str(), name.c_str(), RRF_RT_ANY, &type,
                         nullptr, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::string data(size, '\0');
        RegGetValueA(HKEY_CURRENT_USER, KeyPath().c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                     &type, data.data(), &size);
        data.resize(size);
        return std::make_pair(static_cast<std::uint32_t>(type), data);
    }

private:
    static void RemoveTestKeys() {
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string(Branch) + "\\" + Maker).c_str());
    }

    Win32Registry registry_;
    Win32AnsiCodePage codePage_;
};

} // namespace

std::unique_ptr<RegistryBed> MakeRegistryBed() { return std::make_unique<Win32RegistryBed>(); }
