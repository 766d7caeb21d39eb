#include "contract/RegistryBed.h"
#include "fakes/FakeServices.h"

namespace {

class FakeRegistryBed : public RegistryBed {
public:
    IRegistry &Registry() override { return registry_; }
    IAnsiCodePage &CodePage() override { return codePage_; }
    void Store(const std::string &name, std::uint32_t type, const std::string &bytes) override {
        registry_.Store(HKEY_CURRENT_USER_VALUE, KeyPath(), name, type, bytes);
    }
    void StoreUnicode(const std::string &name, const std::string &text,
                      const std::string &ansiLookAlike) override {
        registry_.StoreUnicode(HKEY_CURRENT_USER_VALUE, KeyPath(), name, text, ansiLookAlike);
    }
    std::optional<std::pair<std::uint32_t, std::string>> Stored(const std::string &name) override {
        const auto value = registry_.Stored(HKEY_CURRENT_USER_VALUE, KeyPath(), name);
        if (!value) {
            return std::nullopt;
        }
        return std::make_pair(value->type, value->data);
    }

private:
    FakeRegistry registry_;
    FakeCodePage codePage_;
};

} // namespace

std::unique_ptr<RegistryBed> MakeRegistryBed() { return std::make_unique<FakeRegistryBed>(); }
