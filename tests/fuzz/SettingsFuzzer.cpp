// Drives the settings store through a registry whose every answer comes from
// the fuzzer: any result code, type, data and reported size, and any key
// components and entry names. The store must never read or write outside its
// buffers, must close every key it opened, and ReadEntry must give the
// stored text, an integer's decimal text, or the default.

#include "platform/PlatformServices.h"
#include "settings/CProgramSettings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t MaxValueSize = 16u << 20;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

RegistryStatus AnyStatus(FuzzedDataProvider &input) {
    constexpr RegistryStatus common[] = {0, 0, 0, 2, 5, 6, 234};
    return input.ConsumeBool() ? input.PickValueInArray(common)
                               : input.ConsumeIntegral<RegistryStatus>();
}

class FuzzedRegistry : public IRegistry {
public:
    explicit FuzzedRegistry(FuzzedDataProvider &input) : input_(input) {}

    std::set<RegistryHandle> open;
    // Every string the registry handed out as a value's data.
    std::vector<std::string> handedOut;

    RegistryStatus OpenKey(RootKeyValue, const std::string &, std::uint32_t, std::uint32_t,
                           RegistryHandle &key) override {
        return Hand(key);
    }
    RegistryStatus CreateKey(RootKeyValue, const std::string &, std::uint32_t, std::uint32_t,
                             RegistryHandle &key) override {
        return Hand(key);
    }
    RegistryStatus QueryValue(RegistryHandle key, const std::string &, std::uint32_t &type,
                              unsigned char *data, std::uint32_t &size) override {
        Check(open.count(key) == 1);
        const RegistryStatus status = AnyStatus(input_);
        type = input_.ConsumeBool() ? input_.ConsumeIntegralInRange<std::uint32_t>(0, 8)
                                    : input_.ConsumeIntegral<std::uint32_t>();
        if (data != nullptr) {
            // Write no more than the caller said it has room for.
            const std::string bytes = input_.ConsumeRandomLengthString(size + 2);
            const std::size_t written = std::min<std::size_t>(bytes.size(), size);
            std::memcpy(data, bytes.data(), written);
            handedOut.emplace_back(reinterpret_cast<const char *>(data), size);
        }
        // The size query's answer becomes an allocation: keep it within what
        // a fuzzing process may allocate. Sizes after a read are unbounded.
        const std::uint32_t largest = data == nullptr ? MaxValueSize : UINT32_MAX;
        size = input_.ConsumeBool() ? input_.ConsumeIntegralInRange<std::uint32_t>(0, 64)
                                    : input_.ConsumeIntegralInRange<std::uint32_t>(0, largest);
        return status;
    }
    RegistryStatus SetValue(RegistryHandle key, const std::string &, std::uint32_t,
                            const unsigned char *data, std::uint32_t size) override {
        Check(open.count(key) == 1);
        Check(size >= 1 && data[size - 1] == 0); // always written with its NUL
        return AnyStatus(input_);
    }
    RegistryStatus CloseKey(RegistryHandle key) override {
        Check(open.erase(key) == 1);
        return AnyStatus(input_);
    }
    RegistryStatus QueryStoredText(RegistryHandle key, const std::string &,
                                   std::string &text) override {
        Check(open.count(key) == 1);
        text = input_.ConsumeRandomLengthString(64);
        return AnyStatus(input_);
    }

private:
    RegistryStatus Hand(RegistryHandle &key) {
        const RegistryStatus status = AnyStatus(input_);
        if (status == REGISTRY_SUCCESS) {
            key = ++next_;
            open.insert(key);
        }
        return status;
    }

    FuzzedDataProvider &input_;
    RegistryHandle next_ = 0;
};

class IdentityCodePage : public IAnsiCodePage {
public:
    std::string ToAnsi(const std::string &text) override { return text; }
    std::string FromAnsi(const std::string &ansiBytes) override { return ansiBytes; }
    bool Represents(const std::string &text) override { return text.find('\x80') == text.npos; }
};

class Unused : public IFileSystem, public IDialogs, public IApplication, public ISystemFolders {
public:
    std::string FirstMatchingFile(const std::string &) override { std::abort(); }
    std::unique_ptr<IHeldFile> OpenForMove(const std::string &, const std::string &,
                                           const std::string &) override {
        std::abort();
    }
    std::string FullPath(const std::string &) override { std::abort(); }
    PathKind KindOf(const std::string &) override { std::abort(); }
    bool SameName(const std::string &, const std::string &) override { std::abort(); }
    bool SameExistingFile(const std::string &, const std::string &) override { std::abort(); }
    bool SameEntry(const std::string &, const std::string &) override { std::abort(); }
    bool IsNetworkDrive(const std::string &) override { std::abort(); }
    std::optional<std::string> FinalPath(const std::string &) override { std::abort(); }
    std::vector<std::string> VirtualizedFolders() override { std::abort(); }
    std::vector<std::string> ProgramFilesFolders() override { std::abort(); }
    std::string LocalAppData() override { std::abort(); }
    void ShowMessage(const std::string &, std::uint32_t,
                     const std::optional<std::string> &) override {
        std::abort(); // nothing here is an error worth a message
    }
    std::optional<std::string> ShowOpenFile(const OpenFileRequest &) override { std::abort(); }
    bool AskYesNo(const std::string &) override { std::abort(); }
    AppInfo Info() override { std::abort(); }
    void End(int) override { std::abort(); }
    bool IsElevated() override { std::abort(); }
    void StartElevated(const std::string &) override { std::abort(); }
    std::string ErrorText(std::int32_t) override { std::abort(); }
    bool RunsAsSystem() override { std::abort(); }
};

bool IsDecimal(const std::string &text) {
    if (text.empty() || text.size() > 11) {
        return false;
    }
    const char *digits = text.c_str() + (text[0] == '-' ? 1 : 0);
    if (*digits == '\0') {
        return false;
    }
    for (const char *c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
    }
    return true;
}

// Whether text is a prefix of some data the registry handed out, less at
// most one terminating NUL.
bool CameFromRegistry(const std::string &text, const std::vector<std::string> &handedOut) {
    for (const std::string &data : handedOut) {
        if (data.compare(0, text.size(), text) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t length) {
    FuzzedDataProvider input(bytes, length);
    FuzzedRegistry registry(input);
    IdentityCodePage codePage;
    Unused unused;
    CProgramSettings settings(PlatformServices{registry, codePage, unused, unused, unused, unused});
    settings.RootKey(input.ConsumeIntegral<RootKeyValue>());
    settings.MainBranch(input.ConsumeRandomLengthString(16));
    settings.RegBase(input.ConsumeRandomLengthString(16));
    settings.Program(input.ConsumeRandomLengthString(16));
    settings.Section(input.ConsumeRandomLengthString(16));

    while (input.remaining_bytes() > 0) {
        const std::string entry = input.ConsumeRandomLengthString(16);
        if (input.ConsumeBool()) {
            settings.WriteEntry(entry, input.ConsumeRandomLengthString(32));
        } else {
            const std::string fallback = "default";
            const std::string value = settings.ReadEntry(entry, fallback);
            Check(value == fallback || IsDecimal(value) ||
                  CameFromRegistry(value, registry.handedOut));
        }
        Check(registry.open.empty());
    }
    return 0;
}
