// The version resource of Torvane.exe, which lands beside this test program.

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::wstring TorvanePath() {
    std::wstring path = ExecutablePath();
    return path.substr(0, path.rfind(L'\\') + 1) + L"Torvane.exe";
}

class VersionInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        const DWORD size = GetFileVersionInfoSizeW(TorvanePath().c_str(), nullptr);
        ASSERT_NE(0u, size) << "Torvane.exe has no version information";
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(TorvanePath().c_str(), 0, size, block.data()));
    }

    std::string String(const wchar_t *name) {
        wchar_t *value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void **>(&value),
                            &length)) {
            return "<missing>";
        }
        return Narrow(std::wstring(value, wcsnlen(value, length)));
    }

    std::vector<unsigned char> block;
};

TEST_F(VersionInfoTest, StringsAreUsEnglishAsTheProductNamesThem) {
    EXPECT_EQ("Rename Quorvex Database", String(L"ProductName"));
    EXPECT_EQ("1.00", String(L"FileVersion"));
    EXPECT_EQ("1.00", String(L"ProductVersion"));
    EXPECT_EQ("Torvane", String(L"InternalName"));
    EXPECT_EQ("Torvane.exe", String(L"OriginalFilename"));
}

TEST_F(VersionInfoTest, FixedVersionIsOneZeroZeroZero) {
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &size));
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwProductVersionMS);
}

// The version Torvane's manifest gives its own assembly.
std::string ManifestVersion() {
    const unique_hmodule image(LoadLibraryExW(
        TorvanePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found = image ? FindResourceW(image.get(), MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(image.get(), found) : nullptr;
    if (loaded == nullptr) {
        return "<no manifest>";
    }
    const std::string manifest(static_cast<const char *>(LockResource(loaded)),
                               SizeofResource(image.get(), found));
    const std::string marker = "name=\"Kestrova.Torvane\" version=\"";
    const std::size_t start = manifest.find(marker);
    if (start == std::string::npos) {
        return "<no assembly identity>";
    }
    const std::size_t from = start + marker.size();
    return manifest.substr(from, manifest.find('"', from) - from);
}

TEST_F(VersionInfoTest, ManifestCarriesTheSameVersion) {
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &size));
    const std::string expected = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                 std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                 std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                 std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(expected, ManifestVersion());
}

TEST_F(VersionInfoTest, ApplicationReadsNameAndVersionBack) {
    const AppInfo info = ReadVersionInfo(TorvanePath());
    EXPECT_EQ("Rename Quorvex Database", info.productName);
    EXPECT_EQ(1, info.major);
    EXPECT_EQ(0, info.minor);
    EXPECT_EQ(0, info.revision);
}

} // namespace
